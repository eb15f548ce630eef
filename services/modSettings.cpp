#include "services/modSettings.h"

#include "platform/core/SettingsStore.h"
#include "platform/core/VersionInfo.h"
#include "platform/ui/MsgBox.h"

#include <QSet>

namespace
{

const QString kSection = QStringLiteral("Settings");

// Settings files whose failure the user has been told of in this run.
QSet<QString> toldAbout;

} // namespace

QString GetProgramSetting(const QString &Key, const QString &Default)
{
    return platform::getSetting(platform::versionInfo().productName, kSection, Key, Default);
}

void SaveProgramSetting(const QString &Key, const QString &Value)
{
    const QString product = platform::versionInfo().productName;
    QString error;
    if (platform::saveSetting(product, kSection, Key, Value, &error))
        return;
    // Unsaved, the first-run choices come back at every start; the user should know why.
    const QString file = platform::settingsFilePath();
    if (toldAbout.contains(file))
        return;
    toldAbout.insert(file);
    MsgBox(QStringLiteral("Your settings could not be saved to ") + file + QStringLiteral(" (") + error +
               QStringLiteral("), so changes to them will be lost when ") + product +
               QStringLiteral(" closes."),
           vbExclamation);
}
