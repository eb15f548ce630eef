// Window runtime: twips geometry, controls in design order, control arrays, menus and
// the Forms collection's load/unload protocol.
#include "platform/ui/Form.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Forms.h"

#include <QApplication>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ui;

namespace
{

class CountingForm : public Form
{
public:
    explicit CountingForm(const QString &name = QStringLiteral("frmCount")) : Form(name) {}
    int loads = 0, resizes = 0, queries = 0, unloads = 0, activations = 0;
    int cancelQuery = 0, cancelUnload = 0;
    int lastUnloadMode = -1;
    QStringList *log = nullptr;

    void Form_Load() override
    {
        ++loads;
        if (log)
            log->append(objectName() + QStringLiteral(":load"));
    }
    void Form_Resize() override { ++resizes; }
    void Form_Activate() override { ++activations; }
    void Form_QueryUnload(int &Cancel, int UnloadMode) override
    {
        ++queries;
        lastUnloadMode = UnloadMode;
        Cancel = cancelQuery;
    }
    void Form_Unload(int &Cancel) override
    {
        ++unloads;
        Cancel = cancelUnload;
        if (log)
            log->append(objectName() + QStringLiteral(":unload"));
    }
};

class FormsTest : public ::testing::Test
{
protected:
    void TearDown() override { Forms::unloadAll(); }
};

} // namespace

TEST(TwipsTest, ConvertsAtFifteenPerPixelAndRoundsToNearest)
{
    EXPECT_EQ(toPixels(15240), 1016);
    EXPECT_EQ(toPixels(9020), 601); // 601.33
    EXPECT_EQ(toPixels(9030), 602); // 602.0
    EXPECT_EQ(toPixels(-30), -2);
    EXPECT_EQ(toTwips(675), 10125);
}

TEST(FormGeometryTest, WithoutFrameTheClientIsTheDesignFrameSmaller)
{
    Form form(QStringLiteral("Form1"));
    form.setWidth(15360);
    form.setHeight(11100);
    EXPECT_EQ(form.ScaleWidth(), 15240);
    EXPECT_EQ(form.ScaleHeight(), 10125);
    EXPECT_EQ(form.Width(), 15360);
    EXPECT_EQ(form.Height(), 11100);
    EXPECT_EQ(form.width(), 1016);

    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.client()->size(), QSize(1016, 675));
    EXPECT_EQ(form.Width(), 15360);
    EXPECT_EQ(form.Height(), 11100);
}

TEST(FormGeometryTest, MenuBarLiesInsideTheFrameAllowance)
{
    Form form(QStringLiteral("Form1"));
    Menu *file = form.addMenu(QStringLiteral("mnuFile"), QStringLiteral("&File"));
    form.addMenu(QStringLiteral("mnuFileItem"), QStringLiteral("E&xit"), file, 0);
    form.Move(0, 0, 15360, 11100);
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.ScaleHeight(), 10125);
    EXPECT_EQ(form.client()->height(), 675);
    EXPECT_GT(form.height(), 675); // the menu bar sits above the client area
    EXPECT_EQ(form.Height(), 11100);
}

TEST(FormGeometryTest, OddTwipsReadBackExactlyUntilTheWindowIsResizedElsewhere)
{
    Form form(QStringLiteral("frmOdd"));
    form.setWidth(5000);
    EXPECT_EQ(form.Width(), 5000);
    EXPECT_EQ(form.ScaleWidth(), 4880);
    form.resize(400, form.height()); // as a user drag would
    EXPECT_EQ(form.ScaleWidth(), 6000);
    EXPECT_EQ(form.Width(), 6120);
}

TEST(FormGeometryTest, ResizeHookRunsForProgrammaticAndUserResizes)
{
    CountingForm form;
    form.setWidth(6000);
    EXPECT_GE(form.resizes, 1);
    form.show();
    QCoreApplication::processEvents();
    const int before = form.resizes;
    form.resize(500, 400);
    QCoreApplication::processEvents();
    EXPECT_GT(form.resizes, before);
}

TEST(FormEventsTest, ActivateRunsWhenTheWindowBecomesActive)
{
    CountingForm form;
    EXPECT_EQ(form.activations, 0);
    form.Show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_GE(form.activations, 1);
}

TEST(FormGeometryTest, WindowStateMapsMinimizedAndMaximized)
{
    Form form(QStringLiteral("frmState"));
    EXPECT_EQ(form.WindowState(), Form::vbNormal);
    form.setWindowState(Form::vbMinimized);
    EXPECT_EQ(form.WindowState(), Form::vbMinimized);
    form.setWindowState(Form::vbMaximized);
    EXPECT_EQ(form.WindowState(), Form::vbMaximized);
    form.setWindowState(Form::vbNormal);
    EXPECT_EQ(form.WindowState(), Form::vbNormal);
}

TEST(FormControlsTest, ControlsKeepDesignOrderAcrossContainersAndMenus)
{
    Form form(QStringLiteral("Form1"));
    auto *cmd = form.addControl<CommandButton>(QStringLiteral("cmdTV"), nullptr, 60, 60, 1335, 915);
    auto *frame = form.addControl<Frame>(QStringLiteral("Frame1"), nullptr, 60, 1020, 5235, 8175);
    auto *lbl = form.addControl<Label>(QStringLiteral("lblCountry"), frame, 180, 300, 795, 255);
    Menu *menu = form.addMenu(QStringLiteral("mnuFile"), QStringLiteral("&File"));
    auto *timer = form.addControl<Timer>(QStringLiteral("Timer1"), nullptr, 0, 0, 0, 0);

    const QList<QObject *> expected = {cmd, frame, lbl, menu, timer};
    EXPECT_EQ(form.controls(), expected);
    EXPECT_EQ(lbl->parentWidget(), frame);
    EXPECT_EQ(cmd->parentWidget(), form.client());
    EXPECT_EQ(form.control(QStringLiteral("LBLCOUNTRY")), lbl); // names ignore case
    EXPECT_EQ(form.control(QStringLiteral("nothing")), nullptr);

    EXPECT_EQ(typeName(cmd), QStringLiteral("CommandButton"));
    EXPECT_EQ(typeName(frame), QStringLiteral("Frame"));
    EXPECT_EQ(typeName(menu), QStringLiteral("Menu"));
    EXPECT_EQ(typeName(timer), QStringLiteral("Timer"));
    EXPECT_EQ(typeName(&form), QStringLiteral("Form"));
}

TEST(FormControlsTest, TwipsPositionsRelativeToTheContainerReadBackExactly)
{
    Form form(QStringLiteral("Form1"));
    auto *frame = form.addControl<Frame>(QStringLiteral("Frame1"), nullptr, 60, 1020, 5235, 8175);
    auto *lv = form.addControl<ListView>(QStringLiteral("ListView1"), frame, 180, 960, 4935, 3795);
    EXPECT_EQ(lv->geometry(), QRect(12, 64, 329, 253));
    lv->setHeight(7760);
    frame->setHeight(9020); // not a whole number of pixels
    EXPECT_EQ(frame->Height(), 9020);
    EXPECT_EQ(frame->property("Height").toInt(), 9020);
    EXPECT_TRUE(frame->setProperty("Left", 180));
    EXPECT_EQ(frame->x(), 12);
    EXPECT_EQ(lv->Height(), 7760);
}

TEST(FormControlsTest, VisibleIsTheControlsOwnFlagEvenOnAHiddenWindow)
{
    Form form(QStringLiteral("Form1"));
    auto *cmd = form.addControl<CommandButton>(QStringLiteral("cmdSports"), nullptr, 8100, 60, 1275, 915);
    EXPECT_TRUE(cmd->Visible());
    cmd->setVisible(false);
    EXPECT_FALSE(cmd->property("Visible").toBool());
    cmd->setEnabled(false);
    EXPECT_FALSE(cmd->Enabled());
}

TEST(FormControlsTest, ControlArraysAreOrderedByIndexAndGrowAtRunTime)
{
    Form form(QStringLiteral("Form1"));
    auto *first = form.addControl<SkinLabel>(QStringLiteral("SkinLabel2"), nullptr, 480, 5220, 315, 195, 0);
    first->setCaption(QStringLiteral("Windowed Label"));
    first->setVisible(false);
    auto *frame = form.addControl<Frame>(QStringLiteral("Frame5"), nullptr, 60, 1020, 5235, 8175);
    auto *second = form.addControl<SkinLabel>(QStringLiteral("SkinLabel2"), frame, 480, 5220, 315, 195, 1);

    EXPECT_EQ(form.controlArray(QStringLiteral("SkinLabel2")), (QList<QObject *>{first, second}));
    EXPECT_EQ(form.control(QStringLiteral("SkinLabel2"), 1), second);
    EXPECT_EQ(form.control(QStringLiteral("SkinLabel2")), nullptr); // an array needs its index
    EXPECT_EQ(controlIndex(second), 1);
    EXPECT_EQ(controlIndex(frame), -1);
    EXPECT_EQ(form.upperBound(QStringLiteral("SkinLabel2")), 1);

    auto *loaded = qobject_cast<SkinLabel *>(form.loadControl(QStringLiteral("SkinLabel2"), 2));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(typeName(loaded), QStringLiteral("SkinLabel"));
    EXPECT_EQ(loaded->Caption(), QStringLiteral("Windowed Label"));
    EXPECT_EQ(loaded->parentWidget(), form.client()); // the lowest element's container
    EXPECT_EQ(loaded->Left(), 480);
    EXPECT_FALSE(loaded->Visible());
    EXPECT_EQ(form.controls().last(), loaded);
    EXPECT_EQ(form.loadControl(QStringLiteral("SkinLabel2"), 1), nullptr); // index taken
    EXPECT_EQ(form.loadControl(QStringLiteral("NoSuchArray"), 1), nullptr);

    EXPECT_FALSE(form.unloadControl(QStringLiteral("SkinLabel2"), 0)); // design-time element
    EXPECT_TRUE(form.unloadControl(QStringLiteral("SkinLabel2"), 2));
    EXPECT_EQ(form.upperBound(QStringLiteral("SkinLabel2")), 1);
}

TEST(FormMenuTest, MenusFormSubmenusSeparatorsAndGrowingArrays)
{
    Form form(QStringLiteral("Form1"));
    Menu *cat = form.addMenu(QStringLiteral("mnuCat"), QStringLiteral("&Category"));
    Menu *tv = form.addMenu(QStringLiteral("mnuCatItem"), QStringLiteral("TV"), cat, 0);
    Menu *sep = form.addMenu(QStringLiteral("mnuCatItem"), QStringLiteral("-"), cat, 1);
    Menu *radio = form.addMenu(QStringLiteral("mnuCatItem"), QStringLiteral("Radio"), cat, 2);
    Menu *help = form.addMenu(QStringLiteral("mnuHelp"), QStringLiteral("&Help"));

    ASSERT_NE(cat->submenu(), nullptr);
    EXPECT_EQ(cat->submenu()->actions(), (QList<QAction *>{tv, sep, radio}));
    EXPECT_TRUE(sep->isSeparator());
    EXPECT_EQ(form.menuBar()->actions(), (QList<QAction *>{cat, help}));
    EXPECT_EQ(controlIndex(cat), -1);

    QSignalSpy clicks(radio, &Menu::Click);
    radio->trigger();
    EXPECT_EQ(clicks.count(), 1);

    radio->setChecked(true);
    EXPECT_TRUE(radio->Checked());
    radio->setProperty("Visible", false);
    EXPECT_FALSE(radio->isVisible());

    auto *added = qobject_cast<Menu *>(form.loadControl(QStringLiteral("mnuCatItem"), 3));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(cat->submenu()->actions().last(), added);
    added->setCaption(QStringLiteral("Adult"));
    EXPECT_EQ(added->text(), QStringLiteral("Adult"));
    EXPECT_EQ(form.controlArray(QStringLiteral("mnuCatItem")).size(), 4);
}

TEST_F(FormsTest, LoadCreatesOnceRunsLoadAndKeepsLoadOrder)
{
    QStringList log;
    Forms::registerClass(QStringLiteral("frmA"), [&] {
        auto *f = new CountingForm(QStringLiteral("frmA"));
        f->log = &log;
        return f;
    });
    Forms::registerClass(QStringLiteral("frmB"), [&] {
        auto *f = new CountingForm(QStringLiteral("frmB"));
        f->log = &log;
        return f;
    });
    EXPECT_EQ(Forms::find(QStringLiteral("frmA")), nullptr);
    Form *b = Forms::load(QStringLiteral("frmB"));
    Form *a = Forms::load(QStringLiteral("frmA"));
    EXPECT_EQ(Forms::load(QStringLiteral("frmA")), a);
    EXPECT_EQ(log, (QStringList{QStringLiteral("frmB:load"), QStringLiteral("frmA:load")}));
    EXPECT_EQ(Forms::loaded(), (QList<Form *>{b, a}));
    EXPECT_EQ(Forms::load(QStringLiteral("frmUnknown")), nullptr);
    EXPECT_FALSE(a->isVisible());
    Forms::show(QStringLiteral("frmA"));
    EXPECT_TRUE(a->isVisible());
    Forms::hide(QStringLiteral("frmA"));
    EXPECT_FALSE(a->isVisible());
}

TEST_F(FormsTest, UnloadRunsQueryUnloadThenUnloadAndCanBeCancelled)
{
    CountingForm *form = nullptr;
    Forms::registerClass(QStringLiteral("frmCount"), [&] { return form = new CountingForm(); });
    Forms::load(QStringLiteral("frmCount"));
    ASSERT_NE(form, nullptr);

    form->cancelQuery = 1;
    EXPECT_FALSE(Forms::unload(QStringLiteral("frmCount")));
    EXPECT_EQ(form->queries, 1);
    EXPECT_EQ(form->unloads, 0);
    EXPECT_EQ(form->lastUnloadMode, Form::vbFormCode);
    EXPECT_EQ(Forms::find(QStringLiteral("frmCount")), form);

    form->cancelQuery = 0;
    form->cancelUnload = 1;
    EXPECT_FALSE(Forms::unload(QStringLiteral("frmCount")));
    EXPECT_EQ(form->unloads, 1);
    EXPECT_EQ(Forms::find(QStringLiteral("frmCount")), form);

    form->cancelUnload = 0;
    QPointer<Form> guard(form);
    EXPECT_TRUE(Forms::unload(QStringLiteral("frmCount")));
    EXPECT_EQ(Forms::find(QStringLiteral("frmCount")), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_TRUE(Forms::unload(QStringLiteral("frmCount"))); // not loaded: nothing to cancel
}

TEST_F(FormsTest, ClosingByTheUserAsksWithControlMenuModeAndHonoursCancel)
{
    CountingForm *form = nullptr;
    Forms::registerClass(QStringLiteral("frmCount"), [&] { return form = new CountingForm(); });
    Forms::show(QStringLiteral("frmCount"));
    ASSERT_TRUE(form->isVisible());

    form->cancelQuery = 1;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->lastUnloadMode, Form::vbFormControlMenu);

    form->cancelQuery = 0;
    QPointer<Form> guard(form);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(form->unloads, 1);
    EXPECT_EQ(Forms::find(QStringLiteral("frmCount")), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(FormsTest, AWindowMayUnloadItselfFromItsOwnHandler)
{
    Forms::registerClass(QStringLiteral("frmSelf"), [] { return new Form(QStringLiteral("frmSelf")); });
    Form *form = Forms::load(QStringLiteral("frmSelf"));
    auto *cmd = form->addControl<CommandButton>(QStringLiteral("cmdClose"), nullptr, 0, 0, 1200, 400);
    QObject::connect(cmd, &CommandButton::Click, [] { Forms::unload(QStringLiteral("frmSelf")); });
    cmd->click(); // must not delete the button under its own signal
    EXPECT_EQ(Forms::find(QStringLiteral("frmSelf")), nullptr);
}

TEST_F(FormsTest, ModalShowReturnsWhenTheWindowIsHidden)
{
    Forms::registerClass(QStringLiteral("frmModal"), [] { return new Form(QStringLiteral("frmModal")); });
    Form *form = Forms::load(QStringLiteral("frmModal"));
    QTimer::singleShot(50, form, [form] { form->Hide(); });
    form->Show(true);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->windowModality(), Qt::NonModal);
}

TEST_F(FormsTest, AWindowUnloadedWhileItsHandlerLetsMessagesRunOutlivesThatHandler)
{
    Forms::registerClass(QStringLiteral("frmBusy"), [] { return new Form(QStringLiteral("frmBusy")); });
    QPointer<Form> form = Forms::load(QStringLiteral("frmBusy"));
    bool aliveAfterSecondDoEvents = false;
    // The handler runs from the event loop, like a click; the close arrives during its first
    // DoEvents and a second DoEvents must not delete the window under the handler.
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [] { Forms::unload(QStringLiteral("frmBusy")); });
        DoEvents();
        EXPECT_EQ(Forms::find(QStringLiteral("frmBusy")), nullptr);
        DoEvents();
        aliveAfterSecondDoEvents = !form.isNull();
    });
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(aliveAfterSecondDoEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}

TEST_F(FormsTest, AnUnplacedWindowOpensCentredAndAPlacedOneWhereItWasPut)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    Form unplaced(QStringLiteral("frmUnplaced"));
    unplaced.Move(0, 0, 3000, 1500);
    unplaced.Show();
    EXPECT_LE(std::abs(unplaced.frameGeometry().center().x() - area.center().x()), 2);
    EXPECT_LE(std::abs(unplaced.frameGeometry().center().y() - area.center().y()), 2);

    Form placed(QStringLiteral("frmPlaced"));
    placed.Move(600, 900, 3000, 1500);
    placed.Show();
    EXPECT_EQ(placed.Left(), 600);
    EXPECT_EQ(placed.Top(), 900);
}
