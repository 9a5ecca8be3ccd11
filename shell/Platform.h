// What the window needs from the operating system, behind one small interface:
// opening an address in the user's browser, the calculator, the browser
// program itself. Tests install a recorder so nothing real is launched.
#pragma once

#include <QString>

#include <functional>

class TPlatform {
public:
    virtual ~TPlatform() = default;
    virtual void ShellOpen(const QString& url);   // the user's default browser
    virtual bool StartCalculator();               // false when none is found
    virtual void StartWebBrowser();               // the user's browser, no page
    static TPlatform& Instance();
    static void SetInstance(TPlatform* platform); // nullptr restores the real one
};
