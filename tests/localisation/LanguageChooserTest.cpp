// The language chooser: its list, a pick, the download of a new language file, and the
// file handed to translators.
#include "tests/localisation/LocalisationFixture.h"

#include "localisation/frmLanguage.h"
#include "localisation/registerLocalisation.h"
#include "platform/core/Inet.h"
#include "platform/core/SettingsStore.h"
#include "platform/core/Shell.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "services/modDownload.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/MemoryPeak.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TimerGap.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <thread>

using loctest::Group;
using loctest::item;

namespace
{

// The main window as the chooser sees it: a window named Form1 with a button and a menu.
class FakeMainWindow : public ui::Form
{
public:
    FakeMainWindow() : ui::Form(QStringLiteral("Form1"))
    {
        setCaption(QStringLiteral("Main"));
        cmdTV = addControl<ui::CommandButton>(QStringLiteral("cmdTV"), nullptr, 60, 60, 1335, 915);
        cmdTV->setCaption(QStringLiteral("TV/Video"));
        mnuFile = addMenu(QStringLiteral("mnuFile"), QStringLiteral("File"));
    }
    ui::CommandButton *cmdTV;
    ui::Menu *mnuFile;
};

// The chooser, noting why each unload was asked for.
class ChooserNotingUnloads : public frmLanguage
{
public:
    explicit ChooserNotingUnloads(QList<int> *modes) : m_modes(modes) {}
    void Form_QueryUnload(int &Cancel, int UnloadMode) override
    {
        m_modes->append(UnloadMode);
        frmLanguage::Form_QueryUnload(Cancel, UnloadMode);
    }

private:
    QList<int> *m_modes;
};

Group english()
{
    return {QStringLiteral("English"), {item("FORM1_CMDTV", "TV/Video"), item("FRMLANGUAGE_COMMAND2", "OK")}};
}

Group german()
{
    return {QStringLiteral("Deutsch"),
            {item("FORM1_CMDTV", "Fernsehen/Video"), item("FORM1_MNUFILE0", "Datei"),
             item("FRMLANGUAGE_COMMAND2", "Fertig"), item("FRMLANGUAGE_CAPTION", "Sprachauswahl")}};
}

Group french()
{
    return {QStringLiteral("Français"),
            {item("FORM1_CMDTV", "Télé/Vidéo"), item("FRMLANGUAGE_COMMAND2", "Terminé")}};
}

class LanguageChooserTest : public loctest::LocalisationTest
{
protected:
    void SetUp() override
    {
        LocalisationTest::SetUp();
        registerLocalisationWindows();
        ui::Forms::registerClass(QStringLiteral("Form1"), [] { return new FakeMainWindow; });
        LoadDefaultMessages();
        strLanguage = QStringLiteral("English");
        previousOpener = platform::setShellOpener([this](const QString &path) {
            opened << path;
            return true;
        });
    }
    void TearDown() override
    {
        platform::setShellOpener(previousOpener);
        LocalisationTest::TearDown();
    }

    static frmLanguage *chooser()
    {
        return static_cast<frmLanguage *>(ui::Forms::load(QStringLiteral("frmLanguage")));
    }
    static QStringList listed(frmLanguage *w)
    {
        QStringList names;
        for (int i = 0; i < w->Combo1->ListCount(); ++i)
            names << w->Combo1->List(i);
        return names;
    }
    static QString savedLanguage()
    {
        return platform::getSetting(QStringLiteral("TestProduct"), QStringLiteral("Settings"),
                                    QStringLiteral("Language"));
    }
    void pick(frmLanguage *w, const QString &name)
    {
        const int index = w->Combo1->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        w->Combo1->setListIndex(index); // fires Click like a pick by the user
    }

    QStringList opened;
    platform::ShellOpener previousOpener;
};

} // namespace

TEST_F(LanguageChooserTest, ListsTheLanguagesInFileOrderAndShowsTheSavedOne)
{
    writeLanguageFile({english(), german(), french(), german()});
    platform::saveSetting(QStringLiteral("TestProduct"), QStringLiteral("Settings"),
                          QStringLiteral("Language"), QStringLiteral("Français"));
    frmLanguage *w = chooser();
    EXPECT_EQ(listed(w), (QStringList{"English", "Deutsch", "Français", "Deutsch"}));
    EXPECT_EQ(w->Combo1->Text(), QStringLiteral("Français"));
    EXPECT_EQ(savedLanguage(), QStringLiteral("Français")); // showing it applies nothing
}

TEST_F(LanguageChooserTest, WithoutASavedLanguageTheListShowsEnglish)
{
    writeLanguageFile({german(), english()});
    EXPECT_EQ(chooser()->Combo1->Text(), QStringLiteral("English"));
}

TEST_F(LanguageChooserTest, WithoutAFileTheListIsEmptyAndTranslatorsGetNothing)
{
    frmLanguage *w = chooser();
    EXPECT_EQ(w->Combo1->ListCount(), 0);
    EXPECT_EQ(w->Combo1->Text(), QString());
    w->Command3_Click();
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(LanguageChooserTest, TranslateThisProgramOpensTheLanguageFile)
{
    writeLanguageFile({english()});
    chooser()->Command3->click();
    EXPECT_EQ(opened, QStringList{languageFilePath()});
}

TEST_F(LanguageChooserTest, MalformedGroupEndsTheList)
{
    QByteArray noName = loctest::languageFile({english(), german(), french()});
    noName.replace("<LANGUAGE_NAME>Deutsch</LANGUAGE_NAME>", "Deutsch");
    writeLanguageFile(noName);
    EXPECT_EQ(listed(chooser()), QStringList{"English"});
    ui::Forms::unloadAll();

    QByteArray unclosed = loctest::languageFile({english(), german()});
    unclosed.replace("</LANGUAGE_GROUP>\r\n</XML", "</XML");
    writeLanguageFile(unclosed);
    EXPECT_EQ(listed(chooser()), QStringList{"English"});
}

TEST_F(LanguageChooserTest, WindowCaptionComesFromTheLanguageOrStaysTheDesignOne)
{
    writeLanguageFile({english(), german()});
    EXPECT_EQ(chooser()->Caption(), QStringLiteral("Language Selection"));
    ui::Forms::unloadAll();

    strLanguage = QStringLiteral("Deutsch");
    frmLanguage *w = chooser();
    EXPECT_EQ(w->Caption(), QStringLiteral("Sprachauswahl"));
    EXPECT_EQ(w->Command2->Caption(), QStringLiteral("Fertig"));
}

TEST_F(LanguageChooserTest, PickingSavesTheLanguageAndTranslatesTheMainWindowAndItself)
{
    writeLanguageFile({english(), german(), french()});
    auto *main = static_cast<FakeMainWindow *>(ui::Forms::load(QStringLiteral("Form1")));
    frmLanguage *w = chooser();
    pick(w, QStringLiteral("Deutsch"));
    EXPECT_EQ(savedLanguage(), QStringLiteral("Deutsch"));
    EXPECT_EQ(strLanguage, QStringLiteral("Deutsch"));
    EXPECT_EQ(main->cmdTV->Caption(), QStringLiteral("Fernsehen/Video"));
    EXPECT_EQ(main->mnuFile->Caption(), QStringLiteral("Datei"));
    EXPECT_EQ(w->Command2->Caption(), QStringLiteral("Fertig"));
    EXPECT_EQ(w->Caption(), QStringLiteral("Sprachauswahl"));

    pick(w, QStringLiteral("Français"));
    EXPECT_EQ(main->cmdTV->Caption(), QStringLiteral("Télé/Vidéo"));
    EXPECT_EQ(w->Command2->Caption(), QStringLiteral("Terminé"));
    EXPECT_EQ(main->mnuFile->Caption(), QStringLiteral("Datei")); // French has no item for it
}

TEST_F(LanguageChooserTest, PickingLoadsTheMainWindowWhenItIsNotLoaded)
{
    writeLanguageFile({english(), german()});
    frmLanguage *w = chooser();
    ASSERT_EQ(ui::Forms::find(QStringLiteral("Form1")), nullptr);
    pick(w, QStringLiteral("Deutsch"));
    auto *main = static_cast<FakeMainWindow *>(ui::Forms::find(QStringLiteral("Form1")));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->cmdTV->Caption(), QStringLiteral("Fernsehen/Video"));
}

TEST_F(LanguageChooserTest, ThePromptTextIsNotALanguage)
{
    writeLanguageFile({english(), german()});
    frmLanguage *w = chooser();
    w->Combo1->setText(QStringLiteral("Choose Language Here"));
    w->Combo1_Click();
    EXPECT_EQ(savedLanguage(), QString());
    EXPECT_EQ(w->Command2->Caption(), QStringLiteral("OK"));
}

TEST_F(LanguageChooserTest, NonAsciiLanguageNameIsListedAndLoads)
{
    writeLanguageFile(
        {english(), french(), {QStringLiteral("日本語"), {item("FORM1_CMDTV", "テレビ"), item("X", "y")}}});
    ui::Forms::load(QStringLiteral("Form1"));
    frmLanguage *w = chooser();
    EXPECT_EQ(listed(w), (QStringList{"English", "Français", "日本語"}));
    pick(w, QStringLiteral("日本語"));
    EXPECT_EQ(static_cast<FakeMainWindow *>(ui::Forms::find(QStringLiteral("Form1")))->cmdTV->Caption(),
              QStringLiteral("テレビ"));
    EXPECT_EQ(savedLanguage(), QStringLiteral("日本語"));
}

// --- download

namespace
{

class LanguageDownloadTest : public LanguageChooserTest
{
protected:
    void serve(const QByteArray &body, int status = 200)
    {
        server.server().Get(".*", [this, body, status](const httplib::Request &req, httplib::Response &res) {
            requested << QString::fromStdString(req.path);
            res.status = status;
            res.set_content(body.toStdString(), "text/plain");
        });
        server.start();
        env->setEnv("CHANNELDECK_SERVER", server.url().toUtf8());
    }

    testsupport::LoopbackServer server;
    QStringList requested;
};

} // namespace

TEST_F(LanguageDownloadTest, AcceptedFileIsWrittenWithoutWhatPrecedesItsFirstTag)
{
    writeLanguageFile({english()});
    const QByteArray file = loctest::languageFile({english(), german()});
    serve(QByteArray("\xEF\xBB\xBF\r\n\r\n") + file);
    testsupport::MsgBoxRecorder boxes;
    frmLanguage *w = chooser();
    w->Command1->click();

    EXPECT_EQ(requested, QStringList{"/Languages/26/Localization.txt"});
    // The download is the user's: it goes to the user folder and the shipped file stays.
    EXPECT_EQ(testsupport::TempEnvironment::readFile(userLanguageFilePath()), file + "\r\n");
    EXPECT_EQ(testsupport::TempEnvironment::readFile(languageFilePath()), loctest::languageFile({english()}));
    EXPECT_EQ(listed(w), (QStringList{"English", "Deutsch"}));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_FALSE(boxes.boxes().first().prompt.isEmpty());
    EXPECT_EQ(savedLanguage(), QString()); // downloading applies no language
}

TEST_F(LanguageDownloadTest, ItemsTagInLowerCaseIsAccepted)
{
    serve("<x><translation_items></translation_items></x>");
    testsupport::MsgBoxRecorder boxes;
    chooser()->Command1_Click();
    EXPECT_EQ(readLanguageFile(), QByteArray("<x><translation_items></translation_items></x>\r\n"));
    EXPECT_EQ(boxes.count(), 1);
}

TEST_F(LanguageDownloadTest, ReplyWithoutItemsTagChangesNothing)
{
    const QByteArray old = loctest::languageFile({english()});
    writeLanguageFile(old);
    serve("<html><body>Not Found</body></html>", 404);
    testsupport::MsgBoxRecorder boxes;
    chooser()->Command1_Click();
    EXPECT_EQ(readLanguageFile(), old);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(LanguageDownloadTest, ErrorPageHoldingTheTagIsStillAccepted)
{
    // The status is not looked at: only the tag decides.
    serve("<TRANSLATION_ITEMS>", 500);
    testsupport::MsgBoxRecorder boxes;
    chooser()->Command1_Click();
    EXPECT_EQ(readLanguageFile(), QByteArray("<TRANSLATION_ITEMS>\r\n"));
}

TEST_F(LanguageDownloadTest, UnreachableServerChangesNothing)
{
    const QByteArray old = loctest::languageFile({english()});
    writeLanguageFile(old);
    env->setEnv("CHANNELDECK_SERVER",
                QStringLiteral("http://127.0.0.1:%1").arg(testsupport::unusedLoopbackPort()).toUtf8());
    testsupport::MsgBoxRecorder boxes;
    chooser()->Command1_Click();
    EXPECT_EQ(readLanguageFile(), old);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(LanguageDownloadTest, CutOrStalledFileKeepsTheOldOneAndAnnouncesNothing)
{
    using testsupport::ScriptedServer;
    const QByteArray old = loctest::languageFile({english()});
    writeLanguageFile(old);
    const std::string file = loctest::languageFile({english(), german(), english(), german()}).toStdString();
    platform::inetSetDefaultTimeouts(800, 800);
    const ScriptedServer::Script scripts[] = {
        ScriptedServer::cutWithLength(file, file.size() / 2),
        ScriptedServer::cutChunked(file, file.size() / 2),
        ScriptedServer::stallAfter(file.substr(0, file.size() / 2), (long long)file.size()),
    };
    for (const auto &script : scripts) {
        ScriptedServer server(script);
        env->setEnv("CHANNELDECK_SERVER", server.url(QString()).toUtf8());
        testsupport::MsgBoxRecorder boxes;
        testsupport::TimerGap gap;
        chooser()->Command1_Click();
        EXPECT_LT(gap.longest(), testsupport::TimerGap::FrozenMs);
        EXPECT_EQ(readLanguageFile(), old);
        EXPECT_EQ(boxes.count(), 0);
    }
    platform::inetSetDefaultTimeouts(platform::InetDefaultConnectTimeoutMs,
                                     platform::InetDefaultReceiveTimeoutMs);
}

TEST_F(LanguageDownloadTest, EndlessFileIsCutAndKeepsTheOldOneAndAnnouncesNothing)
{
    using testsupport::ScriptedServer;
    const QByteArray old = loctest::languageFile({english()});
    writeLanguageFile(old);
    // A language file that begins as one should and never ends.
    std::string items;
    while (items.size() < 64 * 1024)
        items += "<FRMLANGUAGE_COMMAND2>OK</FRMLANGUAGE_COMMAND2>\r\n";
    ScriptedServer flood(ScriptedServer::flood(
        items, "<LANGUAGE_GROUP>\r\n<LANGUAGE_NAME>Flood</LANGUAGE_NAME>\r\n<TRANSLATION_ITEMS>\r\n"));
    env->setEnv("CHANNELDECK_SERVER", flood.url(QString()).toUtf8());
    testsupport::MsgBoxRecorder boxes;
    frmLanguage *w = chooser();
    DownloadResetLargestReply();

    testsupport::MemoryPeak peak;
    QElapsedTimer clock;
    clock.start();
    w->Command1_Click();
    std::printf("[flood] language file: %lld ms, longest reply held %lld bytes, peak memory +%.1f MiB, "
                "server sent %lld bytes\n",
                static_cast<long long>(clock.elapsed()), static_cast<long long>(DownloadLargestReply()),
                peak.growthMiB(), flood.bytesSent());

    EXPECT_EQ(DownloadLargestReply(), LanguageFileMaxBytes);
    EXPECT_EQ(readLanguageFile(), old);
    EXPECT_EQ(listed(w), QStringList{"English"});
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(LanguageDownloadTest, FailedWriteKeepsWhatWasThereAndSaysSo)
{
    serve(loctest::languageFile({english(), german()}));
    QDir().mkpath(userLanguageFilePath()); // a folder where the file should go cannot be replaced
    testsupport::MsgBoxRecorder boxes;
    frmLanguage *w = chooser();
    w->Command1_Click();
    EXPECT_TRUE(QFileInfo(userLanguageFilePath()).isDir());
    EXPECT_EQ(w->Combo1->ListCount(), 0);
    ASSERT_EQ(boxes.count(), 1);
    const QString text = boxes.boxes().first().prompt;
    EXPECT_TRUE(text.contains(QStringLiteral("could not be saved to ") + userLanguageFilePath()))
        << text.toStdString();
    // There was no file of the user's, so none can have been kept.
    EXPECT_FALSE(text.contains(QStringLiteral("kept"))) << text.toStdString();
}

TEST_F(LanguageDownloadTest, ClosingTheWindowDuringTheDownloadStopsItAndKeepsTheFile)
{
    const std::string file = loctest::languageFile({english(), german()}).toStdString();
    server.server().Get(".*", [file](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider("text/plain", [file](size_t offset, httplib::DataSink &sink) {
            // Slow enough that the window's messages run between the reads.
            const size_t piece = std::min<size_t>(200, file.size() - offset);
            std::this_thread::sleep_for(std::chrono::milliseconds(80));
            sink.write(file.data() + offset, piece);
            if (offset + piece == file.size())
                sink.done();
            return true;
        });
    });
    server.start();
    env->setEnv("CHANNELDECK_SERVER", server.url().toUtf8());
    testsupport::MsgBoxRecorder boxes;
    writeLanguageFile({english()});
    const QByteArray before = readLanguageFile();
    QPointer<frmLanguage> w = chooser();
    QTimer::singleShot(200, w, [w] { w->Command2->click(); });
    QElapsedTimer clock;
    clock.start();
    w->Command1_Click();

    // The whole file would take about 80 ms a block; closing the window ends the wait.
    EXPECT_LT(clock.elapsed(), 80 * qint64(file.size() / 200));
    EXPECT_EQ(ui::Forms::find(QStringLiteral("frmLanguage")), nullptr);
    EXPECT_EQ(readLanguageFile(), before);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(LanguageChooserTest, TypedLanguageNameIsNotApplied)
{
    writeLanguageFile({english(), german()});
    auto *main = static_cast<FakeMainWindow *>(ui::Forms::load(QStringLiteral("Form1")));
    frmLanguage *w = chooser();
    QLineEdit *edit = w->Combo1->lineEdit();
    ASSERT_NE(edit, nullptr);
    const auto key = [edit](int code, const QString &text = QString()) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QCoreApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
        QCoreApplication::sendEvent(edit, &release);
    };
    // A whole name confirmed with Enter, then a beginning that completion could finish.
    edit->setText(QStringLiteral("Deutsch"));
    key(Qt::Key_Return);
    edit->clear();
    for (const QChar c : QStringLiteral("deu"))
        key(Qt::Key_unknown, QString(c));
    key(Qt::Key_Return);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &focusOut);
    QCoreApplication::processEvents();

    EXPECT_EQ(savedLanguage(), QString());
    EXPECT_EQ(main->cmdTV->Caption(), QStringLiteral("TV/Video"));
    EXPECT_EQ(w->Command2->Caption(), QStringLiteral("OK"));

    // Moving through the list with the arrow keys is a pick.
    edit->clear();
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(savedLanguage(), QStringLiteral("Deutsch"));
    EXPECT_EQ(main->cmdTV->Caption(), QStringLiteral("Fernsehen/Video"));
}

TEST_F(LanguageChooserTest, EnterPressesOkAndEscapeClosesTheWindowShownOrModal)
{
    writeLanguageFile({english(), german()});
    QList<int> modes;
    ui::Forms::registerClass(QStringLiteral("frmLanguage"),
                             [&modes] { return new ChooserNotingUnloads(&modes); });
    const auto press = [](QWidget *to, int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(to, &event);
    };
    // OK unloads the window from code, the close box as the control menu does.
    struct Case {
        const char *name;
        int key;
        int unloadMode;
        bool modal;
    };
    for (const Case c : {Case{"Enter", Qt::Key_Return, ui::Form::vbFormCode, false},
                         Case{"Escape", Qt::Key_Escape, ui::Form::vbFormControlMenu, false},
                         Case{"keypad Enter, modal", Qt::Key_Enter, ui::Form::vbFormCode, true},
                         Case{"Escape, modal", Qt::Key_Escape, ui::Form::vbFormControlMenu, true}}) {
        SCOPED_TRACE(c.name);
        modes.clear();
        QPointer<frmLanguage> w = chooser();
        // Typed into the language box, which passes both keys on.
        QLineEdit *typing = w->Combo1->lineEdit();
        if (c.modal) {
            bool stayed = false;
            QTimer::singleShot(0, w, [&] {
                press(typing, c.key);
                if ((stayed = ui::Forms::isLoaded(w)))
                    ui::Forms::unload(w);
            });
            w->Show(true);
            EXPECT_FALSE(stayed);
        } else {
            w->Show();
            press(typing, c.key);
        }
        EXPECT_EQ(ui::Forms::find(QStringLiteral("frmLanguage")), nullptr);
        EXPECT_EQ(modes, QList<int>{c.unloadMode});
    }

    // A control that takes Enter itself keeps it: the open list picks, a focused button clicks.
    modes.clear();
    frmLanguage *w = chooser();
    w->Show();
    static_cast<QComboBox *>(w->Combo1)->showPopup();
    w->Combo1->view()->setCurrentIndex(w->Combo1->model()->index(1, 0));
    press(w->Combo1->view(), Qt::Key_Return);
    EXPECT_EQ(savedLanguage(), QStringLiteral("Deutsch"));
    w->Command3->setFocus();
    press(w->Command3, Qt::Key_Return);
    EXPECT_EQ(opened, QStringList{languageFilePath()});
    EXPECT_TRUE(ui::Forms::isLoaded(w));
    EXPECT_TRUE(modes.isEmpty());
}

TEST_F(LanguageDownloadTest, ServerWithoutSchemeServesAndTheRefilledListHighlightsTheShownLanguage)
{
    writeLanguageFile({english()});
    platform::saveSetting(QStringLiteral("TestProduct"), QStringLiteral("Settings"),
                          QStringLiteral("Language"), QStringLiteral("Deutsch"));
    auto *main = static_cast<FakeMainWindow *>(ui::Forms::load(QStringLiteral("Form1")));
    serve(loctest::languageFile({english(), german(), french()}));
    env->setEnv("CHANNELDECK_SERVER", server.url().mid(QStringLiteral("http://").size()).toUtf8());
    testsupport::MsgBoxRecorder boxes;
    frmLanguage *w = chooser();
    w->Show();
    // An earlier pick left the list elsewhere.
    w->Combo1->setCurrentIndex(0);
    w->Command1_Click();
    EXPECT_EQ(requested, QStringList{"/Languages/26/Localization.txt"});
    ASSERT_EQ(listed(w), (QStringList{"English", "Deutsch", "Français"}));
    EXPECT_EQ(w->Combo1->Text(), QStringLiteral("Deutsch"));
    EXPECT_EQ(w->Combo1->ListIndex(), 1);
    EXPECT_EQ(main->cmdTV->Caption(), QStringLiteral("TV/Video")); // showing applies nothing

    // Enter in the opened list applies the language the box shows.
    static_cast<QComboBox *>(w->Combo1)->showPopup();
    QAbstractItemView *popup = w->Combo1->view();
    EXPECT_EQ(popup->currentIndex().row(), 1);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(popup, &enter);
    EXPECT_EQ(savedLanguage(), QStringLiteral("Deutsch"));
    EXPECT_EQ(main->cmdTV->Caption(), QStringLiteral("Fernsehen/Video"));

    // The arrow keys go on from it.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(w->Combo1->lineEdit(), &down);
    EXPECT_EQ(savedLanguage(), QStringLiteral("Français"));
}
