// The guard handlers ask after every wait: a window unloaded during the wait (DoEvents, a
// message box, a modal window) answers false at once but is not deleted under the handler; a
// newer ticket and the program's end answer false too.
#include "platform/ui/WindowGuard.h"

#include "platform/ui/DoEvents.h"
#include "platform/ui/Form.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MsgBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

using ui::Form;
using ui::Forms;
using ui::WindowGuard;

namespace
{

class Requester : public Form
{
public:
    explicit Requester(const QString &name = QStringLiteral("frmGuarded")) : Form(name) {}
    quint64 requests = 0;
};

// What the handler saw once its wait had returned.
struct AfterWait {
    bool alive = true;
    bool windowExists = false;
};

class WindowGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Forms::registerClass(QStringLiteral("frmGuarded"), [] { return new Requester; });
        Forms::registerClass(QStringLiteral("frmModal"), [] { return new Form(QStringLiteral("frmModal")); });
        window = static_cast<Requester *>(Forms::load(QStringLiteral("frmGuarded")));
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        ui::setProgramEnding(false);
        platform::setMessageBoxPresenter({});
        Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Forms::registerClass(QStringLiteral("frmGuarded"), {});
        Forms::registerClass(QStringLiteral("frmModal"), {});
    }

    // Runs fn from the event loop, as a click's handler runs, and returns when it has.
    static void runAsHandler(const std::function<void()> &fn)
    {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            fn();
            loop.quit();
        });
        loop.exec();
    }

    // The handler waits in wait(); the window is unloaded during the wait. Checks that the
    // window outlives the handler, then goes once the handler has returned.
    AfterWait unloadDuring(const std::function<void()> &wait)
    {
        AfterWait seen;
        QPointer<Form> alive(window);
        runAsHandler([&] {
            const WindowGuard guard(window);
            wait();
            seen.alive = guard.alive();
            seen.windowExists = !alive.isNull();
        });
        EXPECT_EQ(Forms::find(QStringLiteral("frmGuarded")), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(alive.isNull()) << "the window is deleted once the handler has returned";
        window = nullptr;
        return seen;
    }

    // Unloads the guarded window, then ends the wait after any deletion posted meanwhile has
    // had its chance to run.
    static void unloadThen(QObject *context, const std::function<void()> &endWait)
    {
        QTimer::singleShot(0, context, [context, endWait] {
            Forms::unload(QStringLiteral("frmGuarded"));
            QMetaObject::invokeMethod(context, endWait, Qt::QueuedConnection);
        });
    }

    Requester *window = nullptr;
};

} // namespace

TEST_F(WindowGuardTest, WindowUnloadedDuringANestedDoEventsIsGoneForTheGuardButNotDeleted)
{
    bool innerSawAlive = true, innerSawWindow = false;
    const AfterWait outer = unloadDuring([&] {
        // A second handler runs inside the first one's DoEvents and waits in turn; the window
        // is unloaded inside that second wait.
        QTimer::singleShot(0, [&] {
            const WindowGuard guard(window);
            QPointer<Form> alive(window);
            QTimer::singleShot(0, [] { Forms::unload(QStringLiteral("frmGuarded")); });
            DoEvents();
            DoEvents();
            innerSawAlive = guard.alive();
            innerSawWindow = !alive.isNull();
        });
        DoEvents();
        DoEvents();
    });
    EXPECT_FALSE(innerSawAlive);
    EXPECT_TRUE(innerSawWindow);
    EXPECT_FALSE(outer.alive);
    EXPECT_TRUE(outer.windowExists);
}

TEST_F(WindowGuardTest, WindowUnloadedDuringAMessageBoxIsGoneForTheGuardButNotDeleted)
{
    platform::setMessageBoxPresenter([](const platform::MessageBoxRequest &) {
        QEventLoop reading;
        unloadThen(&reading, [&reading] { reading.quit(); });
        reading.exec();
        return int(vbOK);
    });
    const AfterWait seen = unloadDuring([] { MsgBox(QStringLiteral("Still reading")); });
    EXPECT_FALSE(seen.alive);
    EXPECT_TRUE(seen.windowExists);
}

TEST_F(WindowGuardTest, WindowUnloadedUnderTheRealBoxIsGoneForTheGuardButNotDeleted)
{
    // The real box belongs to the active window: deleting that window would take the box along
    // while it still waits.
    window->Show();
    QApplication::setActiveWindow(window);
    bool answered = false;
    const AfterWait seen = unloadDuring([&] {
        unloadThen(qApp, [] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                    box->done(QMessageBox::Ok);
            }
        });
        MsgBox(QStringLiteral("Still reading"));
        answered = true;
    });
    EXPECT_TRUE(answered);
    EXPECT_FALSE(seen.alive);
    EXPECT_TRUE(seen.windowExists);
}

TEST_F(WindowGuardTest, WindowUnloadedDuringAModalWindowIsGoneForTheGuardButNotDeleted)
{
    const AfterWait seen = unloadDuring([] {
        Form *modal = Forms::load(QStringLiteral("frmModal"));
        unloadThen(modal, [modal] { modal->Hide(); });
        modal->Show(true);
    });
    EXPECT_FALSE(seen.alive);
    EXPECT_TRUE(seen.windowExists);
}

TEST_F(WindowGuardTest, ModalWindowThatUnloadsItselfGoesOnceItsShowHasReturned)
{
    QPointer<Form> modal = Forms::load(QStringLiteral("frmModal"));
    bool existedAfterShow = false;
    runAsHandler([&] {
        QTimer::singleShot(0, modal, [&modal] { Forms::unload(modal); });
        modal->Show(true);
        existedAfterShow = !modal.isNull();
    });
    EXPECT_TRUE(existedAfterShow);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(modal.isNull());
}

TEST_F(WindowGuardTest, ANewerTicketEndsEveryEarlierOne)
{
    const WindowGuard first = WindowGuard::newTicket(window, window->requests);
    EXPECT_TRUE(first.alive());
    const WindowGuard second = WindowGuard::newTicket(window, window->requests);
    EXPECT_FALSE(first.alive());
    EXPECT_TRUE(second.alive());
    // Holding the ticket under way does not take a new one.
    const WindowGuard sameRun(window, window->requests);
    EXPECT_TRUE(second.alive());
    EXPECT_TRUE(sameRun.alive());
    // A newer request made while messages run.
    runAsHandler([&] {
        QTimer::singleShot(0, [this] { WindowGuard::newTicket(window, window->requests); });
        DoEvents();
    });
    EXPECT_FALSE(second.alive());
    EXPECT_FALSE(sameRun.alive());
    EXPECT_EQ(window->requests, 3u);

    // The current ticket of a window that has gone counts for nothing.
    const WindowGuard current(window, window->requests);
    Forms::unload(window);
    EXPECT_FALSE(current.alive());
}

TEST_F(WindowGuardTest, TheProgramsEndEndsEveryGuard)
{
    const WindowGuard none;
    const WindowGuard ofWindow(window);
    const WindowGuard ticket = WindowGuard::newTicket(window, window->requests);
    EXPECT_TRUE(none.alive());
    EXPECT_TRUE(ofWindow.alive());
    ui::setProgramEnding(true);
    EXPECT_FALSE(none.alive());
    EXPECT_FALSE(ofWindow.alive());
    EXPECT_FALSE(ticket.alive());
    ui::setProgramEnding(false);
    EXPECT_TRUE(ofWindow.alive());
    EXPECT_TRUE(ticket.alive());
}

TEST_F(WindowGuardTest, AWindowLoadedAgainIsAnotherWindow)
{
    const WindowGuard old(window);
    Forms::unload(window);
    Form *again = Forms::load(QStringLiteral("frmGuarded"));
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(old.alive());
    EXPECT_TRUE(WindowGuard(again).alive());
    EXPECT_FALSE(WindowGuard(nullptr).alive());
}
