// Waiting helpers for tests around the browser views: a nested event loop,
// never the sleeping polls of Qt Test.
#pragma once

#include <QEventLoop>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <functional>

#include "shell/WebBrowser.h"

// Runs the event loop until pred() holds or timeoutMs passes; returns pred().
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 10000) {
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
