// Per-user settings on the current user's registry hive.
#include "platform/core/SettingsStore.h"

#include "platform/core/Registry.h"
#include "platform/core/Text.h"

namespace platform
{
namespace
{

QString settingsKey(const QString &appName, const QString &section)
{
    return QStringLiteral("Software\\") + appName + QLatin1Char('\\') + section;
}

} // namespace

QString getSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    using namespace Registry;
    Key hKey = 0;
    if (openKey(CurrentUser, settingsKey(appName, section), KeyRead, &hKey) != Success)
        return defaultValue;
    QString result = defaultValue;
    quint32 type = None;
    QByteArray data;
    if (readValue(hKey, key, &type, &data) == Success && type == String) {
        if (data.endsWith('\0'))
            data.chop(1);
        result = textOfUtf8(data);
    }
    closeKey(hKey);
    return result;
}

void saveSetting(const QString &appName, const QString &section, const QString &key, const QString &value)
{
    using namespace Registry;
    Key hKey = 0;
    if (createKey(CurrentUser, settingsKey(appName, section), KeyWrite, &hKey) != Success)
        return;
    setValue(hKey, key, String, value.toUtf8() + '\0');
    closeKey(hKey);
}

} // namespace platform
