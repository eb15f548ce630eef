// The main window's start-up, as far as the channel list needs it: the data folder, the
// YouTube placeholder page, the language object, the captions and the TV list sorted by
// rating.
#include "mainwindow/Form1.h"

#include "localisation/modLanguages.h"
#include "platform/core/ProgramFolder.h"
#include "services/modGlobals.h"
#include "services/modListViewEnh.h"
#include "services/modMarque.h"

#include <QSaveFile>

namespace
{

// The page the YouTube pane shows until a video is chosen. A program folder that cannot be
// written leaves the page as it was; the pane then shows whatever is there.
void writePlaceholderPage(const QString &path)
{
    QSaveFile page(path);
    if (!page.open(QIODevice::WriteOnly))
        return;
    page.write(
        "<html><body bgcolor=black><center><font color=white><h1>Please select a video from the list to the "
        "left</h1><br></font></center></body></html>\r\n");
    page.commit();
}

} // namespace

void Form1::Form_Load()
{
    QString dataFolder = QStringLiteral("[appdata]TVDAT");
    strDataFolder = ExpandFolderTokens(dataFolder);

    const QString placeholder = platform::programFolder() + QStringLiteral("/youtube.html");
    writePlaceholderPage(placeholder);
    wbyoutube->Navigate2(placeholder);
    strYouTubeLocale = QStringLiteral("en_us");

    delete objLanguages;
    objLanguages = new clsLanguages;
    LoadDefaultMessages();

    setCaption(strProgramName + QStringLiteral(" by ") + strCompanyName);
    cmdWebsite->setCaption(QStringLiteral("Visit ") + WebsiteUrl);

    cmdTV_Click();
    EnhListView_SortColumns(ListView1, 4, false);
}
