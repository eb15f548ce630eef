#include "mainwindow/frmSplash.h"

#include "platform/core/RuntimeError.h"
#include "platform/core/VersionInfo.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "services/modMachineSettings.h"
#include "services/modMarque.h"
#include "services/modSkin.h"

#include <QGuiApplication>
#include <QScreen>

frmSplash::frmSplash(QWidget *parent) : ui::Form(QStringLiteral("frmSplash"), parent)
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    Image1 = addControl<ui::Image>("Image1", nullptr, 0, 0, 7140, 4740);
    Image1->setPicture(QStringLiteral(":/mainwindow/splash.jpg"));
    Label3 = addControl<ui::Label>("Label3", nullptr, 600, 4380, 6300, 255);
    const platform::VersionInfo version = platform::versionInfo();
    Label3->setCaption(QStringLiteral("Version %1.%2").arg(version.major).arg(version.minor));
    Label3->setAlignment(ui::vbRightJustify);
    Label3->setForeColor(0x00EAD8C9);
    skn = addControl<ui::Skin>("skn", nullptr, 0, 0, 0, 0);
    Timer2 = addControl<ui::TimerControl>("Timer2", nullptr, 0, 0, 0, 0);
    Timer2->setInterval(2);
    Timer2->setEnabled(false);
    connect(Timer2, &ui::TimerControl::Timer, this, &frmSplash::Timer2_Timer);

    // The picture fills the client area, whatever frame the window system adds.
    setWidth(7140 + Width() - ScaleWidth());
    setHeight(4740 + Height() - ScaleHeight());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QPoint centre = screen->availableGeometry().center();
        Move(std::max(0, ui::toTwips(centre.x()) - Width() / 2),
             std::max(0, ui::toTwips(centre.y()) - Height() / 2));
    }
}

void frmSplash::Form_Load()
{
    bool keepHidden = false;
    try {
        keepHidden =
            GetMachineSetting(platform::versionInfo().productName, QStringLiteral("Settings"),
                              QStringLiteral("chkSplash"), QStringLiteral("0")) == QLatin1String("1");
    } catch (const platform::RuntimeError &) {
        // An unreadable machine store must not stop the program from starting.
    }
    LoadBrandSettings();
    if (blnUseSkin) {
        objSkin = skn;
        ApplySkin(this);
        ui::SkinHelper *helper = SkinHelperObject();
        helper->attach(skn->skinSource());
        helper->activate();
    }
    Timer2->setEnabled(true);
    // The start-up window shows itself when its load leaves it visible.
    if (!keepHidden)
        Show();
}

void frmSplash::Timer2_Timer()
{
    intCount += 2;
    if (intCount != 150)
        return;
    Timer2->setEnabled(false);
    ui::Form *main = ui::Forms::load(QStringLiteral("Form1"));
    if (!main)
        return; // its start-up ended the program; the splash goes down with it
    main->Show();
    Hide();
    setVisible(false);
}
