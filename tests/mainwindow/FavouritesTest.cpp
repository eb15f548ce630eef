// The favourites: their scrambled file (round trip, damaged lines, failed writes), adding
// from the channel and YouTube lists, removing, playing with the probe, and sorting.
#include "tests/mainwindow/MainWindowFixture.h"

#include "platform/ui/Forms.h"
#include "services/modGenDec.h"
#include "submission/frmSubmit.h"
#include "submission/registerSubmission.h"
#include "tests/platform_ui/RadioStation.h"
#include "tests/support/LoopbackServer.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <atomic>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace mwtest;
using testsupport::LoopbackServer;

namespace
{

struct Favourite {
    QString name, tag, category, type;
};

class FavouritesTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        putSetting("TVLang", "All");
        writeData({channelLine("Alpha TV", "TV", "English/News", "http://127.0.0.1:9/alpha"),
                   channelLine("Beta TV", "TV", "French", "http://127.0.0.1:9/beta")});
        form = loadForm1();
        ASSERT_NE(form, nullptr);
        // Whatever the start-up loaded, each test begins with an empty list.
        form->ListView2->ListItems()->Clear();
        tester = std::make_unique<QAbstractItemModelTester>(
            form->ListView2->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    void TearDown() override
    {
        tester.reset();
        if (form)
            form->WindowsMediaPlayer1->close();
        MainWindowTest::TearDown();
    }

    QString favoritesPath() const { return env->userFolder() + "/Favorites.txt"; }
    QByteArray favoritesFile() const { return testsupport::TempEnvironment::readFile(favoritesPath()); }
    // The file's lines, unscrambled.
    QStringList storedLines() const
    {
        QStringList lines;
        const QByteArray content = favoritesFile();
        EXPECT_TRUE(content.isEmpty() || content.endsWith("\r\n"));
        for (const QByteArray &line : content.split('\n')) {
            if (!line.isEmpty())
                lines.append(QString::fromUtf8(DecryptString(line.chopped(1))));
        }
        return lines;
    }
    void writeFavoritesFile(const QList<QByteArray> &plainLines, const QByteArray &lineEnd = "\r\n")
    {
        QByteArray content;
        for (const QByteArray &line : plainLines)
            content += EncryptString(line) + lineEnd;
        env->writeFile(favoritesPath(), content);
    }

    void add(const Favourite &f)
    {
        ui::ListItem *item = form->ListView2->ListItems()->Add(f.name);
        item->setTag(f.tag);
        item->setSubItems(1, f.category);
        item->setSubItems(2, f.type);
    }
    QList<QStringList> listed() const
    {
        QList<QStringList> rows;
        for (int i = 1; i <= form->ListView2->ListItems()->Count(); ++i) {
            const ui::ListItem *item = form->ListView2->ListItems()->Item(i);
            rows.append({item->Text(), item->Tag(), item->SubItems(1), item->SubItems(2)});
        }
        return rows;
    }
    void select(ui::ListView *lv, const QString &text)
    {
        for (int i = 1; i <= lv->ListItems()->Count(); ++i) {
            if (lv->ListItems()->Item(i)->Text() == text) {
                lv->ListItems()->Item(i)->setSelected(true);
                return;
            }
        }
        ADD_FAILURE() << "no item " << text.toStdString();
    }
    ui::Menu *menu(const char *name, int index = -1) const
    {
        return qobject_cast<ui::Menu *>(form->control(QLatin1String(name), index));
    }

    Form1 *form = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

TEST_F(FavouritesTest, RoundTripKeepsNonAsciiTextAndOrder)
{
    const QList<Favourite> entries = {
        {QString::fromUtf8("Télé Française — Ελληνικά"), "http://127.0.0.1:9/t?x=1", "TV", "French/News"},
        {QString::fromUtf8("日本のラジオ"), "mms://127.0.0.1/jp", "Radio",
         QString::fromUtf8("Japanisch/Müsik")},
        {"Funny clip", "youtube=aB3_x-9", "", ""},
    };
    for (const Favourite &f : entries)
        add(f);
    form->saveFavorites();

    EXPECT_EQ(
        storedLines(),
        QStringList({QString::fromUtf8("Télé Française — Ελληνικά|http://127.0.0.1:9/t?x=1|TV|French/News"),
                     QString::fromUtf8("日本のラジオ|mms://127.0.0.1/jp|Radio|Japanisch/Müsik"),
                     "Funny clip|youtube=aB3_x-9||"}));
    // Scrambled, not plain.
    EXPECT_FALSE(favoritesFile().contains("Funny clip"));

    form->ListView2->ListItems()->Clear();
    form->loadFavorites();
    QList<QStringList> expected;
    for (const Favourite &f : entries)
        expected.append({f.name, f.tag, f.category, f.type});
    EXPECT_EQ(listed(), expected);

    // Loading appends: a second load lists everything twice.
    form->loadFavorites();
    EXPECT_EQ(listed().size(), 6);
}

// A "|" in any field (a video title from the site, what the submission window was typed)
// reloads exactly; entries without one keep the plain form, and older files load as before.
TEST_F(FavouritesTest, PipeInAFieldReloadsExactlyAndOlderFilesLoadAsBefore)
{
    form->ListView3->ListItems()->Add("Live | Highlights", "dQw4w9WgXcQ");
    select(form->ListView3, "Live | Highlights");
    menu("mnuAction2Item", 0)->trigger();
    add({"Plain", "http://127.0.0.1:9/p", "TV", "English"});
    add({"Jazz | Blues", "http://127.0.0.1:9/j?a=1|2", "Radio", "English|Music"});
    add({"|", "|", "|", "|"});
    form->saveFavorites();
    const QList<QStringList> saved = listed();
    EXPECT_EQ(storedLines().at(1), "Plain|http://127.0.0.1:9/p|TV|English");

    form->ListView2->ListItems()->Clear();
    form->loadFavorites();
    // The video keeps its tag, so it still plays as a video.
    EXPECT_EQ(listed(), saved);
    EXPECT_EQ(saved.first(), QStringList({"Live | Highlights", "youtube=dQw4w9WgXcQ", "", ""}));

    // What an older version wrote, a shifted line included, loads as it always did.
    writeFavoritesFile({"News|24|http://127.0.0.1:9/n|TV|English", "Old|http://127.0.0.1:9/o|TV|English"});
    form->ListView2->ListItems()->Clear();
    form->loadFavorites();
    EXPECT_EQ(listed(), QList<QStringList>({{"News", "24", "http://127.0.0.1:9/n", "TV"},
                                            {"Old", "http://127.0.0.1:9/o", "TV", "English"}}));
}

// Files written in a single-byte code page hold 0xFE as a letter (þ): such lines split at "|"
// as they always did, so the URL stays the tag and a save keeps it. Only a line in the exact
// shape of the form this program writes for a field holding "|" is read in that form.
TEST_F(FavouritesTest, CodePageLinesHoldingByteFeLoadAsBeforeAndSurviveASave)
{
    const QString unknown = QString(QChar(QChar::ReplacementCharacter)); // a byte that is no UTF-8
    writeFavoritesFile({"Caf\xFE|http://127.0.0.1:9/c|TV|English",
                        "\xFE\xFE|http://127.0.0.1:9/t|Radio|Dutch",
                        // Three of them, yet another letter of the code page is no UTF-8.
                        "\xFE\xE9\xFE|http://127.0.0.1:9/e|TV|\xFE",
                        // As this program writes an entry with "|" in a field.
                        "Jazz | Blues\xFEhttp://127.0.0.1:9/j?a=1|2\xFERadio\xFE"
                        "English"});
    form->loadFavorites();
    const QList<QStringList> expected = {
        {"Caf" + unknown, "http://127.0.0.1:9/c", "TV", "English"},
        {unknown + unknown, "http://127.0.0.1:9/t", "Radio", "Dutch"},
        {unknown + unknown + unknown, "http://127.0.0.1:9/e", "TV", unknown},
        {"Jazz | Blues", "http://127.0.0.1:9/j?a=1|2", "Radio", "English"},
    };
    EXPECT_EQ(listed(), expected);

    form->saveFavorites();
    form->ListView2->ListItems()->Clear();
    form->loadFavorites();
    EXPECT_EQ(listed(), expected);
}

// U+FEFF opening a field is a character of it, not a byte-order mark: every field keeps it.
TEST_F(FavouritesTest, FieldsThatBeginWithUFeffKeepItAcrossASave)
{
    const QString bom = QString(QChar(0xFEFF));
    add({bom + "Name", bom + "http://127.0.0.1:9/b", bom + "TV", bom + "English"});
    add({bom, "youtube=" + bom + "A", "", ""});
    add({bom + "Pipe|d", bom + "http://127.0.0.1:9/p", "TV", bom});
    const QList<QStringList> saved = listed();
    form->saveFavorites();
    form->ListView2->ListItems()->Clear();
    form->loadFavorites();
    EXPECT_EQ(listed(), saved);
}

TEST_F(FavouritesTest, LineEndsInTheScrambledFormAreNeverWritten)
{
    // Control bytes whose scrambled form could read as CR or LF must not split the entry.
    QString name = "Odd";
    for (int c = 1; c < 32; ++c)
        name += QChar(c);
    add({name, "http://127.0.0.1:9/odd", "TV", "English"});
    add({"Next", "http://127.0.0.1:9/next", "Radio", "Dutch"});
    form->saveFavorites();

    const QByteArray content = favoritesFile();
    EXPECT_EQ(content.count('\n'), 2);
    EXPECT_EQ(content.count('\r'), 2);
    form->ListView2->ListItems()->Clear();
    form->loadFavorites();
    ASSERT_EQ(listed().size(), 2);
    EXPECT_TRUE(listed()[0][0].startsWith("Odd"));
    EXPECT_EQ(listed()[0][1], "http://127.0.0.1:9/odd");
    EXPECT_EQ(listed()[1], QStringList({"Next", "http://127.0.0.1:9/next", "Radio", "Dutch"}));
}

TEST_F(FavouritesTest, DamagedAndShortLinesAreSkippedOrPadded)
{
    QByteArray content;
    content += EncryptString("no separator at all") + "\r\n";
    content += EncryptString("Good One|http://127.0.0.1:9/g|TV|English") + "\r";     // CR alone ends a line
    content += "\r\n";                                                               // empty line
    content += QByteArray("\x01\xff\xfe\x80garbage") + "\r\n";                       // not scrambled text
    content += EncryptString("Short|http://127.0.0.1:9/s") + "\n";                   // LF alone, two fields
    content += EncryptString("Extra|http://127.0.0.1:9/e|Radio|Dutch|ignored|more"); // no line end
    env->writeFile(favoritesPath(), content);

    form->loadFavorites();
    EXPECT_EQ(listed(), QList<QStringList>({{"Good One", "http://127.0.0.1:9/g", "TV", "English"},
                                            {"Short", "http://127.0.0.1:9/s", "", ""},
                                            {"Extra", "http://127.0.0.1:9/e", "Radio", "Dutch"}}));
}

TEST_F(FavouritesTest, MissingFileLoadsNothingAndCreatesNothing)
{
    add({"Kept", "http://127.0.0.1:9/k", "TV", "English"});
    form->loadFavorites();
    EXPECT_EQ(listed().size(), 1);
    EXPECT_FALSE(QFile::exists(favoritesPath()));
}

TEST_F(FavouritesTest, RemoveRewritesTheFileAndTheLastRemoveLeavesAnEmptyFile)
{
    add({"One", "http://127.0.0.1:9/1", "TV", "English"});
    add({"Two", "http://127.0.0.1:9/2", "TV", "English"});
    form->saveFavorites();

    select(form->ListView2, "One");
    emit form->Command1->Click();
    EXPECT_EQ(storedLines(), QStringList({"Two|http://127.0.0.1:9/2|TV|English"}));

    // Nothing selected: nothing removed, the file is written again all the same.
    form->ListView2->setSelectedItem(nullptr);
    QFile::remove(favoritesPath());
    emit form->Command1->Click();
    EXPECT_EQ(storedLines(), QStringList({"Two|http://127.0.0.1:9/2|TV|English"}));

    select(form->ListView2, "Two");
    emit form->Command1->Click();
    EXPECT_EQ(form->ListView2->ListItems()->Count(), 0);
    ASSERT_TRUE(QFile::exists(favoritesPath()));
    EXPECT_EQ(QFile(favoritesPath()).size(), 0);
}

TEST_F(FavouritesTest, AddFromTheChannelListThroughTheActionsPopup)
{
    ASSERT_TRUE(menu("mnuActionItem", 0));
    // Without a selected channel nothing is added and no file appears.
    form->ListView1->setSelectedItem(nullptr);
    menu("mnuActionItem", 0)->trigger();
    EXPECT_EQ(form->ListView2->ListItems()->Count(), 0);
    EXPECT_FALSE(QFile::exists(favoritesPath()));

    select(form->ListView1, "Alpha TV");
    menu("mnuActionItem", 0)->trigger();
    menu("mnuActionItem", 0)->trigger();
    // A hidden rating item does nothing.
    menu("mnuActionItem", 3)->trigger();
    EXPECT_EQ(listed(), QList<QStringList>({{"Alpha TV", "http://127.0.0.1:9/alpha", "TV", "English/News"},
                                            {"Alpha TV", "http://127.0.0.1:9/alpha", "TV", "English/News"}}));
    EXPECT_EQ(storedLines(), QStringList({"Alpha TV|http://127.0.0.1:9/alpha|TV|English/News",
                                          "Alpha TV|http://127.0.0.1:9/alpha|TV|English/News"}));
}

TEST_F(FavouritesTest, AddFromTheYouTubeListStoresAVideoTag)
{
    form->ListView3->ListItems()->Add("Cats & Dogs", "dQw4w9WgXcQ");
    form->ListView3->ListItems()->Add("Other", "zzz");
    form->ListView3->setSelectedItem(nullptr);
    menu("mnuAction2Item", 0)->trigger();
    EXPECT_EQ(form->ListView2->ListItems()->Count(), 0);

    select(form->ListView3, "Cats & Dogs");
    menu("mnuAction2Item", 0)->trigger();
    EXPECT_EQ(listed(), QList<QStringList>({{"Cats & Dogs", "youtube=dQw4w9WgXcQ", "", ""}}));
    EXPECT_EQ(storedLines(), QStringList({"Cats & Dogs|youtube=dQw4w9WgXcQ||"}));
}

TEST_F(FavouritesTest, SubmittedChannelJoinsTheMainWindowsListAndFile)
{
    LoopbackServer server;
    server.server().Get("/webtv/submit.asp", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("SUCCESS|", "text/plain");
    });
    server.start();
    env->setEnv("CHANNELDECK_SERVER", server.url().toUtf8());
    registerSubmissionWindows();
    const auto submit = [](const QString &name, const QString &url) {
        auto *submission = static_cast<frmSubmit *>(ui::Forms::load(QStringLiteral("frmSubmit")));
        submission->txtName->setText(name);
        submission->cmbType->setText(QStringLiteral("Radio/Music"));
        submission->txtLang->setText(QStringLiteral("Jazz"));
        submission->txtURL->setText(url);
        submission->cmdAdd_Click();
    };

    add({"Older", "http://127.0.0.1:9/old", "TV", "English"});
    submit(QStringLiteral("Submitted"), QStringLiteral("http://127.0.0.1:9/sub"));
    EXPECT_EQ(listed(), QList<QStringList>({{"Older", "http://127.0.0.1:9/old", "TV", "English"},
                                            {"Submitted", "http://127.0.0.1:9/sub", "Radio", "Jazz"}}));
    EXPECT_EQ(storedLines(), QStringList({"Older|http://127.0.0.1:9/old|TV|English",
                                          "Submitted|http://127.0.0.1:9/sub|Radio|Jazz"}));

    // With the main window closed, the submission loads it again; it lists the stored
    // favourites and the new one.
    tester.reset();
    ASSERT_TRUE(ui::Forms::unload(form));
    form = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    submit(QStringLiteral("Later"), QStringLiteral("http://127.0.0.1:9/later"));
    form = qobject_cast<Form1 *>(ui::Forms::find(QStringLiteral("Form1")));
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(listed().last(), QStringList({"Later", "http://127.0.0.1:9/later", "Radio", "Jazz"}));
    EXPECT_EQ(listed().size(), 3);
    EXPECT_EQ(storedLines().size(), 3);
    EXPECT_EQ(boxes->count(), 0);
    ui::Forms::registerClass(QStringLiteral("frmSubmit"), {});
}

TEST_F(FavouritesTest, ChannelActionButtonsPopUpTheirMenus)
{
    emit form->cmdFav->Click();
    QMenu *actions = menu("mnuActions")->submenu();
    ASSERT_TRUE(actions);
    EXPECT_TRUE(actions->isVisible());
    actions->close();

    emit form->Command4->Click();
    QMenu *actions2 = menu("mnuActions2")->submenu();
    ASSERT_TRUE(actions2);
    EXPECT_TRUE(actions2->isVisible());
    actions2->close();
    // The popups never show on the menu bar.
    EXPECT_FALSE(menu("mnuActions")->isVisible());
    EXPECT_FALSE(menu("mnuActions2")->isVisible());
}

TEST_F(FavouritesTest, FailedWriteKeepsTheOldFileAndSaysSo)
{
    add({"Old", "http://127.0.0.1:9/old", "TV", "English"});
    form->saveFavorites();
    const QByteArray before = favoritesFile();
    ASSERT_FALSE(before.isEmpty());

    // A file-size limit makes the write fail even for root.
    for (int i = 0; i < 50; ++i)
        add({QString("Entry %1 with a long enough name").arg(i), "http://127.0.0.1:9/e", "TV", "English"});
    struct rlimit saved {
    };
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 200;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    boxes->clear();
    form->saveFavorites();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(favoritesFile().size(), before.size());
    EXPECT_EQ(favoritesFile(), before);
    EXPECT_EQ(form->ListView2->ListItems()->Count(), 51);
    ASSERT_EQ(boxes->count(), 1);
    EXPECT_TRUE(boxes->boxes()[0].prompt.contains(favoritesPath()));
    // No scratch file is left beside it.
    EXPECT_EQ(QDir(env->userFolder()).entryList({"Favorites.txt*"}, QDir::Files),
              QStringList({"Favorites.txt"}));
}

TEST_F(FavouritesTest, UserFolderThatCannotBeMadeIsReportedAndTheListKept)
{
    // Below a plain file no folder can be made, not even by root.
    const QString blocker = env->writeFile(env->root() + "/plain-file", "x");
    env->setEnv("XDG_DATA_HOME", (blocker + "/share").toUtf8());
    add({"Only in memory", "http://127.0.0.1:9/m", "TV", "English"});
    boxes->clear();
    form->saveFavorites();
    ASSERT_EQ(boxes->count(), 1);
    const QString text = boxes->boxes().first().prompt;
    EXPECT_TRUE(text.startsWith("Your favorites could not be saved to " + blocker +
                                "/share/ChannelDeck/Favorites.txt"))
        << text.toStdString();
    // No file was there before, so the box does not claim one was kept.
    EXPECT_FALSE(text.contains("kept")) << text.toStdString();
    EXPECT_EQ(form->ListView2->ListItems()->Count(), 1);
    EXPECT_EQ(QDir(env->programFolder()).entryList(QDir::Files), QStringList());
}

TEST_F(FavouritesTest, ColumnClickSortsAndTogglesAndTheNextWriteKeepsTheOrder)
{
    add({"beta", "http://127.0.0.1:9/b", "TV", "x"});
    add({"Alpha", "http://127.0.0.1:9/a", "Radio", "y"});
    add({"gamma", "http://127.0.0.1:9/g", "Video", "z"});

    emit form->ListView2->ColumnClick(1);
    const QStringList ascending = itemTexts(form->ListView2);
    emit form->ListView2->ColumnClick(1);
    const QStringList descending = itemTexts(form->ListView2);
    EXPECT_EQ(ascending.size(), 3);
    EXPECT_NE(ascending, descending);
    QStringList reversed(descending.crbegin(), descending.crend());
    EXPECT_EQ(ascending, reversed);
    EXPECT_TRUE(ascending == QStringList({"Alpha", "beta", "gamma"}) ||
                descending == QStringList({"Alpha", "beta", "gamma"}));

    // By category (column 2): Radio, TV, Video in one of the two orders.
    emit form->ListView2->ColumnClick(2);
    const QStringList byCategory = itemTexts(form->ListView2);
    EXPECT_TRUE(byCategory == QStringList({"Alpha", "beta", "gamma"}) ||
                byCategory == QStringList({"gamma", "beta", "Alpha"}));

    form->saveFavorites();
    const QStringList lines = storedLines();
    ASSERT_EQ(lines.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lines[i].startsWith(byCategory[i] + "|")) << lines[i].toStdString();
}

TEST(FavoriteVideoId, TextBetweenTheFirstAndSecondEquals)
{
    EXPECT_EQ(Form1::favoriteVideoId("youtube=abc123"), "abc123");
    EXPECT_EQ(Form1::favoriteVideoId("YouTube=abc=def"), "abc");
    EXPECT_EQ(Form1::favoriteVideoId("http://h/watch?v=1&youtube=zz"), "1&youtube");
    EXPECT_EQ(Form1::favoriteVideoId("youtube="), "");
}

namespace
{

class FavouritePlaybackTest : public FavouritesTest
{
protected:
    void SetUp() override
    {
        FavouritesTest::SetUp();
        const struct {
            const char *path;
            int status;
            const char *body;
        } pages[] = {
            {"/missing", 404, "<html><body><h1>404 Not Found</h1></body></html>"},
            {"/moved", 301, "Object Has Moved"},
            {"/live", 200, ""},
            {"/youtube=abc", 200, ""},
            {"/playlist", 200, "#EXTM3U\nhttp://127.0.0.1:9/live\n"},
        };
        for (const auto &page : pages) {
            server.server().Get(page.path, [this, page](const httplib::Request &, httplib::Response &res) {
                ++hits;
                res.status = page.status;
                res.set_content(page.body, "text/html");
            });
        }
        server.start();
    }
    void TearDown() override
    {
        server.stop();
        FavouritesTest::TearDown();
    }
    void play(const QString &name)
    {
        select(form->ListView2, name);
        emit form->ListView2->Click();
    }

    LoopbackServer server;
    std::atomic<int> hits{0};
};

} // namespace

TEST_F(FavouritePlaybackTest, StreamIsProbedAndErrorPagesShowTheOfflinePicture)
{
    add({"Live", server.url("/live"), "TV", "English"});
    add({"Missing", server.url("/missing"), "TV", "English"});
    add({"Moved", server.url("/moved"), "Radio", "English"});
    add({"Playlist", server.url("/playlist"), "Radio", "English"});

    form->wbyoutube->setVisible(true);
    play("Live");
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), server.url("/live"));
    EXPECT_TRUE(form->WindowsMediaPlayer1->Visible());
    EXPECT_FALSE(form->wbyoutube->Visible());
    EXPECT_FALSE(form->imgOffline->Visible());

    play("Missing");
    EXPECT_TRUE(form->imgOffline->Visible());
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), server.url("/live"));
    play("Moved");
    EXPECT_TRUE(form->imgOffline->Visible());

    play("Playlist");
    EXPECT_FALSE(form->imgOffline->Visible());
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), server.url("/playlist"));
    EXPECT_GE(hits, 4);
}

TEST_F(FavouritePlaybackTest, VideoFavouriteOpensTheBrowserWithoutProbing)
{
    add({"Clip", "YouTube=abc", "", ""});
    // A stream address holding "youtube=" anywhere counts as a video too.
    add({"Odd stream", server.url("/youtube=abc"), "TV", "English"});
    form->imgOffline->setVisible(true);
    form->wbyoutube->setVisible(false);

    play("Clip");
    EXPECT_FALSE(form->imgOffline->Visible());
    EXPECT_FALSE(form->WindowsMediaPlayer1->Visible());
    EXPECT_TRUE(form->wbyoutube->Visible());
    // The video page is written for the id between the tag's first and second "=".
    const QByteArray page = testsupport::TempEnvironment::readFile(env->userFolder() + "/youtube.html");
    EXPECT_TRUE(page.contains("/embed/abc?rel=1'")) << page.toStdString();
    EXPECT_TRUE(page.contains("Clip"));
    play("Odd stream");
    EXPECT_FALSE(form->WindowsMediaPlayer1->Visible());
    EXPECT_EQ(hits, 0);
    EXPECT_TRUE(form->WindowsMediaPlayer1->url().isEmpty());
}

TEST_F(FavouritePlaybackTest, ChkLoadOrNoSelectionOnlyHidesTheOfflinePicture)
{
    add({"Live", server.url("/live"), "TV", "English"});
    form->chkLoad->setValue(ui::vbChecked);
    form->imgOffline->setVisible(true);
    play("Live");
    EXPECT_FALSE(form->imgOffline->Visible());

    form->chkLoad->setValue(ui::vbUnchecked);
    form->ListView2->setSelectedItem(nullptr);
    form->imgOffline->setVisible(true);
    emit form->ListView2->Click();
    EXPECT_FALSE(form->imgOffline->Visible());
    EXPECT_EQ(hits, 0);
    EXPECT_TRUE(form->WindowsMediaPlayer1->url().isEmpty());
}

TEST_F(FavouritePlaybackTest, AVideoOrAnotherFavouriteEndsTheTriesToJoinADroppedRadioAgain)
{
    testmedia::RadioStation radio;
    add({"Radio", radio.url(), "Radio", "English"});
    add({"Clip", "youtube=abc", "", ""});
    add({"Playlist", server.url("/playlist"), "Radio", "English"});
    form->Show();
    ui::MediaPlayer *player = form->WindowsMediaPlayer1;
    const auto dropTheRadio = [&] {
        radio.refusing = false;
        play("Radio");
        if (!QTest::qWaitFor([&] { return player->playState() == ui::MediaPlayer::wmppsPlaying; }, 15000))
            return false;
        radio.refusing = true;
        radio.cut = true;
        return QTest::qWaitFor([&] { return player->rejoining(); }, 15000);
    };
    const auto requestsOver = [&](int ms) {
        const int before = radio.requests;
        QTest::qWait(ms);
        return radio.requests - before;
    };

    ASSERT_TRUE(dropTheRadio());
    play("Clip");
    EXPECT_FALSE(player->rejoining());
    EXPECT_EQ(requestsOver(2500), 0) << "the video takes the area";

    ASSERT_TRUE(dropTheRadio());
    play("Playlist");
    EXPECT_FALSE(player->rejoining());
    EXPECT_EQ(requestsOver(2500), 0) << "another favourite";
}
