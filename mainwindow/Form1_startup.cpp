// The main window's start-up: data folder, YouTube placeholder page, icon, reseller variant,
// editor mode, language, first-run chooser, single-instance end, captions, brand options,
// first-run help, the lists, and the local-file browser where the user left it.
#include "mainwindow/Form1.h"

#include "localisation/modLanguages.h"
#include "mainwindow/SecondInstance.h"
#include "mainwindow/modSkinLabels.h"
#include "platform/core/UserFolder.h"
#include "platform/core/VersionInfo.h"
#include "platform/ui/Forms.h"
#include "services/modGlobals.h"
#include "services/modIcon.h"
#include "services/modListViewEnh.h"
#include "services/modMarque.h"
#include "services/modSaveFile.h"
#include "services/modSettings.h"
#include "services/modSkin.h"
#include "services/xfileExists.h"

#include <QFileInfo>
#include <cstdlib>

namespace
{

const QString kResellerCompany = QStringLiteral("Tandrel Software");

// The page the YouTube pane shows until a video is chosen. A user folder that cannot be
// written leaves the page as it was and the pane shows whatever is there: the user hears what
// the view lacks, not which file failed.
void writePlaceholderPage(const QString &path)
{
    const QByteArray page = "<html><body bgcolor=black><center><font color=white><h1>Please select a video "
                            "from the list to the left</h1><br></font></center></body></html>\r\n";
    SaveFileOrTell(path, page, [&](bool oldPageKept, const QString &error) {
        const QString loss = oldPageKept
                                 ? QStringLiteral("may show an earlier page instead of its start page")
                                 : QStringLiteral("will not show its start page");
        return QStringLiteral("The YouTube view %1 (\"Please select a video from the list to the left\"), "
                              "because your ChannelDeck folder (%2) could not be written to: %3.")
            .arg(loss, QFileInfo(path).path(), error);
    });
}

} // namespace

void Form1::Form_Load()
{
    QString dataFolder = QStringLiteral("[appdata]TVDAT");
    strDataFolder = ExpandFolderTokens(dataFolder);

    // What earlier versions kept beside the program is the user's: it moves to the user folder.
    platform::takeOverFromProgramFolder({QStringLiteral("Favorites.txt"), QStringLiteral("Data.htm")});

    const QString placeholder = platform::userFileForWriting(QStringLiteral("youtube.html"));
    writePlaceholderPage(placeholder);
    wbyoutube->Navigate2(placeholder);
    strYouTubeLocale = QStringLiteral("en_us");

    SetIcon(this, QStringLiteral("AAA"), true);

    if (platform::versionInfo().companyName == kResellerCompany) {
        cmdSports->setVisible(true);
        cmdExtras->setVisible(true);
        cmdXXX->setVisible(true);
        cmdWebsite->setLeft(std::abs(cmdXXX->Left() + cmdXXX->Width() + 60));
        for (int index = 5; index <= 7; ++index)
            control(QStringLiteral("mnuCatItem"), index)->setProperty("Visible", true);
    }

    // The marker counts beside the program (an editor's install) and in the user folder.
    if (FileExists(platform::readableFile(QStringLiteral("admin.txt")))) {
        blnAdmin = true;
        Frame2->setVisible(true);
    }
    if (blnAdmin) {
        ListView1->ColumnHeaders()->Add(QStringLiteral("URL"));
        chkLoad->setValue(ui::vbChecked);
    }

    const QString firstRunMarker = GetProgramSetting(QStringLiteral("Language"));
    delete objLanguages;
    objLanguages = new clsLanguages;
    strLanguage = GetProgramSetting(QStringLiteral("Language"), QStringLiteral("English"));
    LoadDefaultMessages();
    ChangeLanguage(this, strLanguage);

    if (firstRunMarker.isEmpty()) {
        SaveProgramSetting(QStringLiteral("Language"), QStringLiteral("English"));
        if (ui::Form *chooser = ui::Forms::load(QStringLiteral("frmLanguage")))
            chooser->Show(true);
    }

    if (AnotherInstanceRunning()) {
        EndSecondInstance();
        return;
    }

    setCaption(strProgramName + QStringLiteral(" by ") + strCompanyName);
    cmdWebsite->setCaption(QStringLiteral("Visit ") + WebsiteUrl);

    if (blnSplashIcon) {
        // The splash window is loaded whenever the program runs as a whole; its icon is none.
        const ui::Form *splash = ui::Forms::find(QStringLiteral("frmSplash"));
        setIcon(splash ? splash->Icon() : QIcon());
    }
    if (blnShowBanner) {
        WindowsMediaPlayer1->setTop(WindowsMediaPlayer1->Top() + wbBanner->Height());
        SetupBanner(this);
    }
    if (blnUseSkin) {
        if (const auto *first = qobject_cast<const QWidget *>(control(QStringLiteral("SkinLabel1"), 0)))
            CopyLabelsToSkinLabels(this, QStringLiteral("SkinLabel1"), first->parentWidget());
        ApplySkin(this);
    }

    // The first-run help is Help > View Help; until a viewer has shown it, it stays due.
    if (GetProgramSetting(QStringLiteral("showHelp"), QStringLiteral("1")) == QLatin1String("1") &&
        runHelpLauncher(false))
        SaveProgramSetting(QStringLiteral("showHelp"), QStringLiteral("0"));

    cmdTV_Click();
    loadFavorites();
    EnhListView_SortColumns(ListView1, 4, false);

    // A drive or folder that is gone must not stop the start-up: the lists keep their own.
    try {
        restoreFileBrowser();
    } catch (...) {
    }
}
