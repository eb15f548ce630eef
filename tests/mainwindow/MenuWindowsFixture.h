// Main-window tests that reach the help, website, about, language and submission windows:
// the real window classes registered, shell opens recorded instead of run.
#pragma once

#include "tests/mainwindow/MainWindowFixture.h"

#include "localisation/frmLanguage.h"
#include "mainwindow/registerMainWindows.h"
#include "platform/core/Shell.h"
#include "platform/core/VersionInfo.h"
#include "platform/ui/Forms.h"
#include "services/modMachineSettings.h"

#include <QMenu>

namespace mwtest
{

class MenuWindowsTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        registerMainWindows();
        ui::Forms::registerClass(QStringLiteral("frmLanguage"), [] { return new frmLanguage; });
        previousOpener = platform::setShellOpener([this](const QString &target) {
            opened.append(target);
            return openSucceeds;
        });
    }

    void TearDown() override
    {
        MainWindowTest::TearDown();
        platform::setShellOpener(previousOpener);
        // Later tests of this process register what they need themselves.
        for (const char *name : {"Form8", "frmWebsite", "frmAbout", "frmLanguage", "frmSubmit"})
            ui::Forms::registerClass(QLatin1String(name), {});
    }

    QString helpFile() const { return env->programFolder() + QStringLiteral("/Help.chm"); }
    void writeHelpFile() const { env->writeFile(helpFile(), "ITSF"); }

    static QString machineSetting(const QString &key)
    {
        return GetMachineSetting(platform::versionInfo().productName, QStringLiteral("Settings"), key,
                                 QStringLiteral("<none>"));
    }

    static void pickMenu(Form1 *f, const char *array, int index)
    {
        auto *item = qobject_cast<ui::Menu *>(f->control(QLatin1String(array), index));
        ASSERT_NE(item, nullptr) << array << index;
        item->trigger();
    }

    // Captions of a menu's items that its drop-down shows.
    static QStringList shownItems(Form1 *f, const char *menu)
    {
        QStringList captions;
        auto *m = qobject_cast<ui::Menu *>(f->control(QLatin1String(menu)));
        for (QAction *a : m->submenu()->actions()) {
            if (a->isVisible())
                captions.append(a->text());
        }
        return captions;
    }

    QStringList opened;
    // What the recorded desktop answers: false as when no program can open the target.
    bool openSucceeds = true;
    platform::ShellOpener previousOpener;
};

} // namespace mwtest
