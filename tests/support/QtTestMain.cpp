// main() of the widget tests: GoogleTest inside a real QApplication.
#include <QApplication>

#include <gtest/gtest.h>

#include <unistd.h>

#include "shell/WebBrowser.h"

int main(int argc, char** argv) {
    // The tests run headless wherever they are started from (ctest alone, an
    // IDE); Chromium's sandbox cannot run as root, so only then is it off.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    ::testing::InitGoogleTest(&argc, argv);
    TWebBrowser::RegisterSchemes();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
