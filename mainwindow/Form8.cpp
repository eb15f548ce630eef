#include "mainwindow/Form8.h"

#include "platform/core/ProgramFolder.h"
#include "platform/core/Shell.h"
#include "platform/core/VersionInfo.h"
#include "services/modMachineSettings.h"
#include "services/xfileExists.h"

Form8::Form8(QWidget *parent) : ui::Form(QStringLiteral("Form8"), parent)
{
    // Its callers show it for a moment before unloading it; it must not flash a frame or
    // take a place in the task bar meanwhile.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void Form8::Form_Load()
{
    setHeight(0);
    setWidth(0);
    setVisible(false);
    const QString helpFile = platform::programFolder() + QStringLiteral("/Help.chm");
    m_helpResult = HelpResult::NoHelpFile;
    if (!FileExists(helpFile))
        return;
    // A help nobody could read is not marked as seen.
    if (!platform::shellOpen(helpFile)) {
        m_helpResult = HelpResult::NoViewer;
        return;
    }
    m_helpResult = HelpResult::Opened;
    SaveMachineSetting(platform::versionInfo().productName, QStringLiteral("Settings"),
                       QStringLiteral("showHelp"), QStringLiteral("0"));
}

void Form8::OpenMsHelp()
{
    platform::shellOpen(platform::programFolder() + QStringLiteral("/mshelp.chm"));
}
