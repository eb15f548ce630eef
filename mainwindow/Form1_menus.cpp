// Menus, view switches, the website button and the developer button.
#include "mainwindow/Form1.h"

#include "localisation/modLanguages.h"
#include "mainwindow/Form8.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MsgBox.h"
#include "services/modMarque.h"

namespace
{

// Loads a window (its load handler does its work) and shows it without a mode.
void loadAndShow(const QString &className)
{
    if (ui::Form *form = ui::Forms::load(className))
        form->Show();
}

} // namespace

void Form1::connectMenuEvents()
{
    const struct {
        const char *array;
        void (Form1::*handler)(int);
    } menuArrays[] = {
        {"mnuFileItem", &Form1::mnuFileItem_Click},     {"mnuCatItem", &Form1::mnuCatItem_Click},
        {"mnuUpdateItem", &Form1::mnuUpdateItem_Click}, {"mnuLanguageItem", &Form1::mnuLanguageItem_Click},
        {"mnuHelpItem", &Form1::mnuHelpItem_Click},     {"mnuAboutItem", &Form1::mnuAboutItem_Click},
    };
    for (const auto &entry : menuArrays) {
        for (QObject *item : controlArray(QLatin1String(entry.array))) {
            const int index = ui::controlIndex(item);
            const auto handler = entry.handler;
            connect(qobject_cast<ui::Menu *>(item), &ui::Menu::Click, this,
                    [this, handler, index] { (this->*handler)(index); });
        }
    }
    connect(cmdFavorites, &ui::CommandButton::Click, this, &Form1::cmdFavorites_Click);
    connect(cmdFiles, &ui::CommandButton::Click, this, &Form1::cmdFiles_Click);
    connect(cmdWebsite, &ui::CommandButton::Click, this, &Form1::cmdWebsite_Click);
    connect(Command3, &ui::CommandButton::Click, this, &Form1::Command3_Click);
}

void Form1::mnuFileItem_Click(int Index)
{
    if (Index == 0)
        openPlaylistFile();
    else if (Index == 1)
        openPlaylistAddress();
    else if (Index == 2)
        ui::Forms::unload(this);
}

void Form1::mnuCatItem_Click(int Index)
{
    switch (Index) {
    case 0:
        cmdTV_Click();
        break;
    case 1:
        cmdRadio_Click();
        break;
    case 2:
        cmdVideo_Click();
        break;
    case 3:
        cmdFavorites_Click();
        break;
    case 4:
        cmdFiles_Click();
        break;
    case 5:
        cmdSports_Click();
        break;
    case 6:
        cmdExtras_Click();
        break;
    case 7:
        cmdXXX_Click();
        break;
    case 8:
        cmdYouTube_Click();
        break;
    default:
        break;
    }
}

void Form1::mnuUpdateItem_Click(int Index)
{
    if (Index == 0)
        updateChannelsOnline();
    else if (Index == 1)
        loadAndShow(QStringLiteral("frmSubmit"));
}

void Form1::mnuLanguageItem_Click(int Index)
{
    Q_UNUSED(Index);
    loadAndShow(QStringLiteral("frmLanguage"));
}

void Form1::mnuHelpItem_Click(int Index)
{
    Q_UNUSED(Index);
    runHelpLauncher(true);
}

bool Form1::runHelpLauncher(bool reportNoViewer)
{
    // The launcher opens the help file as it loads; it has no use once that is done.
    ui::Form *help = ui::Forms::load(QStringLiteral("Form8"));
    if (!help)
        return false;
    help->Show();
    DoEvents();
    const auto *launcher = qobject_cast<Form8 *>(help);
    const Form8::HelpResult result = launcher ? launcher->helpResult() : Form8::HelpResult::NoHelpFile;
    ui::Forms::unload(QStringLiteral("Form8"));
    if (result == Form8::HelpResult::NoViewer && reportNoViewer)
        MsgBox(QStringLiteral("The help cannot be shown: no CHM viewer is installed. Install xchm "
                              "(or kchmviewer) to read Help.chm."),
               vbExclamation);
    return result == Form8::HelpResult::Opened;
}

void Form1::mnuAboutItem_Click(int Index)
{
    Q_UNUSED(Index);
    loadAndShow(QStringLiteral("frmAbout"));
}

void Form1::cmdFavorites_Click()
{
    showPanel(Frame3);
}

void Form1::cmdFiles_Click()
{
    showPanel(Frame4);
}

void Form1::cmdWebsite_Click()
{
    // Nothing of the launcher's may reach the user from a button click.
    PageRequest = QStringLiteral("Website");
    try {
        ui::Forms::load(QStringLiteral("frmWebsite"));
    } catch (...) {
    }
}

void Form1::Command3_Click()
{
    if (objLanguages)
        objLanguages->makeLocalizationFile();
}
