// Shared main() of every test executable: a real QApplication, offscreen unless the
// caller chose a platform (the display tests run under xvfb-run with xcb).
#include "platform/ui/WebBrowser.h"

#include <QApplication>
#include <QtWebEngineWidgets/QtWebEngineWidgets>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ui::prepareBrowserEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
