// The YouTube view against a loopback video site: list and search addresses, scraping of
// result pages, the generated video page, the view switch, and loads overtaken by a second
// load or by the window closing.
#include "tests/mainwindow/MainWindowFixture.h"

#include "platform/core/TextLines.h"
#include "platform/core/UserFolder.h"
#include "platform/ui/Forms.h"
#include "tests/support/LoopbackServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QRandomGenerator>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace mwtest;
using testsupport::LoopbackServer;

namespace
{

class YouTubeTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        server.server().Get(".*", [this](const httplib::Request &req, httplib::Response &res) {
            std::lock_guard lock(mutex);
            targets.append(QString::fromStdString(req.target));
            queries.push_back({req.path, req.params});
            res.set_content(pages[req.target], "text/html");
        });
        server.start();
        env->setEnv("CHANNELDECK_VIDEO_SITE", server.url().toUtf8());
        writeData({});
        form = loadForm1();
    }
    void TearDown() override
    {
        server.stop();
        MainWindowTest::TearDown();
    }

    void serve(const std::string &target, const std::string &body)
    {
        std::lock_guard lock(mutex);
        pages[target] = body;
    }
    QStringList takeRequests()
    {
        std::lock_guard lock(mutex);
        return std::exchange(targets, {});
    }
    // Path and parameters of each request, as the site decodes them.
    std::vector<std::pair<std::string, httplib::Params>> takeQueries()
    {
        std::lock_guard lock(mutex);
        return std::exchange(queries, {});
    }
    static QStringList fivePages(const QString &prefix)
    {
        QStringList list;
        for (int page = 1; page <= 5; ++page)
            list.append(prefix + QString::number(page));
        return list;
    }
    QStringList keys() const
    {
        QStringList list;
        for (int i = 1; i <= form->ListView3->ListItems()->Count(); ++i)
            list.append(form->ListView3->ListItems()->Item(i)->Key());
        return list;
    }
    void search(const QString &words)
    {
        pick(form->Combo3, "Search YouTube Videos");
        form->txtYouTube->setText(words);
        emit form->cmdSearch->Click();
    }
    // Runs once, the first time a download reports progress.
    void onFirstProgress(std::function<void()> action)
    {
        auto done = std::make_shared<bool>(false);
        QObject::connect(form->txtStatus, &ui::TextBox::Change, form, [done, action] {
            if (!std::exchange(*done, true))
                action();
        });
    }
    static QByteArray page() { return testsupport::TempEnvironment::readFile(pagePath()); }
    static QString pagePath() { return platform::userFolder() + "/youtube.html"; }

    // Lets the browser work until done() holds; its first page can take seconds.
    static bool waitFor(const std::function<bool()> &done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

    LoopbackServer server;
    std::mutex mutex;
    std::map<std::string, std::string> pages;
    QStringList targets;
    std::vector<std::pair<std::string, httplib::Params>> queries;
    Form1 *form = nullptr;
};

// Big enough to take several reads, so that progress is reported while it downloads.
std::string padded(const std::string &body)
{
    return body + "<p>" + std::string(3000, 'x') + "</p>";
}

const char *const resultPage1 =
    "<html><body>\n<div class=v><a href=\"/watch?v=AAA\">First &amp;quot;one&quot;</a></div>"
    "<a href=\"/watch?v=THUMB\" title=\"Tom &amp;amp; Jerry\"><img src=\"t.jpg\"></a>"
    "<A HREF=\"/WATCH?v=CCC&amp;feature=related\" class=x>Tom &amp;amp; Jerry</a>"
    "<a href=\"/watch?v=AAA\">Second title of AAA</a>"
    "<a href=\"/user/someone\">A channel</a><a href=\"/watch?v=EMPTY\"></a>"
    "<a href=\"/watch?v=x' onload='alert(1)\">Crafted</a>"
    "<a href=\"/watch?v=LF\">Two\nlines</a></body></html>";
const char *const resultPage2 = "<a href=\"/watch?v=AAA\">Again</a><a href=\"/watch?v=FFF\">Last</a>";

} // namespace

TEST_F(YouTubeTest, OpeningTheViewSwitchesPanelsAndLoadsFiveFeaturedPages)
{
    form->Frame3->setVisible(true);
    form->cmdYouTube_Click();
    EXPECT_TRUE(form->Frame5->Visible());
    EXPECT_FALSE(form->Frame1->Visible());
    EXPECT_FALSE(form->Frame3->Visible());
    EXPECT_FALSE(form->Frame4->Visible());
    EXPECT_TRUE(form->wbyoutube->Visible());
    EXPECT_FALSE(form->WindowsMediaPlayer1->Visible());
    EXPECT_EQ(form->strCategory, "YOUTUBE");
    EXPECT_EQ(form->ListView1->ListItems()->Count(), 0);
    EXPECT_EQ(takeRequests(), fivePages("/browse?s=rf&t=&l=&e=en_us&p="));

    // Back to the channels: the TV switch hides the pane again.
    form->cmdTV_Click();
    EXPECT_FALSE(form->Frame5->Visible());
    EXPECT_FALSE(form->wbyoutube->Visible());
}

TEST_F(YouTubeTest, EveryBrowseListAndCountryBuildsItsAddress)
{
    const std::map<QString, QString> lists = {
        {"Featured", "s=rf&t="},
        {"Most Viewed", "s=mp&t="},
        {"Most Discussed", "s=md&t="},
        {"Top Favorites", "s=mf&t="},
        {"Autos and Vehicles", "s=mf&t=t&c=2"},
        {"Education", "s=mf&t=t&c=27"},
        {"Entertainment", "s=mf&t=t&c=24"},
        {"Film and Animation", "s=mf&t=t&c=1"},
        {"Howto and Style", "s=mf&t=t&c=26"},
        {"Music", "s=mf&t=t&c=10"},
        {"News and Politics", "s=mf&t=t&c=25"},
        {"People and Blogs", "s=mf&t=t&c=22"},
        {"Pets and Animals", "s=mf&t=t&c=15"},
        {"Science and Technology", "s=mf&t=t&c=28"},
        {"Sports", "s=mf&t=t&c=17"},
        {"Travel and Events", "s=mf&t=t&c=19"},
    };
    for (const auto &[entry, query] : lists) {
        pick(form->Combo3, entry);
        EXPECT_EQ(takeRequests(), fivePages("/browse?" + query + "&l=&e=en_us&p=")) << entry.toStdString();
    }

    const std::map<QString, QString> codes = {
        {"Australia", "en_AU"}, {"Brazil", "pt_BR"},         {"Canada", "en_CA"},
        {"France", "fr_FR"},    {"Germany", "de_DE"},        {"Hong Kong", "zh_HK"},
        {"Ireland", "en_IE"},   {"Italy", "it_IT"},          {"Japan", "ja_JP"},
        {"Mexico", "es_MX"},    {"Netherlands", "nl_NL"},    {"New Zealand", "en_NZ"},
        {"Poland", "pl_PL"},    {"Russia", "ru_RU"},         {"Spain", "es_ES"},
        {"Taiwan", "zh_TW"},    {"United Kingdom", "en_GB"}, {"United States", "en_US"},
    };
    ASSERT_EQ(comboItems(form->Combo4).size(), int(codes.size()));
    for (const auto &[country, code] : codes) {
        pick(form->Combo4, country);
        EXPECT_EQ(form->strYouTubeLocale, code);
        EXPECT_EQ(takeRequests(), fivePages("/browse?s=mf&t=t&c=19&l=&e=" + code + "&p="));
    }

    // A typed country that is not on the list keeps the code.
    form->Combo4->setText("Atlantis");
    emit form->Combo4->Click();
    EXPECT_EQ(form->strYouTubeLocale, "en_US");
}

TEST_F(YouTubeTest, ScrapesVideoLinksOnceEachWithDecodedTitles)
{
    serve("/browse?s=rf&t=&l=&e=en_us&p=1", resultPage1);
    serve("/browse?s=rf&t=&l=&e=en_us&p=2", resultPage2);
    // A scratch file left by an earlier run is not read along.
    env->writeFile(env->userFolder() + "/youtube.tmp", "<a href=\"/watch?v=STALE\">Old</a>\r\n");
    form->cmdYouTube_Click();

    EXPECT_EQ(keys(), QStringList({"AAA", "CCC&amp;feature=related", "LF", "FFF"}));
    EXPECT_EQ(itemTexts(form->ListView3),
              QStringList({"First \"one\"", "Tom &amp; Jerry", "Two\nlines", "Last"}));
    EXPECT_FALSE(QFile::exists(env->userFolder() + "/youtube.tmp"));

    // "Comedy" has no address: the list empties and nothing is fetched.
    takeRequests();
    pick(form->Combo3, "Comedy");
    EXPECT_EQ(form->ListView3->ListItems()->Count(), 0);
    EXPECT_TRUE(takeRequests().isEmpty());
}

// U+FEFF opening an id or a title is a character of it: the id differs from the one without
// it, so neither is taken for a second link to the other.
TEST_F(YouTubeTest, IdsAndTitlesThatBeginWithUFeffKeepIt)
{
    const QString bom = QString(QChar(0xFEFF));
    form->ParseYouTubePage("\xEF\xBB\xBF<html><a href=\"/watch?v=\xEF\xBB\xBF"
                           "A\">\xEF\xBB\xBFMarked</a>\n<a href=\"/watch?v=A\">Plain</a></html>");
    EXPECT_EQ(keys(), QStringList({bom + "A", "A"}));
    EXPECT_EQ(itemTexts(form->ListView3), QStringList({bom + "Marked", "Plain"}));
}

TEST_F(YouTubeTest, SearchSendsTheWordsEncodedAndUsesTitleAttributes)
{
    serve("/results?search_query=cats%20%26%20dogs&search_type=&page=3", resultPage1);
    form->cmdYouTube_Click();
    takeRequests();
    const int listed = form->ListView3->ListItems()->Count();
    form->ListView3->ListItems()->Add("kept", "KEPT");

    // Picking the search entry only switches the boxes.
    pick(form->Combo3, "Search YouTube Videos");
    EXPECT_FALSE(form->Combo4->Visible());
    EXPECT_TRUE(form->txtYouTube->Visible());
    EXPECT_TRUE(form->cmdSearch->Visible());
    EXPECT_TRUE(takeRequests().isEmpty());
    EXPECT_EQ(form->ListView3->ListItems()->Count(), listed + 1);

    form->txtYouTube->setText("cats & dogs");
    emit form->cmdSearch->Click();
    EXPECT_EQ(takeRequests(), fivePages("/results?search_query=cats%20%26%20dogs&search_type=&page="));
    // In search mode a thumbnail link is named by its title attribute, decoded twice.
    EXPECT_EQ(keys(), QStringList({"AAA", "THUMB", "CCC&amp;feature=related", "LF"}));
    EXPECT_EQ(form->ListView3->ListItems()->Item(2)->Text(), "Tom & Jerry");

    // Enter in the query box searches; other keys do not.
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(form->txtYouTube->editor(), &letter);
    EXPECT_TRUE(takeRequests().isEmpty());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QCoreApplication::sendEvent(form->txtYouTube->editor(), &enter);
    EXPECT_EQ(takeRequests(), fivePages("/results?search_query=cats%20%26%20dogsa&search_type=&page="));

    // Back to a list: the country box returns.
    pick(form->Combo3, "Music");
    EXPECT_TRUE(form->Combo4->Visible());
    EXPECT_FALSE(form->txtYouTube->Visible());
    EXPECT_FALSE(form->cmdSearch->Visible());
}

TEST_F(YouTubeTest, VideoPageEscapesOnlyWhatIsUnsafe)
{
    // Character references stay as the site wrote them; "<" cannot open a tag; a "#" in the
    // id is part of it.
    const QString title = QString::fromUtf8("Rock &#39;n&#39; Roll <script>x</script> & \"Dogs\" caf\u00e9");
    form->showYouTubeVideo(title, "abc_-1&feature=x#t=30");
    // The link's further parameters follow the player's own, the fragment comes last.
    const QString player = server.url("/embed/abc_-1?rel=1&feature=x#t=30");
    EXPECT_EQ(QString::fromLatin1(page()),
              "<html><body bgcolor=black><center><font color=white><h1>"
              "Rock &#39;n&#39; Roll &#60;script>x&#60;/script> & \"Dogs\" caf&#233;</h1><br></font>"
              "<iframe width='425' height='355' src='" +
                  player + "' frameborder='0' allowfullscreen></iframe></center></body></html>\r\n");
    // The pane shows the new page, its title as the site meant it and the markup as text.
    const QString shownTitle = QString::fromUtf8("Rock 'n' Roll <script>x</script> & \"Dogs\" caf\u00e9");
    // The answer may come after the test; the state outlives it.
    auto shown = std::make_shared<QString>();
    auto asked = std::make_shared<bool>(false);
    EXPECT_TRUE(waitFor([&] {
        if (shown->contains(shownTitle))
            return true;
        if (!std::exchange(*asked, true))
            form->wbyoutube->view()->page()->toPlainText([shown, asked](const QString &text) {
                *shown = text;
                *asked = false;
            });
        return false;
    })) << shown->toStdString();
    EXPECT_EQ(form->wbyoutube->LocationURL(), QUrl::fromLocalFile(pagePath()).toString());

    const QByteArray before = page();
    for (const char *id : {"x' onload='alert(1)", "a\"><script>", "", "a|b", "a<b", "id\r\n", "a\nb"}) {
        form->showYouTubeVideo("Evil", QLatin1String(id));
        EXPECT_EQ(page(), before) << id;
    }
    form->showYouTubeVideo("Colon", "a:b");
    EXPECT_TRUE(page().contains("/embed/a:b?rel=1'"));
}

TEST_F(YouTubeTest, HashInSearchWordsAndIdsReachesTheSiteAndTheList)
{
    const QString prefix = "/results?search_query=c%23%20tips%20%232&search_type=&page=";
    serve((prefix + "2").toStdString(),
          "<a href=\"/watch?v=ID#t=30\">Rock &#39;n&#39; Roll</a><a href=\"/watch?v=a:b\">Colon</a>"
          "<a href=\"/watch?v=q'x\">Quote</a><a href=\"/watch?v=p|x\">Pipe</a>"
          "<a href=\"/watch?v=l<x\">Angle</a>");
    search("c# tips #2");
    // Every page asks with its own number, the words whole.
    EXPECT_EQ(takeRequests(), fivePages(prefix));
    EXPECT_EQ(keys(), QStringList({"ID#t=30", "a:b"}));

    form->ListView3->ListItems()->Item(1)->setSelected(true);
    emit form->ListView3->Click();
    EXPECT_TRUE(page().contains("<h1>Rock &#39;n&#39; Roll</h1>"));
    EXPECT_TRUE(page().contains("/embed/ID?rel=1#t=30'"));
}

TEST_F(YouTubeTest, SearchWordsReachTheSiteWholeWhateverTheyHold)
{
    for (const QString &words : {QStringLiteral("rock & roll"), QStringLiteral("C++"), QStringLiteral("100%"),
                                 QStringLiteral("a#b"), QString::fromUtf8("M\u00fcller \u6771\u4eac"),
                                 QStringLiteral(" "), QStringLiteral("x=1;y?z/%41")}) {
        SCOPED_TRACE(words.toStdString());
        search(words);
        const auto asked = takeQueries();
        ASSERT_EQ(asked.size(), 5u);
        for (int page = 1; page <= 5; ++page) {
            const httplib::Params expected{
                {"search_query", words.toStdString()}, {"search_type", ""}, {"page", std::to_string(page)}};
            EXPECT_EQ(asked[page - 1].first, "/results");
            EXPECT_EQ(asked[page - 1].second, expected);
        }
    }
}

TEST_F(YouTubeTest, ClickingAResultPlaysItUnlessChkLoadIsTicked)
{
    serve("/browse?s=rf&t=&l=&e=en_us&p=1", resultPage2);
    form->cmdYouTube_Click();
    const QByteArray placeholder = page();

    form->chkLoad->setValue(ui::vbChecked);
    form->ListView3->ListItems()->Item(2)->setSelected(true);
    emit form->ListView3->Click();
    EXPECT_EQ(page(), placeholder);

    form->chkLoad->setValue(ui::vbUnchecked);
    emit form->ListView3->Click();
    EXPECT_TRUE(page().contains("<h1>Last</h1>"));
    EXPECT_TRUE(page().contains("/embed/FFF?rel=1'"));

    form->ListView3->setSelectedItem(nullptr);
    emit form->ListView3->Click();
    EXPECT_TRUE(page().contains("/embed/FFF?rel=1'"));
}

TEST_F(YouTubeTest, AChosenVideoOrVideoFavouritePlaysTheSitesPlayerInThePane)
{
    serve("/browse?s=rf&t=&l=&e=en_us&p=1", resultPage2);
    serve("/embed/FFF?rel=1", "<html><body style='background:#0c0'>player of FFF</body></html>");
    form->resize(1000, 700);
    form->show();
    QCoreApplication::processEvents();
    // The channel view has no browser pane, so no browser engine either.
    EXPECT_FALSE(form->wbyoutube->hasView());

    form->cmdYouTube_Click();
    ASSERT_TRUE(form->wbyoutube->hasView());
    ui::WebBrowser *pane = form->wbyoutube;
    // Asks the pane's page a question until the answer holds; the answer may come after the
    // test, so its state outlives it.
    auto answers = [pane](const QString &script, const std::function<bool(const QString &)> &holds) {
        auto answer = std::make_shared<QString>();
        auto asked = std::make_shared<bool>(false);
        const bool ok = waitFor([&] {
            if (holds(*answer))
                return true;
            if (!std::exchange(*asked, true))
                pane->view()->page()->runJavaScript(script, [answer, asked](const QVariant &value) {
                    *answer = value.toString();
                    *asked = false;
                });
            return false;
        });
        return ok ? QString() : *answer;
    };
    // The placeholder written at start-up is what the pane shows first.
    const QString text = "document.body ? document.body.innerText : ''";
    EXPECT_EQ(answers(text, [](const QString &t) { return t.contains("Please select a video"); }), QString());

    QStringList seen;
    auto requested = [&](const QString &target) {
        return waitFor([&] {
            seen += takeRequests();
            return seen.contains(target);
        });
    };
    form->ListView3->ListItems()->Item(2)->setSelected(true);
    emit form->ListView3->Click();
    EXPECT_TRUE(requested("/embed/FFF?rel=1")) << seen.join(' ').toStdString();
    // The page the pane shows holds the player frame and nothing a browser would not run.
    const QString markup = "document.querySelectorAll('object,embed').length + ' ' +"
                           "Array.from(document.querySelectorAll('iframe'), f => f.src).join(' ')";
    const QString wanted = "0 " + server.url("/embed/FFF?rel=1");
    EXPECT_EQ(answers(markup, [&](const QString &t) { return t == wanted; }), QString());
    EXPECT_EQ(pane->LocationURL(), QUrl::fromLocalFile(pagePath()).toString());

    // A video favourite goes the same way.
    ui::ListItem *favourite = form->ListView2->ListItems()->Add("Clip");
    favourite->setTag("youtube=AAA");
    favourite->setSelected(true);
    emit form->ListView2->Click();
    EXPECT_TRUE(requested("/embed/AAA?rel=1")) << seen.join(' ').toStdString();
}

TEST_F(YouTubeTest, ASecondSearchDuringALoadOwnsTheList)
{
    serve("/results?search_query=first&search_type=&page=1", padded(resultPage2));
    serve("/results?search_query=first&search_type=&page=2", "<a href=\"/watch?v=OLD2\">old</a>");
    serve("/results?search_query=second&search_type=&page=1", "<a href=\"/watch?v=NEW\">new</a>");
    onFirstProgress([this] {
        form->txtYouTube->setText("second");
        emit form->cmdSearch->Click();
    });
    search("first");

    const QStringList requests = takeRequests();
    EXPECT_EQ(requests.first(), "/results?search_query=first&search_type=&page=1");
    EXPECT_EQ(requests.mid(1), fivePages("/results?search_query=second&search_type=&page="));
    EXPECT_EQ(keys(), QStringList({"NEW"}));
}

TEST_F(YouTubeTest, ClosingTheWindowDuringADownloadStopsTheLoad)
{
    serve("/browse?s=rf&t=&l=&e=en_us&p=1", padded(resultPage2));
    QPointer<Form1> alive(form);
    form->Show();
    onFirstProgress([this] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [this] { form->close(); }, Qt::QueuedConnection);
    });
    form->cmdYouTube_Click();
    EXPECT_EQ(takeRequests(), QStringList({"/browse?s=rf&t=&l=&e=en_us&p=1"}));
    EXPECT_EQ(ui::Forms::find("Form1"), nullptr);
    EXPECT_EQ(endCalls, 1);
    // The window goes once the load has returned.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

namespace
{

// The scrape as it was first written, on text: each line made a string and taken apart with
// splits. The byte scrape must name the same videos with the same titles.
QString oracleDecode(QString title)
{
    title.replace(QLatin1String("&amp;"), QLatin1String("&"), Qt::CaseInsensitive);
    title.replace(QLatin1String("&quot;"), QLatin1String("\""), Qt::CaseInsensitive);
    return title;
}

std::optional<QPair<QString, QString>> oracleLink(const QString &line, bool searchMode)
{
    if (!line.contains(QLatin1String("<a href=\"/watch?"), Qt::CaseInsensitive) ||
        !line.contains(QLatin1Char('>')))
        return std::nullopt;
    const QStringList pieces = line.split(QLatin1Char('>'));
    QString title = pieces.value(1);
    QString href;
    if (const qsizetype lt = title.indexOf(QLatin1Char('<')); lt >= 0) {
        title.truncate(lt);
        if (title.isEmpty())
            return std::nullopt;
        href = pieces.value(0).split(QLatin1Char('"')).value(1);
    } else {
        const qsizetype at = line.indexOf(QLatin1String("title="), 0, Qt::CaseInsensitive);
        if (!searchMode || at < 0)
            return std::nullopt;
        title = oracleDecode(line.mid(at + 6).split(QLatin1Char('"')).value(1));
        if (title.isEmpty())
            return std::nullopt;
        href = line.left(at).split(QLatin1Char('"')).value(1);
    }
    const QString id = href.remove(QLatin1String("/watch?v="), Qt::CaseInsensitive);
    if (id.isEmpty() || std::any_of(id.begin(), id.end(), [](QChar c) {
            return c.unicode() < 0x20 || c.unicode() == 0x7F || QLatin1String("\"'<|").contains(c);
        }))
        return std::nullopt;
    return QPair<QString, QString>{oracleDecode(title), id};
}

QStringList oracleScrape(const QByteArray &page, bool searchMode)
{
    QByteArray text;
    for (qsizetype i = 0; i < page.size(); ++i) {
        if (page[i] == '<' && (i + 1 == page.size() || page[i + 1] != '/'))
            text += "\r\n";
        text += page[i];
    }
    text += "\r\n";
    QStringList listed;
    QStringList keys;
    for (const QByteArray &line : platform::splitLines(text, platform::LineEnds::CrLfOrCr)) {
        const auto link = oracleLink(QString::fromUtf8(line), searchMode);
        if (link && !keys.contains(link->second)) {
            keys.append(link->second);
            listed.append(link->first + QLatin1Char('|') + link->second);
        }
    }
    return listed;
}

} // namespace

TEST_F(YouTubeTest, ScrapedLinksAndTitlesMatchATextScrapeOnRandomPages)
{
    const char *const pieces[] = {"<a href=\"/watch?v=",
                                  "<A HREF=\"/WATCH?V=",
                                  "\">",
                                  ">",
                                  "\"",
                                  "title=\"",
                                  " TiTlE=",
                                  "&amp;",
                                  "&AMP;",
                                  "&quot;",
                                  "&Quot;",
                                  "</a>",
                                  "<",
                                  "</",
                                  "x",
                                  "\xc3\xa9",
                                  "\xff",
                                  "\xe2\x82",
                                  "|",
                                  "'",
                                  "\n",
                                  "\r",
                                  "/watch?v=",
                                  "id1",
                                  "id2",
                                  " ",
                                  "&amp;quot;",
                                  "<b>"};
    QRandomGenerator rng(5);
    int named = 0;
    for (int round = 0; round < 400; ++round) {
        const auto some = [&](int most) {
            QByteArray text;
            for (int n = int(rng.bounded(0, most + 1)); n > 0; --n)
                text += pieces[rng.bounded(int(std::size(pieces)))];
            return text;
        };
        // Links much as the site writes them, with odd pieces in and between them.
        QByteArray page;
        for (int n = int(rng.bounded(1, 8)); n > 0; --n) {
            page +=
                some(2) + pieces[rng.bounded(2)] + "v" + QByteArray::number(rng.bounded(6)) + some(1) + "\"";
            page += some(1) +
                    (rng.bounded(2) ? "\" title=\"" + some(2) + (rng.bounded(2) ? "&amp;quot;" : "") + "\""
                                    : "") +
                    "\">" + (rng.bounded(3) ? some(3) + (rng.bounded(3) ? "</a>" : "") : QByteArray()) +
                    some(2);
        }
        const bool searchMode = round % 2;
        pick(form->Combo3, QLatin1String(searchMode ? "Search YouTube Videos" : "Comedy"));
        form->ListView3->ListItems()->Clear();
        form->ParseYouTubePage(page);
        QStringList listed;
        for (int i = 1; i <= form->ListView3->ListItems()->Count(); ++i) {
            const ui::ListItem *item = form->ListView3->ListItems()->Item(i);
            listed.append(item->Text() + QLatin1Char('|') + item->Key());
        }
        ASSERT_EQ(listed, oracleScrape(page, searchMode)) << page.toStdString();
        named += int(listed.size());
    }
    EXPECT_GT(named, 100); // the pages do name videos
}
