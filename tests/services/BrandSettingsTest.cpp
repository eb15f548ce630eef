#include "platform/core/VersionInfo.h"
#include "services/modMarque.h"

#include <gtest/gtest.h>

namespace
{

struct BrandValues {
    QString program, company, website, banner;
    short productId;
    bool useSkin, showBanner, splashIcon;
    bool operator==(const BrandValues &) const = default;
};

BrandValues current()
{
    return {strProgramName, strCompanyName, WebsiteUrl,    BannerUrl,
            intProductId,   blnUseSkin,     blnShowBanner, blnSplashIcon};
}

} // namespace

TEST(BrandSettings, ComeFromTheVersionInformationAndASecondCallChangesNothing)
{
    platform::setVersionInfo({QStringLiteral(" Deck "), QStringLiteral("Acme"), QString(), 3, 1});
    PageRequest = QStringLiteral("Sports");
    blnUseSkin = true;
    blnShowBanner = true;
    blnSplashIcon = false;

    LoadBrandSettings();
    const BrandValues first = current();
    EXPECT_EQ(first, (BrandValues{QStringLiteral(" Deck "), QStringLiteral("Acme"), QString(),
                                  QStringLiteral("http://"), 26, false, false, true}));
    LoadBrandSettings();
    EXPECT_EQ(current(), first);
    EXPECT_EQ(PageRequest, QStringLiteral("Sports"));

    // The names are read afresh on every call.
    platform::setVersionInfo(
        {QStringLiteral("Other"), QStringLiteral("Acme"), QStringLiteral("www.x.org"), 3, 1});
    LoadBrandSettings();
    EXPECT_EQ(strProgramName, QStringLiteral("Other"));
    EXPECT_EQ(WebsiteUrl, QStringLiteral("www.x.org"));

    platform::resetVersionInfo();
    PageRequest.clear();
}
