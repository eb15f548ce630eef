#include "platform/core/VersionInfo.h"

#include <QtGlobal>
#include <optional>

namespace platform {
namespace {

std::optional<VersionInfo> &overrideInfo()
{
    static std::optional<VersionInfo> info;
    return info;
}

QString fromEnvOr(const char *var, const char *fallback)
{
    const QString v = qEnvironmentVariable(var);
    QString s = v.isEmpty() ? QString::fromUtf8(fallback) : v;
    while (s.endsWith(QLatin1Char('/')))
        s.chop(1);
    // A bare host ("127.0.0.1:8080") would make every address built on it fail to open.
    if (!s.isEmpty() && !s.contains(QLatin1String("://")))
        s.prepend(QLatin1String("http://"));
    return s;
}

} // namespace

VersionInfo versionInfo()
{
    if (overrideInfo())
        return *overrideInfo();
    return VersionInfo{QStringLiteral(CD_PRODUCT_NAME), QStringLiteral(CD_COMPANY_NAME),
                       QStringLiteral(CD_WEBSITE), CD_VERSION_MAJOR, CD_VERSION_MINOR};
}

void setVersionInfo(const VersionInfo &info)
{
    overrideInfo() = info;
}

void resetVersionInfo()
{
    overrideInfo().reset();
}

QString productServer()
{
    return fromEnvOr("CHANNELDECK_SERVER", CD_SERVER);
}

QString videoSite()
{
    return fromEnvOr("CHANNELDECK_VIDEO_SITE", CD_VIDEO_SITE);
}

} // namespace platform
