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

// What the user can do something about: a folder or file that may not be written, a disk
// that refuses (full or failing), a damaged file.
QString storeError(long result)
{
    switch (result) {
    case Registry::AccessDenied:
        return QStringLiteral("the settings file or its folder is read-only");
    case Registry::RegistryIoFailed:
        return QStringLiteral("the disk refused to store it; it may be full");
    case Registry::RegistryCorrupt:
        return QStringLiteral("the settings file is damaged");
    default:
        return QStringLiteral("error %1").arg(result);
    }
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

bool saveSetting(const QString &appName, const QString &section, const QString &key, const QString &value,
                 QString *errorText)
{
    using namespace Registry;
    Key hKey = 0;
    long result = createKey(CurrentUser, settingsKey(appName, section), KeyWrite, &hKey);
    if (result == Success) {
        result = setValue(hKey, key, String, value.toUtf8() + '\0');
        closeKey(hKey);
    }
    if (result != Success && errorText)
        *errorText = storeError(result);
    return result == Success;
}

QString settingsFilePath()
{
    return Registry::hiveFilePath(Registry::CurrentUser);
}

} // namespace platform
