#include "services/modMarque.h"

#include "platform/core/VersionInfo.h"

QString strProgramName;
QString strCompanyName;
QString WebsiteUrl;
QString BannerUrl;
short intProductId = 0;
bool blnUseSkin = false;
bool blnShowBanner = false;
bool blnSplashIcon = false;
QString PageRequest;

void LoadBrandSettings()
{
    const platform::VersionInfo info = platform::versionInfo();
    strProgramName = info.productName;
    strCompanyName = info.companyName;
    WebsiteUrl = info.comments;
    intProductId = 26;
    blnUseSkin = false;
    blnShowBanner = false;
    blnSplashIcon = true;
    BannerUrl = QStringLiteral("http://");
}
