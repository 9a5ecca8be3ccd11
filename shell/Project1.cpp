// Program entry: the application object, the main window, the message loop.
#include <QApplication>
#include <QStyleFactory>

#include "service/Http.h"
#include "shell/Unit1.h"
#include "shell/WebBrowser.h"

int main(int argc, char** argv) {
    HttpGlobalInit();
    TWebBrowser::RegisterSchemes();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    int status;
    {
        TForm1 form;
        form.show();
        status = QApplication::exec();
    }
    return status;
}
