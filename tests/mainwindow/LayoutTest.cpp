// The main window's design (controls, containers, menus) and its resize layout.
#include "tests/mainwindow/MainWindowFixture.h"

#include "mainwindow/ctxHookMenu.h"
#include "platform/ui/Forms.h"
#include "services/modMarque.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Xlib after Qt: its macros (Status, None) would break Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace mwtest;

namespace
{

class LayoutTest : public MainWindowTest
{
protected:
    Form1 *sized(int w, int h)
    {
        writeData({channelLine("News", "TV", "English")});
        Form1 *f = loadForm1();
        f->Move(0, 0, w, h);
        return f;
    }
};

class OnFramedDisplay : public MainWindowTest
{
};

// Every control's place in its container, by name and index, with the client size.
QMap<QString, QRect> rectangles(Form1 *f)
{
    QMap<QString, QRect> places;
    places.insert(QStringLiteral("client"), QRect(QPoint(), f->client()->size()));
    for (QObject *c : f->controls()) {
        if (auto *w = qobject_cast<QWidget *>(c))
            places.insert(c->objectName() + QLatin1Char(':') + QString::number(ui::controlIndex(c)),
                          w->geometry());
    }
    return places;
}

std::string differences(const QMap<QString, QRect> &before, const QMap<QString, QRect> &after)
{
    std::string out;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QRect now = after.value(it.key());
        if (now != it.value()) {
            const QRect &was = it.value();
            out += QStringLiteral("%1: %2,%3 %4x%5 became %6,%7 %8x%9\n")
                       .arg(it.key())
                       .arg(was.x())
                       .arg(was.y())
                       .arg(was.width())
                       .arg(was.height())
                       .arg(now.x())
                       .arg(now.y())
                       .arg(now.width())
                       .arg(now.height())
                       .toStdString();
        }
    }
    return out;
}

// Whether a window manager has said it runs on the display.
bool windowManagerRuns(const QString &name)
{
    ::Display *display = XOpenDisplay(name.toLocal8Bit().constData());
    if (!display)
        return false;
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char *data = nullptr;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                                          &type, &format, &items, &after, &data) == Success &&
                       items == 1;
    if (data)
        XFree(data);
    XCloseDisplay(display);
    return found;
}

bool displayOpens(const QString &name)
{
    ::Display *display = XOpenDisplay(name.toLocal8Bit().constData());
    if (display)
        XCloseDisplay(display);
    return display != nullptr;
}

// A server or window manager the test started, ended when the test ends however it ends.
class Helper : public QProcess
{
public:
    ~Helper() override
    {
        if (state() == QProcess::NotRunning)
            return;
        terminate();
        if (!waitForFinished(5000)) {
            kill();
            waitForFinished(5000);
        }
    }
};

bool onX()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QStringList visibleItems(ui::Menu *menu)
{
    QStringList captions;
    for (QAction *a : menu->submenu()->actions()) {
        if (a->isVisible())
            captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return captions;
}

} // namespace

TEST_F(LayoutTest, WorkedExampleAtDesignSize)
{
    Form1 *f = sized(15360, 11100);
    EXPECT_EQ(f->ScaleWidth(), 15240);
    EXPECT_EQ(f->ScaleHeight(), 10125);
    ui::MediaPlayer *p = f->WindowsMediaPlayer1;
    EXPECT_EQ(p->Left(), 5520);
    EXPECT_EQ(p->Top(), 1020);
    EXPECT_EQ(p->Width(), 9240);
    EXPECT_EQ(p->Height(), 8880);
    EXPECT_EQ(f->wbyoutube->Left(), 5520);
    EXPECT_EQ(f->wbyoutube->Top(), 1020);
    EXPECT_EQ(f->wbyoutube->Width(), 9240);
    EXPECT_EQ(f->wbyoutube->Height(), 8880);
    EXPECT_EQ(f->imgOffline->Left(), 7140);
    EXPECT_EQ(f->imgOffline->Top(), 3960);
    for (ui::Frame *frame : {f->Frame1, f->Frame3, f->Frame4, f->Frame5}) {
        EXPECT_EQ(frame->Left(), 60) << frame->Name().toStdString();
        EXPECT_EQ(frame->Top(), 1020);
        EXPECT_EQ(frame->Width(), 5235);
        EXPECT_EQ(frame->Height(), 9020);
    }
    for (ui::ListView *lv : {f->ListView1, f->ListView2}) {
        EXPECT_EQ(lv->Left(), 180);
        EXPECT_EQ(lv->Top(), 960);
        EXPECT_EQ(lv->Width(), 4935);
        EXPECT_EQ(lv->Height(), 7760);
    }
    EXPECT_EQ(f->ListView3->Top(), 1140);
    EXPECT_EQ(f->ListView3->Height(), 7415);
    EXPECT_EQ(f->txtStatus->Top(), 8780);
    EXPECT_EQ(f->Dir1->Height(), 3880);
    EXPECT_EQ(f->File1->Top(), 4600);
    EXPECT_EQ(f->File1->Height(), 3880);
    EXPECT_EQ(f->cmdWebsite->Width(), 7200);
    EXPECT_EQ(f->StatusBar1->Panels(1)->Width(), 15360);
    // Controls the layout leaves alone.
    EXPECT_EQ(f->Frame2->Left(), 5520);
    EXPECT_EQ(f->Frame2->Height(), 7095);
    EXPECT_EQ(f->cmdTV->Width(), 1335);

    // Laying out the same size again changes nothing.
    f->Move(0, 0, 15360, 11100);
    EXPECT_EQ(p->Width(), 9240);
    EXPECT_EQ(f->Frame4->Height(), 9020);
    EXPECT_EQ(f->File1->Top(), 4600);
}

TEST_F(LayoutTest, BannerMakesEveryPanelTallerByItsHeight)
{
    Form1 *f = sized(15360, 11100);
    blnShowBanner = true;
    f->Move(0, 0, 15360, 11100);
    blnShowBanner = false;
    EXPECT_EQ(f->WindowsMediaPlayer1->Height(), 8880);
    EXPECT_EQ(f->Frame1->Height(), 9965);
    EXPECT_EQ(f->Frame4->Height(), 9965);
    EXPECT_EQ(f->ListView1->Height(), 8705);
    EXPECT_EQ(f->Dir1->Height(), 4353); // (9965 - 660 - 600) / 2 = 4352.5, rounded
}

TEST_F(LayoutTest, NarrowWindowKeepsSizesPositive)
{
    Form1 *f = sized(5000, 11100);
    EXPECT_EQ(f->WindowsMediaPlayer1->Width(), 1120);
    EXPECT_EQ(f->cmdWebsite->Width(), 3160); // |5000 - 7560 - 600|
    EXPECT_EQ(f->imgOffline->Left(), 3080);  // |1120/2 - 3000 + 5520|

    f = sized(15360, 1500);                           // shorter than the player's top edge
    EXPECT_EQ(f->WindowsMediaPlayer1->Height(), 720); // |1500 - 1020 - 1200|
    EXPECT_EQ(f->Frame1->Height(), 860);
    EXPECT_EQ(f->ListView1->Height(), 400); // |860 - 960 - 300|
}

TEST_F(LayoutTest, MinimizedWindowIsNotLaidOut)
{
    Form1 *f = sized(15360, 11100);
    f->Show();
    f->setWindowState(ui::Form::vbMinimized);
    f->WindowsMediaPlayer1->setWidth(1234);
    f->Form_Resize();
    EXPECT_EQ(f->WindowsMediaPlayer1->Width(), 1234);
    f->setWindowState(ui::Form::vbNormal);
    f->Form_Resize();
    EXPECT_EQ(f->WindowsMediaPlayer1->Width(), std::abs(f->Width() - 5520 - 600));
}

TEST_F(LayoutTest, DesignHasEveryPanelControlInItsContainerAndOrder)
{
    Form1 *f = sized(15360, 11100);
    const QList<QObject *> controls = f->controls();
    ASSERT_FALSE(controls.isEmpty());
    EXPECT_EQ(controls.first()->objectName(), "cmdTV");
    const auto position = [&](const char *name, int index = -1) {
        return controls.indexOf(f->control(QLatin1String(name), index));
    };
    // Direct controls, then the panels' contents panel by panel, then the menus.
    EXPECT_LT(position("ctxHookMenu1"), position("lblCountry"));
    EXPECT_LT(position("ListView1"), position("Command1"));
    EXPECT_LT(position("File1"), position("Label9"));
    EXPECT_LT(position("txtStatus"), position("Command2"));
    EXPECT_LT(position("Recommended"), position("mnuFile"));

    EXPECT_EQ(ui::typeName(f->WindowsMediaPlayer1), "WindowsMediaPlayer");
    EXPECT_EQ(ui::typeName(f->control("SkinLabel1", 0)), "SkinLabel");
    EXPECT_EQ(ui::typeName(f->ctxHookMenu1), "ctxHookMenu");
    EXPECT_EQ(f->WindowsMediaPlayer1->uiMode(), "mini");

    // One skin-label array spans the channel and YouTube panels.
    const QList<QObject *> skin2 = f->controlArray("SkinLabel2");
    ASSERT_EQ(skin2.size(), 2);
    EXPECT_EQ(static_cast<QWidget *>(skin2.at(0))->parentWidget(), f->Frame1);
    EXPECT_EQ(static_cast<QWidget *>(skin2.at(1))->parentWidget(), f->Frame5);

    for (const char *name : {"lblCountry", "Combo1", "lblSort", "cmbSortTV", "cmdFav", "ListView1"})
        EXPECT_EQ(static_cast<QWidget *>(f->control(QLatin1String(name)))->parentWidget(), f->Frame1) << name;
    for (const char *name : {"Command2", "chkLoad", "txtEditURL", "Combo2", "txtData", "Recommended"})
        EXPECT_EQ(static_cast<QWidget *>(f->control(QLatin1String(name)))->parentWidget(), f->Frame2) << name;
    EXPECT_EQ(f->Line2->parentWidget(), f->wbPicture);
    EXPECT_EQ(f->txtStatus->parentWidget(), f->Frame5);

    // Hidden at design.
    for (const char *name :
         {"cmdSports", "cmdExtras", "cmdXXX", "cmdVideo", "Command3", "Frame2", "wbBanner", "imgOffline",
          "txtSearch", "txtYouTube", "cmdSearch", "txtStatus", "Label8", "cmdLoad2"})
        EXPECT_FALSE(f->control(QLatin1String(name))->property("Visible").toBool()) << name;
    EXPECT_EQ(f->Label3->Caption(), "Replace" + QString(56, ' ') + "with" + QString(56, ' ') + "in column");
    EXPECT_EQ(f->cmbSortTV->Text(), "Rating");
    EXPECT_EQ(comboItems(f->Combo3).size(), 18);
    EXPECT_EQ(comboItems(f->Combo4).size(), 18);
    EXPECT_EQ(f->File1->Pattern().split(';').size(), 52);
    EXPECT_EQ(f->ListView1->ColumnHeaders()->Item(4)->Width(), 0);
    EXPECT_EQ(f->ListView1->ColumnHeaders()->Item(5)->Text(), "Favorites");
}

TEST_F(LayoutTest, MenusShowTheirDesignItems)
{
    Form1 *f = sized(15360, 11100);
    QStringList bar;
    for (QAction *a : f->menuBar()->actions()) {
        if (a->isVisible())
            bar.append(a->text());
    }
    EXPECT_EQ(bar, (QStringList{"File", "Categories", "Update Channels", "Languages", "Help", "About"}));
    const auto menu = [f](const char *name) {
        return qobject_cast<ui::Menu *>(f->control(QLatin1String(name)));
    };
    EXPECT_EQ(visibleItems(menu("mnuFile")),
              (QStringList{"Open Playlist File...", "Open Playlist Address...", "Exit"}));
    QList<int> fileIndexes;
    for (QObject *item : f->controlArray("mnuFileItem"))
        fileIndexes.append(ui::controlIndex(item));
    EXPECT_EQ(fileIndexes, (QList<int>{0, 1, 2}));
    EXPECT_EQ(visibleItems(menu("mnuCat")),
              (QStringList{"TV/Video", "Radio/Music", "Favorites", "My Files", QStringLiteral("YouTube™")}));
    EXPECT_EQ(f->controlArray("mnuCatItem").size(), 9);
    EXPECT_EQ(visibleItems(menu("mnuUpdate")), QStringList{"Update Channels Online"});
    EXPECT_EQ(visibleItems(menu("mnuActions")), QStringList{"Add to Favorites"});
    EXPECT_EQ(f->controlArray("mnuActionItem").size(), 7);
    EXPECT_EQ(visibleItems(menu("mnuActions2")), QStringList{"Add to Favorites"});
    // Menu pictures under "#array:index".
    EXPECT_FALSE(qobject_cast<ui::Menu *>(f->control("mnuCatItem", 3))->icon().isNull());
    EXPECT_EQ(f->ctxHookMenu1->picture("#mnuCatItem:3"), ":/mainwindow/btn_favorites.png");
}

// A window manager frames the window and maximises it: the cases run in a child process of
// this executable on a private X server with openbox, so no other test sees the manager.
TEST(FramedLayout, UnderAWindowManagerOneClientSizeGivesOneLayout)
{
    if (onX())
        GTEST_SKIP() << "this is the child process";
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    ASSERT_FALSE(xvfb.isEmpty() || openbox.isEmpty())
        << "needs Xvfb and openbox (scripts/install-deps.sh --test)";

    Helper server;
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1600x1200x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-noreset")});
    ASSERT_TRUE(server.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.canReadLine(); }, 20000));
    const QString display = QLatin1Char(':') + QString::fromLatin1(server.readLine()).trimmed();
    // The number comes a moment before the server takes connections. Without -noreset the
    // server would reset when this probe hangs up and refuse the next client meanwhile.
    ASSERT_TRUE(QTest::qWaitFor([&] { return displayOpens(display); }, 20000)) << display.toStdString();

    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    Helper manager;
    manager.setProcessEnvironment(environment);
    manager.setProcessChannelMode(QProcess::MergedChannels);
    manager.start(openbox, {QStringLiteral("--sm-disable")});
    ASSERT_TRUE(manager.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return windowManagerRuns(display); }, 20000))
        << "openbox did not come up on " << display.toStdString() << ": " << manager.readAll().toStdString();

    QProcess child;
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=OnFramedDisplay.*")});
    ASSERT_TRUE(child.waitForFinished(180000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

TEST_F(OnFramedDisplay, EveryControlKeepsItsPlaceAfterResizingAwayAndBack)
{
    if (!onX())
        GTEST_SKIP() << "needs the xcb platform (run through FramedLayout)";
    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    f->Show();
    // Framed: the window manager's frame lies around the window.
    ASSERT_TRUE(QTest::qWaitFor([f] { return f->frameGeometry().size() != f->geometry().size(); }, 20000))
        << "the window manager never framed the window";
    QTest::qWait(300);
    const QSize size = f->size();
    const QMap<QString, QRect> atStart = rectangles(f);
    // The design frame stands for the real one: the client alone gives the player's size.
    EXPECT_EQ(f->WindowsMediaPlayer1->Width(), std::abs(f->ScaleWidth() + 120 - 5520 - 600));
    EXPECT_EQ(f->WindowsMediaPlayer1->Height(), std::abs(f->ScaleHeight() + 975 - 1020 - 1200));

    f->resize(size.width() - 200, size.height() - 150);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f->size() != size; }, 10000));
    f->resize(size);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f->size() == size; }, 10000));
    QTest::qWait(300);
    EXPECT_EQ(differences(atStart, rectangles(f)), "") << "resized away and back";

    f->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f->isMaximized() && f->size() != size; }, 10000));
    f->showNormal();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f->isMaximized() && f->size() == size; }, 10000));
    QTest::qWait(300);
    EXPECT_EQ(differences(atStart, rectangles(f)), "") << "maximised and restored";
}
