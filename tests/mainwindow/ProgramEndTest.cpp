// The real program's end as a user meets it: input given after the main window's close box,
// and queued behind it while the program was busy, starts nothing. The program runs on an X
// server of the test's own; the close and the input reach it through that server, in the
// order a user gives them, while the process is held stopped, so that they all wait in its
// queue together.
#include "mainwindow/EndProgram.h"
#include "mainwindow/Form1.h"
#include "mainwindow/SecondInstance.h"
#include "platform/core/InstanceLock.h"
#include "platform/core/VersionInfo.h"
#include "platform/ui/Forms.h"
#include "services/modGenDec.h"
#include "services/modMarque.h"
#include "services/modSettings.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/TempEnvironment.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

// Xlib after Qt: its macros (Status, None) would break Qt's headers.
#include "tests/mainwindow/TestDisplay.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <csignal>
#include <functional>
#include <optional>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// An X server for one test: clicks at a place on the screen reach this program's windows and
// no other test's.
class PrivateXServer
{
public:
    PrivateXServer()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return;
        m_server.setStandardErrorFile(QProcess::nullDevice());
        // It picks a free display itself and names it on its output.
        m_server.start(xvfb,
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1600x1200x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-noreset")});
        if (!m_server.waitForStarted())
            return;
        QByteArray out;
        QElapsedTimer clock;
        clock.start();
        while (!out.contains('\n') && clock.elapsed() < 30000 && m_server.state() == QProcess::Running) {
            m_server.waitForReadyRead(200);
            out += m_server.readAllStandardOutput();
        }
        bool ok = false;
        const int number = out.trimmed().toInt(&ok);
        if (ok)
            m_name = QStringLiteral(":%1").arg(number);
    }
    ~PrivateXServer()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        if (!m_server.waitForFinished(10000)) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }
    // ":N", or empty when no server could be started.
    QString name() const { return m_name; }

private:
    QProcess m_server;
    QString m_name;
};

using mwtest::TestDisplay;

// Opens of the files in a folder, as the kernel reports them.
class OpenWatch
{
public:
    explicit OpenWatch(const QString &folder) : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN);
    }
    ~OpenWatch() { ::close(m_fd); }
    // The names opened since the last call.
    QStringList opened()
    {
        QStringList names;
        alignas(inotify_event) char buffer[4096];
        ssize_t n;
        while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (char *p = buffer; p < buffer + n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(p);
                if (event->len)
                    names.append(QFile::decodeName(event->name));
                p += sizeof(inotify_event) + event->len;
            }
        }
        return names;
    }
    bool waitForOpen(const QString &name, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        do {
            if (opened().contains(name))
                return true;
            QThread::msleep(20);
        } while (clock.elapsed() < timeoutMs);
        return false;
    }

private:
    int m_fd;
};

bool waitFor(const std::function<bool()> &done, int timeoutMs = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

quint64 inode(const QString &path)
{
    struct stat st {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}

// Where the controls that the cases click sit in the main window, in window pixels: the
// program's own window laid out by its own code in this process, at the size it opens at.
struct Spots {
    QPoint favoritesView, firstFavorite, remove, radio, languagesMenu;
};

class ProgramEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            GTEST_SKIP() << "no Xvfb";
        server = std::make_unique<PrivateXServer>();
        ASSERT_FALSE(server->name().isEmpty()) << "Xvfb starts";
        display = std::make_unique<TestDisplay>(server->name());
        ASSERT_TRUE(*display);
        env = std::make_unique<testsupport::TempEnvironment>();
        platform::resetVersionInfo();
        LoadBrandSettings();
        runtime = env->programFolder() + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env->setEnv("XDG_RUNTIME_DIR", runtime.toUtf8());
        // A later run: no first-run chooser, no help.
        SaveProgramSetting(QStringLiteral("Language"), QStringLiteral("English"));
        SaveProgramSetting(QStringLiteral("showHelp"), QStringLiteral("0"));
        env->writeFile(env->dataHome() + QStringLiteral("/TVDAT/Data.txt"),
                       "1|News|TV|http://127.0.0.1:9/news|English|1/1/01|1/1/01|1/1/01|5|\r\n"
                       "2|Jazz|Radio|http://127.0.0.1:9/jazz|English|1/1/01|1/1/01|1/1/01|5|\r\n");
        QByteArray favourites;
        for (const char *name : {"Alpha", "Bravo", "Charlie"})
            favourites +=
                EncryptString(QByteArray(name) + "|http://127.0.0.1:9/" + name + "|TV|English") + "\r\n";
        env->writeFile(favoritesPath(), favourites);
        QFile::copy(QStringLiteral(CD_BINARY_DIR "/bin/Localization.txt"),
                    env->programFolder() + QStringLiteral("/Localization.txt"));
        spots = measureMainWindow();
    }

    void TearDown() override
    {
        if (program.state() != QProcess::NotRunning) {
            ::kill(pid_t(program.processId()), SIGCONT);
            program.kill();
            program.waitForFinished();
        }
        env.reset();
        display.reset();
        server.reset();
    }

    QString favoritesPath() const { return env->userFolder() + QStringLiteral("/Favorites.txt"); }
    QString pagePath() const { return env->userFolder() + QStringLiteral("/youtube.html"); }

    Spots measureMainWindow()
    {
        const auto endHandler = setEndProgramHandler([] {});
        const auto instanceCheck = setInstanceCheck([] { return false; });
        testsupport::MsgBoxRecorder boxes;
        ui::Forms::registerClass(QStringLiteral("Form1"), [] { return new Form1; });
        Spots s;
        auto *form = qobject_cast<Form1 *>(ui::Forms::load(QStringLiteral("Form1")));
        if (form) {
            form->show();
            form->cmdFavorites_Click();
            QCoreApplication::processEvents();
            const auto centre = [form](QWidget *w) { return w->mapTo(form, w->rect().center()); };
            s.favoritesView = centre(form->cmdFavorites);
            s.remove = centre(form->Command1);
            s.radio = centre(form->cmdRadio);
            ui::ListView *list = form->ListView2;
            const QRect row = list->visualRect(list->model()->index(0, 0));
            s.firstFavorite = list->viewport()->mapTo(form, row.center());
            auto *menu = qobject_cast<QAction *>(form->control(QStringLiteral("mnuLanguages")));
            if (menu)
                s.languagesMenu =
                    form->menuBar()->mapTo(form, form->menuBar()->actionGeometry(menu).center());
        }
        ui::Forms::unloadAll();
        setEndProgramHandler(endHandler);
        setInstanceCheck(instanceCheck);
        // The window written here is the program's to write again.
        QFile::remove(pagePath());
        return s;
    }

    void start()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("DISPLAY"), server->name());
        environment.insert(QStringLiteral("CHANNELDECK_HEADLESS_MEDIA"), QStringLiteral("1"));
        environment.insert(QStringLiteral("CHANNELDECK_SERVER"), QStringLiteral("http://127.0.0.1:9"));
        environment.insert(QStringLiteral("CHANNELDECK_VIDEO_SITE"), QStringLiteral("http://127.0.0.1:9"));
        environment.insert(QStringLiteral("HOME"), env->programFolder());
        program.setProcessEnvironment(environment);
        program.setStandardOutputFile(QProcess::nullDevice());
        errorLog = env->root() + QStringLiteral("/stderr.txt");
        program.setStandardErrorFile(errorLog);
        program.start(QStringLiteral(CD_BINARY_DIR "/bin/channeldeck"), {});
        ASSERT_TRUE(program.waitForStarted());
        main = display->waitForWindow(platform::versionInfo().productName + QStringLiteral(" by "), 30000);
        ASSERT_NE(main, 0u) << "the main window comes up";
        ASSERT_TRUE(waitFor([this] { return QFile::exists(pagePath()); }));
    }

    void click(QPoint inMainWindow)
    {
        display->click(display->onScreen(main, inMainWindow));
        display->sync();
    }

    // Presses the main window's close box while the program is held busy, queues input
    // behind it, then lets the program go on; answers how long it took to end from there.
    qint64 closeWithQueued(const std::function<void()> &queue)
    {
        const pid_t pid = pid_t(program.processId());
        ::kill(pid, SIGSTOP);
        EXPECT_TRUE(waitFor([pid] {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") T ");
        }));
        display->pressCloseBox(main);
        queue();
        display->sync();
        // The server hands synthetic input on a moment after the request that made it.
        QThread::msleep(300);
        QElapsedTimer clock;
        clock.start();
        ::kill(pid, SIGCONT);
        EXPECT_TRUE(program.waitForFinished(20000)) << "the program ends";
        const qint64 took = clock.elapsed();
        std::printf("[program end] %s: %lld ms from the close to the process's end\n",
                    ::testing::UnitTest::GetInstance()->current_test_info()->name(),
                    static_cast<long long>(took));
        return took;
    }

    // Ended of itself, at once, in good order.
    void expectCleanEnd(qint64 took)
    {
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_LT(took, 10000);
        const QByteArray errors = testsupport::TempEnvironment::readFile(errorLog);
        EXPECT_FALSE(errors.contains("did not end")) << errors.constData();
        EXPECT_FALSE(QFile::exists(platform::instanceLockPath()));
    }

    std::unique_ptr<PrivateXServer> server;
    std::unique_ptr<TestDisplay> display;
    std::unique_ptr<testsupport::TempEnvironment> env;
    QString runtime;
    QString errorLog;
    Spots spots;
    QProcess program;
    Window main = 0;
};

} // namespace

TEST_F(ProgramEnd, RemovalQueuedBehindTheCloseWritesNothing)
{
    start();
    click(spots.favoritesView);
    click(spots.firstFavorite);
    // The same clicks before the close do remove: they land where they are meant to.
    const QByteArray before = testsupport::TempEnvironment::readFile(favoritesPath());
    click(spots.remove);
    ASSERT_TRUE(waitFor([&] { return testsupport::TempEnvironment::readFile(favoritesPath()) != before; }));
    const QByteArray kept = testsupport::TempEnvironment::readFile(favoritesPath());
    EXPECT_EQ(kept.count("\r\n"), 2);
    click(spots.firstFavorite);
    QThread::msleep(300);
    const quint64 file = inode(favoritesPath());
    const QStringList files = QDir(env->userFolder()).entryList(QDir::Files);

    const qint64 took = closeWithQueued([&] { display->click(display->onScreen(main, spots.remove)); });
    expectCleanEnd(took);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(favoritesPath()).toHex().toStdString(),
              kept.toHex().toStdString());
    EXPECT_EQ(inode(favoritesPath()), file) << "the file was replaced";
    EXPECT_EQ(QDir(env->userFolder()).entryList(QDir::Files), files) << "a write was begun";
}

TEST_F(ProgramEnd, CategoryClickQueuedBehindTheCloseRunsNoHandler)
{
    start();
    OpenWatch watch(env->dataHome() + QStringLiteral("/TVDAT"));
    click(spots.radio);
    ASSERT_TRUE(watch.waitForOpen(QStringLiteral("Data.txt"), 15000)) << "the click lists the channels";
    QThread::msleep(300);
    watch.opened();

    const qint64 took = closeWithQueued([&] { display->click(display->onScreen(main, spots.radio)); });
    expectCleanEnd(took);
    EXPECT_EQ(watch.opened().join(' ').toStdString(), "") << "the category's handler read the channel list";
}

TEST_F(ProgramEnd, LanguagePickedInTheOpenChooserAfterTheCloseChangesNothing)
{
    start();
    const int windows = display->viewableWindows();
    click(spots.languagesMenu);
    ASSERT_TRUE(waitFor([&] { return display->viewableWindows() > windows; })) << "the menu opens";
    display->key(XK_Down);
    display->key(XK_Return);
    display->sync();
    const Window chooser = display->waitForWindow(QStringLiteral("Language Selection"), 15000);
    ASSERT_NE(chooser, 0u);
    ASSERT_TRUE(waitFor([&] { return display->focus() == chooser; }));
    // The chooser has the keyboard: a pick before the close is saved at once.
    display->key(XK_Down);
    display->sync();
    ASSERT_TRUE(
        waitFor([] { return GetProgramSetting(QStringLiteral("Language")) != QLatin1String("English"); }));
    const QString picked = GetProgramSetting(QStringLiteral("Language"));
    const QByteArray page = testsupport::TempEnvironment::readFile(pagePath());
    const quint64 pageFile = inode(pagePath());

    const qint64 took = closeWithQueued([&] { display->key(XK_Down); });
    expectCleanEnd(took);
    EXPECT_EQ(GetProgramSetting(QStringLiteral("Language")).toStdString(), picked.toStdString());
    EXPECT_EQ(inode(pagePath()), pageFile) << "a second main window started up";
    EXPECT_EQ(testsupport::TempEnvironment::readFile(pagePath()), page);
}
