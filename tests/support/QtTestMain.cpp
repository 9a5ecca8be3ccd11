// main() of the widget tests: GoogleTest inside a real QApplication.
#include <QApplication>

#include <gtest/gtest.h>

#include "shell/WebBrowser.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    TWebBrowser::RegisterSchemes();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
