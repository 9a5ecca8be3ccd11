// What the window needs from the operating system, behind one small interface:
// opening an address in the user's browser, the calculator, the browser
// program itself. Tests install a recorder so nothing real is launched.
#pragma once

#include <QString>

#include <functional>

class QWidget;

class TPlatform {
public:
    virtual ~TPlatform() = default;
    virtual void ShellOpen(const QString& url); // the user's default browser
    virtual bool StartCalculator();             // false when none is found
    virtual void StartWebBrowser();             // the user's browser, no page
    // Brings the window to the front without moving or sizing it.
    virtual void BringToFront(QWidget* window);
    // Where the platform has a taskbar button menu (Windows), routes its request
    // to the window as a posted event of type 787; elsewhere nothing.
    virtual void WatchTaskbarMenu(QWidget* window);
    static TPlatform& Instance();
    static void SetInstance(TPlatform* platform); // nullptr restores the real one
};
