// Every file the main window rewrites: when the disk refuses the new content, the user is
// told in one sentence, and the old file, if there was one, stays as it was.
#include "platform/ui/Forms.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <QFile>
#include <QMetaObject>
#include <functional>

using namespace mwtest;

namespace
{

class SaveFailureTest : public MainWindowTest
{
};

} // namespace

TEST_F(SaveFailureTest, RefusedWriteIsToldAndKeepsTheOldFileOnlyWhenThereWasOne)
{
    writeData({channelLine("Alpha", "TV", "English")});
    Form1 *form = loadForm1();
    ASSERT_TRUE(form);
    const QString dataFolder = env->dataHome() + QStringLiteral("/TVDAT/");
    const QString userFolder = env->userFolder() + QLatin1Char('/');

    struct Case {
        const char *name;
        QString path;
        std::function<void()> write;
        bool writesWithoutAnOldFile = true;
    };
    const QList<Case> cases{
        {"favourites", userFolder + "Favorites.txt",
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
        // Removing channels from a list that is not there writes nothing.
        {"channel removal", dataFolder + "Data.txt",
         [&] { ASSERT_TRUE(QMetaObject::invokeMethod(form, "removeChannelsById", Q_ARG(QString, "99"))); },
         false},
        {"update date", dataFolder + "date.dat",
         [&] {
             QString date = QStringLiteral("7/4/2008 10:30:00 PM");
             form->makeINI(date);
         }},
        {"editor export", userFolder + "Data.htm", [&] { form->save->click(); }},
        {"video page", userFolder + "youtube.html",
         [&] {
             form->showYouTubeVideo(QStringLiteral("A video of some length"), QStringLiteral("abcdefghijk"));
         }},
    };
    for (const bool oldFile : {true, false}) {
        for (const Case &c : cases) {
            if (!oldFile && !c.writesWithoutAnOldFile)
                continue;
            SCOPED_TRACE(std::string(c.name) + (oldFile ? " over an old file" : " without an old file"));
            // A channel line, so that the removal has a line to keep.
            const QByteArray old = "5|Old|TV|u|T|\r\n";
            if (oldFile)
                env->writeFile(c.path, old);
            else
                QFile::remove(c.path);
            boxes->clear();
            {
                testsupport::FileSizeLimit limit(10);
                ASSERT_TRUE(limit.ok());
                c.write();
            }
            ASSERT_EQ(boxes->count(), 1);
            const QString text = boxes->boxes().first().prompt;
            EXPECT_TRUE(text.contains(QStringLiteral("could not be saved to ") + c.path))
                << text.toStdString();
            if (oldFile) {
                EXPECT_EQ(testsupport::TempEnvironment::readFile(c.path), old);
                EXPECT_TRUE(text.endsWith(QStringLiteral("), so the previous file has been kept.")))
                    << text.toStdString();
            } else {
                EXPECT_FALSE(QFile::exists(c.path));
                EXPECT_TRUE(text.endsWith(QStringLiteral(").")) && !text.contains(QStringLiteral("kept")))
                    << text.toStdString();
            }
        }
    }
}

TEST_F(SaveFailureTest, StartPageThatCannotBeWrittenIsToldAsWhatTheYouTubeViewLacks)
{
    writeData({channelLine("Alpha", "TV", "English")});
    const QString page = env->userFolder() + QStringLiteral("/youtube.html");
    for (const bool earlierPage : {false, true}) {
        SCOPED_TRACE(earlierPage ? "over an earlier page" : "first start");
        if (earlierPage)
            env->writeFile(page, "an earlier video page");
        boxes->clear();
        {
            testsupport::FileSizeLimit limit(10);
            ASSERT_TRUE(limit.ok());
            ASSERT_NE(loadForm1(), nullptr);
        }
        ui::Forms::unloadAll();
        ASSERT_EQ(boxes->count(), 1);
        // What the view lacks and why, with the system's reason after the colon.
        const QString lacks = earlierPage
                                  ? QStringLiteral("may show an earlier page instead of its start page")
                                  : QStringLiteral("will not show its start page");
        const QString told =
            "The YouTube view " + lacks +
            " (\"Please select a video from the list to the left\"), because your ChannelDeck "
            "folder (" +
            env->userFolder() + ") could not be written to: ";
        const QString text = boxes->boxes().first().prompt;
        EXPECT_TRUE(text.startsWith(told) && text.size() > told.size() + 1 && text.endsWith('.'))
            << text.toStdString();
        if (earlierPage)
            EXPECT_EQ(testsupport::TempEnvironment::readFile(page), "an earlier video page");
        else
            EXPECT_FALSE(QFile::exists(page));
    }
}
