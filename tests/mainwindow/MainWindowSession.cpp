#include "tests/mainwindow/MainWindowSession.h"

#include "mainwindow/EndProgram.h"
#include "mainwindow/Form1.h"
#include "mainwindow/SecondInstance.h"
#include "mainwindow/frmSplash.h"
#include "platform/core/SettingsStore.h"
#include "platform/ui/Forms.h"
#include "services/modMarque.h"

namespace mwtest
{

void beginMainWindowSession(const platform::VersionInfo &product, std::function<void()> onEnd)
{
    platform::setVersionInfo(product);
    LoadBrandSettings();
    blnShowBanner = false;
    setEndProgramHandler(std::move(onEnd));
    // A later run of the only copy: the first run's chooser is modal, and parallel processes
    // must not see each other as a running copy.
    putProgramSetting(QStringLiteral("Language"), QStringLiteral("English"));
    putProgramSetting(QStringLiteral("showHelp"), QStringLiteral("0"));
    setInstanceCheck([] { return false; });
    ui::Forms::registerClass(QStringLiteral("Form1"), [] { return new Form1; });
    ui::Forms::registerClass(QStringLiteral("frmSplash"), [] { return new frmSplash; });
}

void endMainWindowSession()
{
    ui::Forms::unloadAll();
    setEndProgramHandler({});
    setInstanceCheck({});
    platform::resetVersionInfo();
}

void putProgramSetting(const QString &key, const QString &value)
{
    platform::saveSetting(platform::versionInfo().productName, QStringLiteral("Settings"), key, value);
}

} // namespace mwtest
