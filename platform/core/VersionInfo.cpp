#include "platform/core/VersionInfo.h"

#include <QtGlobal>
#include <optional>

namespace platform
{
namespace
{

std::optional<VersionInfo> &overrideInfo()
{
    static std::optional<VersionInfo> info;
    return info;
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

} // namespace platform
