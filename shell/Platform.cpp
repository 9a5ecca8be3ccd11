#include "shell/Platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#ifdef Q_OS_WIN
#include <QAbstractNativeEventFilter>
#include <windows.h>
#endif

#include "VelmoraConfig.h"

namespace {

TPlatform g_realPlatform;
TPlatform* g_platform = &g_realPlatform;

#ifdef Q_OS_WIN
// The taskbar button's menu request (message 0x313) becomes a posted event of
// the same number for the window, in place of the platform's own menu.
class TaskbarMenuFilter : public QAbstractNativeEventFilter {
public:
    QPointer<QWidget> window;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
        if (eventType != "windows_generic_MSG" || !window) return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != 0x313 || msg->hwnd != reinterpret_cast<HWND>(window->winId())) return false;
        QCoreApplication::postEvent(window, new QEvent(static_cast<QEvent::Type>(787)));
        if (result) *result = 0;
        return true;
    }
};
#endif

} // namespace

TPlatform& TPlatform::Instance() {
    return *g_platform;
}

void TPlatform::SetInstance(TPlatform* platform) {
    g_platform = platform ? platform : &g_realPlatform;
}

void TPlatform::ShellOpen(const QString& url) {
    const QUrl target(url);
    if (!target.isValid() || target.isEmpty()) return;
    // Only web addresses leave the program; nothing here opens local files.
    const QString scheme = target.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) return;
    QDesktopServices::openUrl(target);
}

bool TPlatform::StartCalculator() {
#ifdef Q_OS_WIN
    const HINSTANCE h = ShellExecuteW(nullptr, L"open", L"calc.exe", nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(h) > 32;
#else
    static const char* const candidates[] = {"gnome-calculator", "kcalc", "galculator", "qalculate-gtk",
                                             "xcalc"};
    for (const char* name : candidates) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty() && QProcess::startDetached(path, {})) return true;
    }
    return false;
#endif
}

void TPlatform::StartWebBrowser() {
#ifdef Q_OS_WIN
    ShellExecuteW(nullptr, L"open", L"IEXPLORE.EXE", nullptr, nullptr, SW_SHOWNORMAL);
#else
    // Debian's alternatives name the user's browser; without them the desktop's
    // default browser opens the platform's home page.
    for (const char* name : {"x-www-browser", "sensible-browser"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty() && QProcess::startDetached(path, {})) return;
    }
    QDesktopServices::openUrl(QUrl(QStringLiteral(VELMORA_HOME_URL)));
#endif
}

void TPlatform::BringToFront(QWidget* window) {
    if (!window) return;
#ifdef Q_OS_WIN
    const HWND hwnd = reinterpret_cast<HWND>(window->winId());
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
#else
    window->raise();
    window->activateWindow();
#endif
}

void TPlatform::WatchTaskbarMenu(QWidget* window) {
#ifdef Q_OS_WIN
    static TaskbarMenuFilter filter;
    if (!filter.window) QCoreApplication::instance()->installNativeEventFilter(&filter);
    filter.window = window;
#else
    (void)window;
#endif
}
