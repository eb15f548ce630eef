// Machine-wide settings store on the local-machine registry hive.
#include "services/modMachineSettings.h"
#include "services/modSettings.h"

#include "platform/core/Registry.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/core/VersionInfo.h"
#include "platform/ui/MsgBox.h"

#include <optional>

namespace reg = platform::Registry;

namespace
{

constexpr quint32 MachineWriteAccess = reg::ReadControl | reg::QueryValue | reg::SetValue |
                                       reg::CreateSubKey | reg::EnumerateSubKeys | reg::Notify |
                                       reg::CreateLink;
constexpr quint32 MachineReadAccess = reg::KeyRead;
static_assert(MachineWriteAccess == 0x2003F && MachineReadAccess == 0x20019);

const QString IgnoreSetting = QStringLiteral("IgnorePermissionDeniedError");

MachineSettingsFault &fault()
{
    static MachineSettingsFault f;
    return f;
}

void beginStep(int step)
{
    if (fault())
        fault()(step);
}

QString machineKeyPath(const QString &AppName, const QString &Section)
{
    return QStringLiteral("SOFTWARE\\") + platform::trimBlanks(platform::versionInfo().companyName) +
           QLatin1Char('\\') + platform::trimBlanks(AppName) + QLatin1Char('\\') +
           platform::trimBlanks(Section);
}

[[noreturn]] void raise(long offset, const QString &description)
{
    throw platform::RuntimeError(platform::vbObjectError + offset, platform::versionInfo().productName,
                                 description);
}

QString permissionText()
{
    return platform::versionInfo().productName +
           QStringLiteral(
               " requires read/write access to the system registry and hard drive in order to run "
               "properly.  This user account does not have the proper permissions set.  As a result "
               "some or all of your settings may not be properly saved.  Please contact your system "
               "administrator or change the permission settings for this account.") +
           QStringLiteral("\r\n\r\n") +
           QStringLiteral(
               "If you would like to prevent this error message from being displayed again, please "
               "press 'Ignore'.");
}

} // namespace

MachineSettingsFault SetMachineSettingsFault(MachineSettingsFault f)
{
    MachineSettingsFault old = std::move(fault());
    fault() = std::move(f);
    return old;
}

void SaveMachineSetting(QString AppName, QString Section, QString Key, QString Value)
{
    QString path;
    reg::Key hKey = 0;
    int step = 1;
    while (step <= 3) {
        try {
            beginStep(step);
            switch (step) {
            case 1:
                path = machineKeyPath(AppName, Section);
                break;
            case 2:
                // Refusals of the registry itself are not reported: nothing is written.
                reg::createKey(reg::LocalMachine, path, MachineWriteAccess, &hKey);
                break;
            case 3:
                reg::setValue(hKey, Key, reg::String, Value.toUtf8() + '\0');
                break;
            }
            ++step;
        } catch (...) {
            if (GetProgramSetting(IgnoreSetting, QStringLiteral("0")) == QLatin1String("1"))
                break;
            const int answer =
                MsgBox(permissionText(), vbAbortRetryIgnore, QStringLiteral("Permission Denied"));
            if (answer == vbRetry)
                continue;
            if (answer == vbIgnore)
                SaveProgramSetting(IgnoreSetting, QStringLiteral("1"));
            break;
        }
    }
    // Closed on every way out, the early ones included, so no handle is left behind.
    if (hKey)
        reg::closeKey(hKey);
}

QString GetMachineSetting(QString AppName, QString Section, QString Key, QString Default)
{
    std::optional<platform::RuntimeError> error;
    reg::Key hKey = 0;
    QString result;
    try {
        if (platform::trimBlanks(AppName).isEmpty())
            raise(1000, QStringLiteral("AppName may not be empty"));
        if (platform::trimBlanks(Section).isEmpty())
            raise(1001, QStringLiteral("Section may not be empty"));
        if (platform::trimBlanks(Key).isEmpty())
            raise(1002, QStringLiteral("Key may not be empty"));

        const long opened =
            reg::openKey(reg::LocalMachine, machineKeyPath(AppName, Section), MachineReadAccess, &hKey);
        if (opened == reg::FileNotFound)
            return Default;
        if (opened != reg::Success)
            raise(2000 + opened, QStringLiteral("Could not open registry section"));

        quint32 type = reg::None;
        QByteArray data;
        if (reg::readValue(hKey, Key, &type, &data) != reg::Success) {
            result = Default;
        } else if (type != reg::String) {
            raise(2000 + long(type), QStringLiteral("Registry data not a string"));
        } else {
            // Text stored by another program without its NUL keeps its last character.
            if (data.endsWith('\0'))
                data.chop(1);
            result = platform::textOfUtf8(data);
        }
    } catch (const platform::RuntimeError &e) {
        error = e;
    }
    if (hKey)
        reg::closeKey(hKey);
    if (error)
        throw *error;
    return result;
}
