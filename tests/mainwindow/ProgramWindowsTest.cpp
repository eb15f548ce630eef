// The real program on the X display, driven the way a window manager drives it: the first
// run's language chooser closed by its close box must not end the program, and the main
// window's close box must end the process at once with its lock given back.
#include "platform/core/InstanceLock.h"
#include "platform/core/VersionInfo.h"
#include "services/modSettings.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

// Xlib after Qt: its macros (Status, None) would break Qt's headers.
#include "tests/mainwindow/TestDisplay.h"

TEST(ProgramWindows, FirstRunChooserClosedByItsCloseBoxThenMainWindowClosedEndsAtOnce)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    mwtest::TestDisplay display;
    ASSERT_TRUE(display);

    testsupport::TempEnvironment env;
    platform::resetVersionInfo();
    const QString runtime = env.programFolder() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.setEnv("XDG_RUNTIME_DIR", runtime.toUtf8());
    env.writeFile(env.dataHome() + QStringLiteral("/TVDAT/Data.txt"),
                  "1|News|TV|http://127.0.0.1:9/news|English|1/1/01|1/1/01|1/1/01|5|\r\n");
    // A first run: no language saved, and the help is shown, through openers that only note
    // the request (the help launcher's window comes and goes meanwhile).
    const QString bin = env.programFolder() + QStringLiteral("/fakebin");
    const QString opened = env.programFolder() + QStringLiteral("/opened.txt");
    QDir().mkpath(bin);
    for (const char *opener : {"xdg-open", "xchm", "kchmviewer"}) {
        const QString path = bin + QLatin1Char('/') + QLatin1String(opener);
        env.writeFile(path, QStringLiteral("#!/bin/sh\necho \"$@\" >> '%1'\n").arg(opened).toUtf8());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QFile::copy(QStringLiteral(CD_BINARY_DIR "/bin/Help.chm"),
                env.programFolder() + QStringLiteral("/Help.chm"));

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("CHANNELDECK_HEADLESS_MEDIA"), QStringLiteral("1"));
    environment.insert(QStringLiteral("HOME"), env.programFolder());
    environment.insert(QStringLiteral("PATH"),
                       bin + QLatin1Char(':') + environment.value(QStringLiteral("PATH")));
    program.setProcessEnvironment(environment);
    // Its output goes nowhere: a program left running must not hold the test's output open.
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());
    program.start(QStringLiteral(CD_BINARY_DIR "/bin/channeldeck"), {});
    ASSERT_TRUE(program.waitForStarted());

    const Window chooser = display.waitForWindow(QStringLiteral("Language Selection"), 30000);
    ASSERT_NE(chooser, 0u) << "the first run shows the language chooser";
    display.pressCloseBox(chooser);

    const Window main =
        display.waitForWindow(platform::versionInfo().productName + QStringLiteral(" by "), 15000);
    EXPECT_NE(main, 0u) << "the main window comes up after the chooser";
    EXPECT_EQ(program.state(), QProcess::Running);
    EXPECT_EQ(GetProgramSetting(QStringLiteral("Language")), QStringLiteral("English"));
    EXPECT_TRUE(QFile::exists(opened)) << "the first run's help went to the viewer";
    ASSERT_TRUE(QFile::exists(platform::instanceLockPath()));

    if (main)
        display.pressCloseBox(main);
    EXPECT_TRUE(program.waitForFinished(main ? 3000 : 0));
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished();
    }
    EXPECT_FALSE(QFile::exists(platform::instanceLockPath()));
}
