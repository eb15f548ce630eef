// Every file the main window rewrites: when the disk refuses the new content, the user is
// told in one sentence naming the file, and the old file stays as it was.
#include "platform/core/ProgramFolder.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <QMetaObject>
#include <functional>

using namespace mwtest;

namespace
{

class SaveFailureTest : public MainWindowTest
{
};

} // namespace

TEST_F(SaveFailureTest, RefusedWriteIsToldAndKeepsTheOldFile)
{
    writeData({channelLine("Alpha", "TV", "English")});
    Form1 *form = loadForm1();
    ASSERT_TRUE(form);
    const QString dataFolder = env->dataHome() + QStringLiteral("/TVDAT/");
    const QString programFolder = platform::programFolder() + QLatin1Char('/');

    struct Case {
        const char *name;
        QString path;
        std::function<void()> write;
    };
    const QList<Case> cases{
        {"favourites", programFolder + "Favorites.txt",
         [&] {
             ui::ListItem *item = form->ListView2->ListItems()->Add(QStringLiteral("A favourite channel"));
             item->setTag(QStringLiteral("http://127.0.0.1:9/favourite"));
             form->saveFavorites();
         }},
        {"channel update", dataFolder + "Data.txt",
         [&] {
             QByteArray guide = "7|Seven|TV|http://127.0.0.1:9/seven|English<BR>";
             EXPECT_EQ(form->extractNewDefs(guide), 0);
         }},
        {"channel removal", dataFolder + "Data.txt",
         [&] { ASSERT_TRUE(QMetaObject::invokeMethod(form, "removeChannelsById", Q_ARG(QString, "99"))); }},
        {"update date", dataFolder + "date.dat",
         [&] {
             QString date = QStringLiteral("7/4/2008 10:30:00 PM");
             form->makeINI(date);
         }},
        {"editor export", programFolder + "Data.htm", [&] { form->save->click(); }},
        {"video page", programFolder + "youtube.html",
         [&] {
             form->showYouTubeVideo(QStringLiteral("A video of some length"), QStringLiteral("abcdefghijk"));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        // A channel line, so that the removal has a line to keep.
        const QByteArray old = "5|Old|TV|u|T|\r\n";
        env->writeFile(c.path, old);
        boxes->clear();
        {
            testsupport::FileSizeLimit limit(10);
            ASSERT_TRUE(limit.ok());
            c.write();
        }
        EXPECT_EQ(testsupport::TempEnvironment::readFile(c.path), old);
        ASSERT_EQ(boxes->count(), 1);
        const QString text = boxes->boxes().first().prompt;
        EXPECT_TRUE(text.contains(QStringLiteral("could not be saved to ") + c.path)) << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral("the previous file has been kept."))) << text.toStdString();
    }
}
