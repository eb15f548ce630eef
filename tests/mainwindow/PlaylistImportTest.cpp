// The playlist import of the main window: the File menu's dialogs, the merge into Data.txt
// (line shape, ids, duplicates, the last line's end), what is shown and told afterwards, a
// playlist that is none, a refused write, writers kept apart, and the download of an address.
#include "tests/mainwindow/MenuWindowsFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/LoopbackServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

using namespace mwtest;

namespace
{

const QByteArray OldList = "7|Old News|TV|http://a.example/news|English|1/1/01|1/1/01|000012|4.5|\r\n"
                           "not a channel line\r\n"
                           "19|Old Jazz|Radio|http://a.example/jazz|English|1/1/01|1/1/01|1/1/01|5|\r\n";

const QByteArray MixedPlaylist = "#EXTM3U\n"
                                 "#EXTINF:-1 group-title=\"News\",Old News again\n"
                                 "http://a.example/news\n"
                                 "#EXTINF:-1 group-title=\"Radio Rock\" tvg-language=\"German\",Rock FM\n"
                                 "http://r.example/rock|User-Agent=x\n"
                                 "#EXTINF:-1 radio=\"true\",Talk | Live\n"
                                 "http://r.example/talk\n"
                                 "#EXTINF:-1,Film One\n"
                                 "http://t.example/film\n"
                                 "#EXTINF:-1 group-title=\"Radio Rock\",Rock FM twice\n"
                                 "http://r.example/rock\n"
                                 "#EXTINF:-1,No address\n";

class PlaylistImportTest : public MenuWindowsTest
{
protected:
    void SetUp() override
    {
        MenuWindowsTest::SetUp();
        putSetting("TVLang", "English");
        putSetting("RadioLang", "English");
    }

    QString dataPath() const { return env->dataHome() + QStringLiteral("/TVDAT/Data.txt"); }
    QByteArray data() const { return testsupport::TempEnvironment::readFile(dataPath()); }
    QString playlist(const QByteArray &text, const QString &name = QStringLiteral("list.m3u")) const
    {
        return env->writeFile(env->root() + QStringLiteral("/lists/") + name, text);
    }
    Form1 *loadWith(const QByteArray &list)
    {
        env->writeFile(dataPath(), list);
        Form1 *f = loadForm1();
        boxes->clear();
        return f;
    }
    static void waitForImport(Form1 *f)
    {
        QElapsedTimer clock;
        clock.start();
        while (f->writingChannelList() && clock.elapsed() < 30000) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
        ASSERT_FALSE(f->writingChannelList());
    }
    QString onlyBox() const
    {
        EXPECT_EQ(boxes->count(), 1);
        return boxes->count() > 0 ? boxes->boxes().last().prompt : QString();
    }
    static QStringList sortedItems(Form1 *f)
    {
        QStringList items = itemTexts(f->ListView1);
        items.sort();
        return items;
    }
    static QList<bool> writersEnabled(Form1 *f)
    {
        return {f->control("mnuFileItem", 0)->property("Enabled").toBool(),
                f->control("mnuFileItem", 1)->property("Enabled").toBool(),
                f->control("mnuUpdateItem", 0)->property("Enabled").toBool(), f->save->isEnabled()};
    }
};

QByteArray line(int id, QByteArrayView name, QByteArrayView category, QByteArrayView url,
                QByteArrayView types)
{
    return QByteArray::number(id) + '|' + name.toByteArray() + '|' + category.toByteArray() + '|' +
           url.toByteArray() + '|' + types.toByteArray() + "|1/1/01|1/1/01|1/1/01|5|\r\n";
}

} // namespace

TEST_F(PlaylistImportTest, NewChannelsFollowTheLargestIdInTheUpdatesShapeAndTheirCategoryShowsWithEveryType)
{
    Form1 *f = loadWith(OldList);
    f->importPlaylistFile(playlist(MixedPlaylist));
    waitForImport(f);

    EXPECT_EQ(data(), OldList + line(20, "Rock FM", "Radio", "http://r.example/rock", "Radio Rock/German") +
                          line(21, "Talk / Live", "Radio", "http://r.example/talk", "Imported") +
                          line(22, "Film One", "TV", "http://t.example/film", "Imported"));
    EXPECT_EQ(
        onlyBox(),
        QStringLiteral("Playlist imported: 3 channels added, 2 channels already in the channel list, 1 line "
                       "skipped.\r\n\r\nAn online update (Update Channels > Update Channels Online) "
                       "replaces the whole channel list, imported channels included."));
    // Two of the three went to Radio: shown there with "All", as if the user had picked it.
    EXPECT_EQ(f->strCategory, QStringLiteral("Radio"));
    EXPECT_EQ(f->strTypeFilter, QStringLiteral("All"));
    EXPECT_EQ(f->Combo1->Text(), QStringLiteral("All"));
    EXPECT_EQ(setting("RadioLang"), QStringLiteral("All"));
    EXPECT_EQ(sortedItems(f), (QStringList{"Old Jazz", "Rock FM", "Talk / Live"}));
    EXPECT_TRUE(comboItems(f->Combo1).contains(QStringLiteral("Radio Rock")));
    EXPECT_EQ(writersEnabled(f), (QList<bool>{true, true, true, true}));

    // Imported again, every address is there already: the file stays, the message says so.
    boxes->clear();
    f->importPlaylistFile(playlist(MixedPlaylist));
    waitForImport(f);
    EXPECT_TRUE(
        onlyBox().startsWith(QStringLiteral("Playlist imported: 0 channels added, 5 channels already")));
    EXPECT_EQ(data().count('\n'), 6);
}

TEST_F(PlaylistImportTest, TheLastLineGetsItsEndAndTheLinesThereStayByteForByte)
{
    const QByteArray entry = "#EXTINF:-1,New\nhttp://n.example/new\n";
    const QByteArray added = line(4, "New", "TV", "http://n.example/new", "Imported");
    const QByteArray last = "3|Three|TV|http://a.example/3|Ünïcode|1/1/01|1/1/01|1/1/01|5|";
    const QList<QPair<QByteArray, QByteArray>> cases = {{last, last + "\r\n"},
                                                        {last + "\r\n", last + "\r\n"},
                                                        {last + "\n", last + "\n"},
                                                        {last + "\r", last + "\r\n"}};
    for (const auto &[before, kept] : cases) {
        SCOPED_TRACE(before.right(3).toStdString());
        Form1 *f = loadWith(before);
        f->importPlaylistFile(playlist(entry));
        waitForImport(f);
        EXPECT_EQ(data(), kept + added);
        ui::Forms::unloadAll();
    }
    Form1 *f = loadWith(QByteArray());
    f->importPlaylistFile(playlist(entry));
    waitForImport(f);
    EXPECT_EQ(data(), line(1, "New", "TV", "http://n.example/new", "Imported"));
}

TEST_F(PlaylistImportTest, WhatIsNoPlaylistLeavesTheListAsItWasAndTheUserIsToldWhy)
{
    Form1 *f = loadWith(OldList);
    const QDateTime written = QFileInfo(dataPath()).lastModified();
    const QStringList shown = sortedItems(f);
    for (const QByteArray &text : {QByteArray("<!DOCTYPE html>\n<html><body>Not here</body></html>\n"),
                                   QByteArray(), QByteArray("#EXTM3U\n#EXTINF:-1,Only\nplugin://x\n")}) {
        SCOPED_TRACE(text.constData());
        boxes->clear();
        const QString path = playlist(text, QStringLiteral("page.m3u"));
        f->importPlaylistFile(path);
        waitForImport(f);
        const QString told = onlyBox();
        EXPECT_TRUE(told.startsWith(path + QStringLiteral(" is not an M3U playlist")));
        EXPECT_TRUE(told.endsWith(QStringLiteral("The channel list has not been changed.")));
        EXPECT_EQ(data(), OldList);
        EXPECT_EQ(QFileInfo(dataPath()).lastModified(), written);
        EXPECT_EQ(sortedItems(f), shown);
    }
    boxes->clear();
    f->importPlaylistFile(env->root() + QStringLiteral("/lists/missing.m3u"));
    waitForImport(f);
    EXPECT_TRUE(onlyBox().endsWith(QStringLiteral("missing.m3u could not be read.")));
    EXPECT_EQ(data(), OldList);
}

TEST_F(PlaylistImportTest, MissingDataFolderIsMadeByTheImportNeverByTheLoader)
{
    Form1 *f = loadForm1();
    const QString folder = env->dataHome() + QStringLiteral("/TVDAT");
    ASSERT_FALSE(QFileInfo::exists(folder));
    boxes->clear();
    f->importPlaylistFile(playlist("http://n.example/live/one.m3u8\nrtsp://n.example/two\n"));
    waitForImport(f);
    EXPECT_EQ(data(), line(1, "one.m3u8", "TV", "http://n.example/live/one.m3u8", "Imported") +
                          line(2, "two", "TV", "rtsp://n.example/two", "Imported"));
    EXPECT_EQ(sortedItems(f), (QStringList{"one.m3u8", "two"}));
}

TEST_F(PlaylistImportTest, RefusedWriteKeepsTheOldListAndIsTold)
{
    Form1 *f = loadWith(OldList);
    const QString path = playlist(MixedPlaylist);
    {
        testsupport::FileSizeLimit limit(10);
        ASSERT_TRUE(limit.ok());
        f->importPlaylistFile(path);
        waitForImport(f);
    }
    EXPECT_TRUE(onlyBox().startsWith(QStringLiteral("The channel list could not be saved to ") + dataPath()))
        << onlyBox().toStdString();
    EXPECT_EQ(data(), OldList);
    EXPECT_EQ(writersEnabled(f), (QList<bool>{true, true, true, true}));
}

TEST_F(PlaylistImportTest, EveryOtherWriterOfTheListWaitsWhileAnImportRuns)
{
    Form1 *f = loadWith(OldList);
    f->importPlaylistFile(playlist(MixedPlaylist));
    // The playlist is being read on its own thread; nothing else may write the list.
    EXPECT_EQ(writersEnabled(f), (QList<bool>{false, false, false, false}));
    EXPECT_FALSE(f->updateChannelsOnline());
    f->importPlaylistFile(playlist("http://second.example/x\n", QStringLiteral("second.m3u")));
    pickMenu(f, "mnuFileItem", 0);
    EXPECT_EQ(f->findChild<QFileDialog *>(), nullptr);
    waitForImport(f);
    EXPECT_EQ(boxes->count(), 1);
    EXPECT_FALSE(data().contains("second.example"));
    EXPECT_EQ(writersEnabled(f), (QList<bool>{true, true, true, true}));

    // Closing the window while a playlist is read drops it: no write, no message.
    boxes->clear();
    const QByteArray before = data();
    f->importPlaylistFile(playlist("http://late.example/x\n", QStringLiteral("late.m3u")));
    ui::Forms::unload(f);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300)
        QCoreApplication::processEvents();
    EXPECT_EQ(data(), before);
    EXPECT_EQ(boxes->count(), 0);
}

TEST_F(PlaylistImportTest, AnImportWaitsWhileAnOnlineUpdateRuns)
{
    testsupport::LoopbackServer server;
    server.server().Get("/guide.sat", [](const httplib::Request &, httplib::Response &res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        res.set_content("1|Guide One|TV|http://g.example/1|English<BR>", "text/html");
    });
    server.start();
    env->setEnv("CHANNELDECK_SERVER", server.url().toUtf8());
    Form1 *f = loadWith(OldList);
    // Asked for while the guide is on its way: refused, so it cannot write over the guide.
    QTimer::singleShot(50, f, [this, f] {
        EXPECT_EQ(writersEnabled(f), (QList<bool>{false, false, false, false}));
        f->importPlaylistFile(playlist(MixedPlaylist));
    });
    EXPECT_TRUE(f->updateChannelsOnline());
    waitForImport(f);
    EXPECT_EQ(data(), line(1, "Guide One", "TV", "http://g.example/1", "English"));
    EXPECT_EQ(writersEnabled(f), (QList<bool>{true, true, true, true}));
}

TEST_F(PlaylistImportTest, AddressIsDownloadedWithProgressAndItsRelativeEntriesResolveAgainstIt)
{
    QByteArray text = "#EXTM3U\n#EXTINF:-1 group-title=\"Local\",Relative\nchan/1.ts\n"
                      "#EXTINF:-1,Rooted\n/root/2.ts\n";
    for (int i = 0; i < 40; ++i)
        text += "#EXTINF:-1,Channel " + QByteArray::number(i) + "\nhttp://x.example/" +
                QByteArray::number(i) + "\n";
    testsupport::LoopbackServer server;
    server.server().Get("/lists/tv.m3u", [text](const httplib::Request &, httplib::Response &res) {
        res.set_content(text.toStdString(), "audio/x-mpegurl");
    });
    server.server().Get("/page", [](const httplib::Request &, httplib::Response &res) {
        res.status = 404;
        res.set_content("<html><body>404 Not Found</body></html>", "text/html");
    });
    server.start();
    Form1 *f = loadWith(OldList);
    QStringList status;
    QObject::connect(f->txtStatus, &ui::TextBox::Change, f, [&] { status.append(f->txtStatus->Text()); });
    f->importPlaylistAddress(QStringLiteral("  ") + server.url(QStringLiteral("/lists/tv.m3u")));
    waitForImport(f);
    // Told as it comes, and once the channels are shown no longer.
    EXPECT_FALSE(
        status.filter(QRegularExpression(QStringLiteral("^Downloaded [1-9][0-9]* bytes\\.$"))).isEmpty())
        << status.join(u'|').toStdString();
    EXPECT_FALSE(f->StatusBar1->panelText(1).startsWith(QStringLiteral("Downloaded")));
    EXPECT_TRUE(
        data().contains(line(20, "Relative", "TV", server.url("/lists/chan/1.ts").toUtf8(), "Local")));
    EXPECT_TRUE(data().contains(line(21, "Rooted", "TV", server.url("/root/2.ts").toUtf8(), "Imported")));
    EXPECT_TRUE(onlyBox().startsWith(QStringLiteral("Playlist imported: 42 channels added")));
    const QByteArray imported = data();

    // An address of another kind, one where nothing answers and a page: nothing changes.
    const QString refused =
        QStringLiteral("http://127.0.0.1:%1/x.m3u").arg(testsupport::unusedLoopbackPort());
    const QList<QPair<QString, QString>> failures = {
        {QStringLiteral("ftp://127.0.0.1/x.m3u"),
         QStringLiteral("\"ftp://127.0.0.1/x.m3u\" is not a playlist address")},
        {QStringLiteral("127.0.0.1/x.m3u"), QStringLiteral("\"127.0.0.1/x.m3u\" is not a playlist address")},
        {refused, QStringLiteral("The playlist could not be downloaded from ") + refused},
        {server.url(QStringLiteral("/page")),
         server.url(QStringLiteral("/page")) + " is not an M3U playlist"}};
    for (const auto &[address, told] : failures) {
        SCOPED_TRACE(address.toStdString());
        boxes->clear();
        f->importPlaylistAddress(address);
        waitForImport(f);
        EXPECT_TRUE(onlyBox().startsWith(told)) << onlyBox().toStdString();
        // An address refused at once leaves the status line; one tried says what came of it.
        if (address.startsWith(QLatin1String("http"))) {
            EXPECT_EQ(f->StatusBar1->panelText(1),
                      QStringLiteral("Nothing was imported from ") + address + u'.');
        }
        EXPECT_EQ(data(), imported);
        EXPECT_EQ(writersEnabled(f), (QList<bool>{true, true, true, true}));
    }
}

TEST_F(PlaylistImportTest, FileMenuOpensAPlaylistDialogThatTakesATypedPathAndAnAddressBox)
{
    testsupport::LoopbackServer server;
    server.server().Get("/radio.m3u8", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("#EXTINF:-1 group-title=\"Radio\",By address\nhttp://r.example/a\n",
                        "audio/x-mpegurl");
    });
    server.start();
    Form1 *f = loadWith(OldList);
    const QString path = playlist(MixedPlaylist, QStringLiteral("typed.m3u8"));

    pickMenu(f, "mnuFileItem", 0);
    auto *files = f->findChild<QFileDialog *>();
    ASSERT_NE(files, nullptr);
    EXPECT_TRUE(files->isVisible());
    EXPECT_EQ(files->nameFilters(), (QStringList{"Playlists (*.m3u *.m3u8)", "All files (*)"}));
    EXPECT_EQ(files->fileMode(), QFileDialog::ExistingFile);
    auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(path);
    static_cast<QDialog *>(files)->accept();
    waitForImport(f);
    EXPECT_TRUE(data().contains("|Film One|TV|"));

    boxes->clear();
    pickMenu(f, "mnuFileItem", 1);
    auto *box = f->findChild<QInputDialog *>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->inputMode(), QInputDialog::TextInput);
    box->setTextValue(server.url(QStringLiteral("/radio.m3u8")));
    box->accept();
    waitForImport(f);
    EXPECT_TRUE(data().endsWith(line(23, "By address", "Radio", "http://r.example/a", "Radio")));
    EXPECT_EQ(f->strCategory, QStringLiteral("Radio"));
}
