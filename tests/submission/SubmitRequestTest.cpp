// The submission request: the checks, the query on the wire, the server's verdict and the
// favourite added after it.
#include "tests/submission/SubmissionFixture.h"
#include "tests/support/MemoryPeak.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TimerGap.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "services/modDownload.h"
#include "services/modGenDec.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <cstdio>

using subtest::Received;
using subtest::SubmissionTest;

namespace
{

const QString kConnectionError = QStringLiteral(
    "There was an error submitting your channel.  Please try again or check your internet connection.");
const QString kContentError = QStringLiteral(
    "There was an error submitting your channel.  Please check the contents of your submission "
    "for non-ascii characters, punctuation or illegal characters.");

QStringList queryKeys(const std::string &target)
{
    const QString query = QString::fromStdString(target).section(QLatin1Char('?'), 1);
    QStringList keys;
    for (const QString &pair : query.split(QLatin1Char('&')))
        keys << pair.section(QLatin1Char('='), 0, 0);
    return keys;
}

subtest::SavingForm1 *mainWindow()
{
    return qobject_cast<subtest::SavingForm1 *>(ui::Forms::find(QStringLiteral("Form1")));
}

} // namespace

TEST_F(SubmissionTest, QueryCarriesEveryValueAsTypedAndTheAddressScrambledInOrder)
{
    answerSubmissionWith("SUCCESS|");
    frmSubmit *form = loadWindow();
    // "$", "6" and "8" scramble to "+", "=" and "?"; "y", "~" and non-ASCII to bytes above 127.
    const QString address = QStringLiteral("http://tv.example/$live/ch6?x=8&y=\u00fc~");
    form->txtName->setText(QStringLiteral("Tom & Jerry #1 100%"));
    form->cmbType->setText(QStringLiteral("Radio/Music"));
    form->txtLang->setText(QStringLiteral("Deutsch/Fran\u00e7ais"));
    form->cmbRating->setText(QStringLiteral("4"));
    form->txtURL->setText(address);

    form->cmdAdd_Click();

    const Received r = received();
    ASSERT_EQ(r.count, 1);
    EXPECT_EQ(QString::fromStdString(r.target).section(QLatin1Char('?'), 0, 0),
              QStringLiteral("/webtv/submit.asp"));
    EXPECT_EQ(queryKeys(r.target), QStringList({"name", "type", "lang", "rating", "url"}));
    EXPECT_EQ(r.params.at("name"), "Tom & Jerry #1 100%");
    EXPECT_EQ(r.params.at("type"), "Radio");
    EXPECT_EQ(r.params.at("lang"), QStringLiteral("Deutsch/Fran\u00e7ais").toStdString());
    EXPECT_EQ(r.params.at("rating"), "4");
    const QByteArray url = QByteArray::fromStdString(r.params.at("url"));
    EXPECT_EQ(url, EncryptString(address.toUtf8()));
    EXPECT_EQ(DecryptString(url), address.toUtf8());
    EXPECT_EQ(r.userAgent, "Mozilla");
    EXPECT_EQ(r.pragma, "no-cache");
    EXPECT_EQ(boxes->count(), 0);
}

TEST_F(SubmissionTest, ChecksStopAtTheFirstFaultyEntryAndSendNothing)
{
    answerSubmissionWith("SUCCESS|");
    frmSubmit *form = loadWindow();
    struct Case {
        const char *what;
        std::function<void(frmSubmit *)> spoil;
        QString message;
    };
    const QString typeMessage = QStringLiteral("Error: You must choose 'Radio/Music' or 'TV/Video'");
    const QString urlMessage = QStringLiteral("You must enter a URL");
    const QList<Case> cases = {
        {"typed type", [](frmSubmit *f) { f->cmbType->setText(QStringLiteral("TV")); }, typeMessage},
        {"type in other case", [](frmSubmit *f) { f->cmbType->setText(QStringLiteral("tv/video")); },
         typeMessage},
        {"empty url", [](frmSubmit *f) { f->txtURL->setText(QString()); }, urlMessage},
        {"bare scheme", [](frmSubmit *f) { f->txtURL->setText(QStringLiteral("http://")); }, urlMessage},
        {"empty name", [](frmSubmit *f) { f->txtName->setText(QString()); },
         QStringLiteral("Error: You must enter a channel name")},
        {"empty language", [](frmSubmit *f) { f->txtLang->setText(QString()); },
         QStringLiteral("Error: You must enter a channel language")},
        {"everything empty",
         [](frmSubmit *f) {
             f->cmbType->setText(QString());
             f->txtURL->setText(QString());
             f->txtName->setText(QString());
             f->txtLang->setText(QString());
         },
         typeMessage},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        fillValidEntries(form);
        c.spoil(form);
        boxes->clear();
        form->cmdAdd_Click();
        ASSERT_EQ(boxes->count(), 1);
        EXPECT_EQ(boxes->boxes().first().prompt, c.message);
        EXPECT_EQ(boxes->boxes().first().buttons, vbOKOnly);
        EXPECT_EQ(boxes->boxes().first().title, platform::defaultMessageBoxTitle());
    }
    EXPECT_EQ(received().count, 0);
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form1")), nullptr);
}

TEST_F(SubmissionTest, UpperCaseSchemeAloneAndABlankNamePassTheChecks)
{
    frmSubmit *form = validSubmission("SUCCESS|");
    form->txtURL->setText(QStringLiteral("HTTP://"));
    form->txtName->setText(QStringLiteral(" "));
    form->cmdAdd_Click();
    EXPECT_EQ(boxes->count(), 0);
    ASSERT_EQ(received().count, 1);
    EXPECT_EQ(received().params.at("name"), " ");
    EXPECT_EQ(received().params.at("type"), "TV");
}

TEST_F(SubmissionTest, SuccessReportsAndAddsTheFavouriteAtTheEndThenSaves)
{
    frmSubmit *form = validSubmission("SUCCESS|42|ignored");
    form->cmbType->setText(QStringLiteral("Radio/Music"));
    form->txtLang->setText(QStringLiteral("French/English"));
    // The main window is already there with a favourite of its own.
    auto *main = static_cast<subtest::SavingForm1 *>(ui::Forms::load(QStringLiteral("Form1")));
    main->ListView2->ListItems()->Add(QStringLiteral("Older"));

    form->cmdAdd_Click();

    EXPECT_EQ(boxes->count(), 0);
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Test TV submitted!  Thank you!"));
    ui::ListItemCollection *items = main->ListView2->ListItems();
    ASSERT_EQ(items->Count(), 2);
    const ui::ListItem *added = items->Item(2);
    EXPECT_EQ(added->Text(), QStringLiteral("Test TV"));
    EXPECT_EQ(added->Tag(), QStringLiteral("http://streams.example.com/live.asx")); // as typed, not scrambled
    EXPECT_EQ(added->SubItems(1), QStringLiteral("Radio"));
    EXPECT_EQ(added->SubItems(2), QStringLiteral("French/English"));
    EXPECT_EQ(main->saveCalls, 1);
    EXPECT_EQ(main->itemsWhenSaved, 2);
    // Nothing is cleared: the same channel can go again at once.
    EXPECT_EQ(form->txtName->Text(), QStringLiteral("Test TV"));
    EXPECT_EQ(form->txtURL->Text(), QStringLiteral("http://streams.example.com/live.asx"));
}

TEST_F(SubmissionTest, DuplicateWithTheBoxTickedStillAddsTheFavourite)
{
    frmSubmit *form = validSubmission("DUPE|");
    form->cmdAdd_Click();
    EXPECT_EQ(
        form->StatusBar1->panelText(1),
        QStringLiteral("Test TV is a duplicate submission.  It has still beed added to your favorites."));
    // The main window was not there: it is loaded for the favourite, not shown.
    ASSERT_NE(mainWindow(), nullptr);
    EXPECT_FALSE(mainWindow()->isVisible());
    EXPECT_EQ(mainWindow()->ListView2->ListItems()->Count(), 1);
    EXPECT_EQ(mainWindow()->saveCalls, 1);
}

TEST_F(SubmissionTest, WithoutTheTickNoFavouriteIsAdded)
{
    frmSubmit *form = validSubmission("DUPE|x");
    form->chkFavorites->setValue(ui::vbUnchecked);
    form->cmdAdd_Click();
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Test TV is a duplicate submission."));
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form1")), nullptr);

    // The grey state is not a tick either.
    form->chkFavorites->setValue(ui::vbGrayed);
    form->cmdAdd_Click();
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Test TV is a duplicate submission."));
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form1")), nullptr);
    EXPECT_EQ(received().count, 2);
}

TEST_F(SubmissionTest, AnswersWithoutASeparatorOrWithAnotherVerdictAddNothing)
{
    struct Case {
        QByteArray answer;
        QString message;
    };
    const QList<Case> cases = {
        {"SUCCESS", kConnectionError},
        {"", kConnectionError},
        {"ERROR|Invalid characters", kContentError},
        {"success|", kContentError},
        {" SUCCESS|", kContentError},
        {"|SUCCESS", kContentError},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        server = std::make_unique<testsupport::LoopbackServer>();
        frmSubmit *form = validSubmission(c.answer);
        form->StatusBar1->setPanelText(1, QStringLiteral("before"));
        boxes->clear();
        form->cmdAdd_Click();
        ASSERT_EQ(boxes->count(), 1);
        EXPECT_EQ(boxes->boxes().first().prompt, c.message);
        EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("before"));
        EXPECT_EQ(ui::Forms::find(QStringLiteral("Form1")), nullptr);
    }
}

TEST_F(SubmissionTest, UnreachableServerGivesTheConnectionMessage)
{
    frmSubmit *form = loadWindow(); // the fixture's server address has nobody listening
    fillValidEntries(form);
    form->cmdAdd_Click();
    ASSERT_EQ(boxes->count(), 1);
    EXPECT_EQ(boxes->boxes().first().prompt, kConnectionError);
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form1")), nullptr);
}

TEST_F(SubmissionTest, WithoutAMainWindowThatKeepsFavouritesTheSubmissionStillReports)
{
    static QStringList warnings;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type != QtDebugMsg)
                warnings << text;
        });
    struct Case {
        const char *what;
        std::function<ui::Form *()> factory;
        bool loads;
    };
    const Case cases[] = {
        {"a window of that name that keeps no favourites", [] { return new subtest::StandInForm1; }, true},
        {"no main window can be loaded", [] { return nullptr; }, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        warnings.clear();
        ui::Forms::unloadAll();
        ui::Forms::registerClass(QStringLiteral("Form1"), c.factory);
        server = std::make_unique<testsupport::LoopbackServer>();
        frmSubmit *form = validSubmission("SUCCESS|");
        form->cmdAdd_Click();

        EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("Test TV submitted!  Thank you!"));
        EXPECT_EQ(boxes->count(), 0);
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
        auto *main = qobject_cast<subtest::StandInForm1 *>(ui::Forms::find(QStringLiteral("Form1")));
        EXPECT_EQ(main != nullptr, c.loads);
        if (main) {
            EXPECT_EQ(main->ListView2->ListItems()->Count(), 0);
        }
    }
    qInstallMessageHandler(previous);
}

namespace
{

// A main window whose start-up shows a box; the user closes the submission window meanwhile.
class GreetingForm1 : public subtest::SavingForm1
{
public:
    void Form_Load() override { MsgBox(QStringLiteral("Welcome")); }
};

} // namespace

TEST_F(SubmissionTest, WindowClosedWhileTheMainWindowStartsStillAddsTheFavourite)
{
    ui::Forms::registerClass(QStringLiteral("Form1"), [] { return new GreetingForm1; });
    QPointer<frmSubmit> form = validSubmission("SUCCESS|");
    bool submissionThereAfterTheBox = false;
    const platform::MessageBoxPresenter recorder =
        platform::setMessageBoxPresenter([&](const platform::MessageBoxRequest &) {
            QEventLoop reading;
            QTimer::singleShot(0, &reading, [] { ui::Forms::find(QStringLiteral("frmSubmit"))->close(); });
            QTimer::singleShot(50, &reading, &QEventLoop::quit);
            reading.exec();
            submissionThereAfterTheBox = !form.isNull();
            return int(vbOK);
        });
    form->cmdAdd_Click();
    platform::setMessageBoxPresenter(recorder);

    // Closed, but not deleted under the handler still waiting for the box.
    EXPECT_TRUE(submissionThereAfterTheBox);
    EXPECT_EQ(ui::Forms::find(QStringLiteral("frmSubmit")), nullptr);
    ASSERT_NE(mainWindow(), nullptr);
    ASSERT_EQ(mainWindow()->ListView2->ListItems()->Count(), 1);
    EXPECT_EQ(mainWindow()->ListView2->ListItems()->Item(1)->Text(), QStringLiteral("Test TV"));
    EXPECT_EQ(mainWindow()->saveCalls, 1);
}

TEST_F(SubmissionTest, WindowClosedWhileTheAnswerIsAwaitedEndsTheSubmissionQuietly)
{
    // The server takes its time; the user closes the window meanwhile.
    testsupport::ScriptedServer slow(testsupport::ScriptedServer::delayed(10000, "SUCCESS|"));
    env->setEnv("CHANNELDECK_SERVER", slow.url(QString()).toUtf8());
    QPointer<frmSubmit> form = loadWindow();
    fillValidEntries(form);
    QTimer::singleShot(150, form, [&form] { form->close(); });
    testsupport::TimerGap gap;
    QElapsedTimer clock;
    clock.start();
    form->cmdAdd_Click();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_LT(gap.longest(), testsupport::TimerGap::FrozenMs);
    EXPECT_EQ(slow.connections(), 1);
    EXPECT_EQ(ui::Forms::find(QStringLiteral("frmSubmit")), nullptr);
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form1")), nullptr);
    EXPECT_EQ(boxes->count(), 0);
}

TEST_F(SubmissionTest, EndlessAnswerIsNoAnswerAndAddsNothing)
{
    // The verdict comes first, then the server never stops.
    testsupport::ScriptedServer flood(
        testsupport::ScriptedServer::flood(std::string(64 * 1024, 'x'), "SUCCESS|"));
    env->setEnv("CHANNELDECK_SERVER", flood.url(QString()).toUtf8());
    frmSubmit *form = loadWindow();
    fillValidEntries(form);
    form->StatusBar1->setPanelText(1, QStringLiteral("before"));
    DownloadResetLargestReply();

    testsupport::MemoryPeak peak;
    QElapsedTimer clock;
    clock.start();
    form->cmdAdd_Click();
    std::printf("[flood] submission answer: %lld ms, longest reply held %lld bytes, peak memory +%.1f MiB, "
                "server sent %lld bytes\n",
                static_cast<long long>(clock.elapsed()), static_cast<long long>(DownloadLargestReply()),
                peak.growthMiB(), flood.bytesSent());

    EXPECT_EQ(DownloadLargestReply(), SubmitAnswerMaxBytes);
    ASSERT_EQ(boxes->count(), 1);
    EXPECT_EQ(boxes->boxes().first().prompt, kConnectionError);
    EXPECT_EQ(form->StatusBar1->panelText(1), QStringLiteral("before"));
    EXPECT_EQ(ui::Forms::find(QStringLiteral("Form1")), nullptr);
}
