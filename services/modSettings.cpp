#include "services/modSettings.h"

#include "platform/core/SettingsStore.h"
#include "platform/core/VersionInfo.h"

namespace
{

const QString kSection = QStringLiteral("Settings");

} // namespace

QString GetProgramSetting(const QString &Key, const QString &Default)
{
    return platform::getSetting(platform::versionInfo().productName, kSection, Key, Default);
}

void SaveProgramSetting(const QString &Key, const QString &Value)
{
    platform::saveSetting(platform::versionInfo().productName, kSection, Key, Value);
}
