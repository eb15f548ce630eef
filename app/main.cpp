// Entry point: the application object, the window classes, then the splash window takes over.
#include "localisation/registerLocalisation.h"
#include "mainwindow/EndProgram.h"
#include "mainwindow/registerMainWindows.h"
#include "platform/core/ProgramEnd.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Forms.h"
#include "platform/ui/WebBrowser.h"
#include "platform/ui/player/MediaPlayer.h"
#include "submission/registerSubmission.h"

#include <QApplication>

int main(int argc, char **argv)
{
    ui::prepareMediaMemory();
    ui::prepareBrowserEnvironment();
    // The browser pane's scene graph drawn in software: on displays without working OpenGL
    // (a virtual X server) the OpenGL path leaves the whole main window black.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(CD_APP_ID));
    KeepRunningUntilEndProgram();

    registerMainWindows();
    registerLocalisationWindows();
    registerSubmissionWindows();

    ui::Forms::load(QStringLiteral("frmSplash"));
    if (ui::programEnding())
        return 0;
    const int code = app.exec();
    // Named should the windows' clean-up hold the process past its end; never unmarked.
    new platform::UnderWay(QStringLiteral("the clean-up after the event loop"));
    return code;
}
