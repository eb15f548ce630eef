// While the program ends, what would start a handler (input, a window's close, a timer
// control's tick, a call queued for a control) is dropped, no window loads, and the waits
// still on the stack are named; once the end is called off everything runs again.
#include "platform/core/ProgramEnd.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Form.h"
#include "platform/ui/Forms.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

class WatchedForm : public ui::Form
{
public:
    explicit WatchedForm(const QString &name) : ui::Form(name)
    {
        button = addControl<ui::CommandButton>(QStringLiteral("cmdGo"), nullptr, 0, 0, 1200, 450);
        timer = addControl<ui::Timer>(QStringLiteral("Timer1"), nullptr, 0, 0, 0, 0);
        timer->setEnabled(false);
        QObject::connect(button, &ui::CommandButton::Click, button, [this] { ++clicks; });
        QObject::connect(timer, &ui::TimerControl::Timer, timer, [this] { ++ticks; });
    }
    void Form_QueryUnload(int &, int) override { ++queries; }

    ui::CommandButton *button;
    ui::Timer *timer;
    int clicks = 0, ticks = 0, queries = 0;
};

class ProgramEnding : public ::testing::Test
{
protected:
    void TearDown() override
    {
        ui::setProgramEnding(false);
        ui::Forms::unloadAll();
    }
    // Lets queued work run for a while; only an absence is asserted after it.
    static void settle()
    {
        QTimer::singleShot(150, qApp, [] {});
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(10);
            QCoreApplication::sendPostedEvents();
        }
    }
};

} // namespace

TEST_F(ProgramEnding, NoHandlerStartsWhileTheProgramEndsAndAllRunAgainAfterwards)
{
    ui::Forms::registerClass(QStringLiteral("frmWatched"),
                             [] { return new WatchedForm(QStringLiteral("frmWatched")); });
    auto *form = static_cast<WatchedForm *>(ui::Forms::load(QStringLiteral("frmWatched")));
    ASSERT_NE(form, nullptr);
    form->show();
    QCoreApplication::processEvents();
    int queued = 0;

    ui::setProgramEnding(true);
    EXPECT_TRUE(platform::programEnding());
    QTest::mouseClick(form->button, Qt::LeftButton);
    form->button->setFocus();
    QTest::keyClick(form->button, Qt::Key_Space);
    form->timer->setInterval(5);
    form->timer->setEnabled(true);
    QMetaObject::invokeMethod(
        form->button, [&queued] { ++queued; }, Qt::QueuedConnection);
    EXPECT_FALSE(form->close()) << "the close box is input too";
    // What is not a handler still happens: a control deleted later goes.
    QPointer<QObject> doomed = new QObject(form->button);
    doomed->deleteLater();
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(form->clicks, 0);
    EXPECT_EQ(form->ticks, 0);
    EXPECT_EQ(queued, 0);
    EXPECT_EQ(form->queries, 0);
    EXPECT_EQ(ui::Forms::find(QStringLiteral("frmWatched")), form);
    EXPECT_TRUE(doomed.isNull());

    form->timer->setEnabled(false);
    ui::setProgramEnding(false);
    EXPECT_FALSE(platform::programEnding());
    QTest::mouseClick(form->button, Qt::LeftButton);
    EXPECT_EQ(form->clicks, 1);
    form->timer->setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([form] { return form->ticks > 0; }, 10000));
    QMetaObject::invokeMethod(
        form->button, [&queued] { ++queued; }, Qt::QueuedConnection);
    EXPECT_TRUE(QTest::qWaitFor([&queued] { return queued == 1; }, 10000));
    EXPECT_TRUE(form->close());
    EXPECT_EQ(form->queries, 1);
}

TEST_F(ProgramEnding, NoWindowLoadsOnceTheEndHasBegunButLoadedOnesAreFound)
{
    int created = 0;
    ui::Forms::registerClass(QStringLiteral("frmEarly"),
                             [] { return new ui::Form(QStringLiteral("frmEarly")); });
    ui::Forms::registerClass(QStringLiteral("frmLate"), [&created] {
        ++created;
        return new ui::Form(QStringLiteral("frmLate"));
    });
    ui::Form *early = ui::Forms::load(QStringLiteral("frmEarly"));
    ASSERT_NE(early, nullptr);

    ui::setProgramEnding(true);
    EXPECT_EQ(ui::Forms::load(QStringLiteral("frmLate")), nullptr);
    ui::Forms::show(QStringLiteral("frmLate"));
    EXPECT_EQ(created, 0);
    EXPECT_EQ(ui::Forms::load(QStringLiteral("frmEarly")), early);

    ui::setProgramEnding(false);
    EXPECT_NE(ui::Forms::load(QStringLiteral("frmLate")), nullptr);
    EXPECT_EQ(created, 1);
}

TEST_F(ProgramEnding, WaitsOnTheStackAreNamedWhileTheyLast)
{
    ui::Form dialog(QStringLiteral("frmAsk"));
    QStringList seen;
    QTimer::singleShot(0, &dialog, [&] {
        seen = platform::underWay();
        dialog.Hide();
    });
    dialog.Show(true);
    EXPECT_TRUE(seen.contains(QStringLiteral("the modal window frmAsk"))) << seen.join(" | ").toStdString();
    EXPECT_FALSE(platform::underWay().contains(QStringLiteral("the modal window frmAsk")));

    // A handler that lets messages run is named by the control its input went to.
    ui::watchHandlers();
    WatchedForm form(QStringLiteral("frmWatched"));
    form.show();
    QObject::connect(form.button, &ui::CommandButton::Click, form.button, [&seen] {
        QTimer::singleShot(0, qApp, [&seen] { seen = platform::underWay(); });
        DoEvents();
    });
    QTest::mouseClick(form.button, Qt::LeftButton);
    EXPECT_TRUE(
        seen.contains(QStringLiteral("DoEvents in the handler of MouseButtonRelease on frmWatched.cmdGo")))
        << seen.join(" | ").toStdString();
}
