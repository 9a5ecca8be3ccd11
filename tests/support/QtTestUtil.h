// Helpers of the widget tests: waiting on a nested event loop (never the
// sleeping polls of Qt Test, which starve the browser views), running page
// scripts, and a platform that records instead of launching anything.
#pragma once

#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <functional>

#include "shell/Platform.h"
#include "shell/WebBrowser.h"

// Runs the event loop until pred() holds or timeoutMs passes; returns pred().
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 15000) {
    if (pred()) return true;
    QEventLoop loop;
    QTimer poll, limit;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pred()) loop.quit();
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(5);
    limit.setSingleShot(true);
    limit.start(timeoutMs);
    loop.exec();
    return pred();
}

// Evaluates a script in the page's own world and waits for its value.
inline QVariant RunJs(TWebBrowser* view, const QString& script) {
    QVariant result;
    bool done = false;
    view->View()->page()->runJavaScript(script, QWebEngineScript::MainWorld, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    WaitUntil([&] { return done; });
    return result;
}

// Lets the event loop run for a while (for "nothing more happens" checks).
inline void Settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Records what would have left the program: addresses opened in the user's
// browser, calculators and browsers started.
class RecordingPlatform : public TPlatform {
public:
    QStringList opened;
    int calculators = 0, browsers = 0;
    void ShellOpen(const QString& url) override { opened << url; }
    bool StartCalculator() override { return ++calculators, true; }
    void StartWebBrowser() override { ++browsers; }
};
