// bench_startup: runs itself as child processes (the window, a bare view, the
// window with its six views, a bare program with six views) against a
// reference proxy on loopback and prints the ratios.
//   bench_startup                     the whole comparison
//   bench_startup --shot FILE         also saves a grab of the window
//   bench_startup --port N            the proxy's port (18080 gives the compiled-in
//                                     credit-icon address)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "service/Http.h"
#include "service/Request.h"
#include "shell/Unit1.h"
#include "shell/WebBrowser.h"

namespace {

double NowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Proportional set size of a process and all its descendants, in kB.
long PssTree(pid_t root) {
    long total = 0;
    std::vector<pid_t> todo{root};
    while (!todo.empty()) {
        const pid_t pid = todo.back();
        todo.pop_back();
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (rollup.open(QIODevice::ReadOnly))
            for (const QByteArray& line : rollup.readAll().split('\n'))
                if (line.startsWith("Pss:")) total += line.mid(4).trimmed().split(' ').value(0).toLong();
        const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
        for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children(QStringLiteral("/proc/%1/task/%2/children").arg(pid).arg(tid));
            if (children.open(QIODevice::ReadOnly))
                for (const QByteArray& c : children.readAll().split(' '))
                    if (c.trimmed().toInt() > 0) todo.push_back(c.trimmed().toInt());
        }
    }
    return total;
}

// Child: prints "<ms since exec> <pss kB>" when its page is shown.
int RunChild(const std::string& mode, const std::string& server, const std::string& shot, double started) {
    HttpGlobalInit();
    TWebBrowser::RegisterSchemes();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    int argc = 1;
    char name[] = "bench_startup";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    auto report = [&] {
        const double ms = NowMs() - started;
        // Let the renderers settle before the memory is read.
        QTimer::singleShot(1500, [ms] {
            std::printf("%.1f %ld\n", ms, PssTree(getpid()));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    };
    if (mode == "window") {
        ServerUrl = server;
        FallbackServerUrl = server;
        TForm1 form;
        form.show();
        // The first result page is in `web` once the first search is handled.
        QObject::connect(form.web, &TWebBrowser::DocumentComplete, &form, [&] {
            if (!g_searchIdle.load() || form.bsSkinTabControl1->count() == 0) return;
            form.web->View()->page()->runJavaScript(
                QStringLiteral("requestAnimationFrame(function(){});document.body.innerHTML.length"),
                [&](const QVariant&) {
                    static bool once = false;
                    if (once) return;
                    once = true;
                    report();
                    if (!shot.empty())
                        QTimer::singleShot(1200, [&] { form.grab().save(QString::fromStdString(shot)); });
                });
        });
        return app.exec();
    }
    const int views = mode == "bare6" ? 6 : 1;
    QWidget window;
    auto* box = new QVBoxLayout(&window);
    window.resize(944, 673);
    int finished = 0;
    for (int i = 0; i < views; ++i) {
        auto* v = new QWebEngineView(&window);
        box->addWidget(v);
        QObject::connect(v, &QWebEngineView::loadFinished, [&] {
            if (++finished == views) report();
        });
        v->load(QUrl(QString::fromStdString(views == 1 ? server + PindaoPath : "about:blank")));
    }
    window.show();
    return app.exec();
}

struct Figures {
    double ms = 0;
    long pss = 0;
};

Figures Spawn(const char* self, const std::string& mode, const std::string& server, const std::string& shot) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QString::fromLatin1(self),
                {QStringLiteral("--child"), QString::fromStdString(mode), QString::fromStdString(server),
                 QString::fromStdString(shot), QString::number(NowMs(), 'f', 3)});
    child.waitForFinished(120000);
    Figures f;
    std::sscanf(child.readAllStandardOutput().constData(), "%lf %ld", &f.ms, &f.pss);
    return f;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 6 && std::string(argv[1]) == "--child")
        return RunChild(argv[2], argv[3], argv[4], std::atof(argv[5]));
    std::string shot;
    int port = 20000 + static_cast<int>(getpid() % 20000); // a reference proxy of our own
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--shot") shot = argv[i + 1];
        if (std::string(argv[i]) == "--port") port = std::atoi(argv[i + 1]);
    }

    const pid_t proxy = fork();
    if (proxy == 0) {
        freopen("/dev/null", "w", stdout);
        execl(VELMORA_PROXY_EXECUTABLE, VELMORA_PROXY_EXECUTABLE, "--port", std::to_string(port).c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string server = "http://127.0.0.1:" + std::to_string(port);
    {
        HttpClient probe(1000);
        bool up = false;
        for (int i = 0; i < 100 && !up; ++i) {
            up = probe.Get(server + "/aobao/III/count.html").ok;
            if (!up) usleep(100000);
        }
        if (!up) {
            std::fprintf(stderr, "bench_startup: proxy did not start\n");
            kill(proxy, SIGTERM);
            return 1;
        }
    }
    const Figures window = Spawn(argv[0], "window", server, shot);
    const Figures bare = Spawn(argv[0], "bare", server, "");
    const Figures bare6 = Spawn(argv[0], "bare6", server, "");
    kill(proxy, SIGTERM);
    waitpid(proxy, nullptr, 0);

    std::printf("start to first result page painted: %.0f ms\n", window.ms);
    std::printf("bare QWebEngineView start to loadFinished: %.0f ms\n", bare.ms);
    std::printf("ratio: %.2f (goal <= 2)\n", bare.ms > 0 ? window.ms / bare.ms : 0.0);
    std::printf("PSS, window with six views: %ld kB\n", window.pss);
    std::printf("PSS, bare program with six views: %ld kB\n", bare6.pss);
    std::printf("ratio: %.2f (goal <= 1.3)\n", bare6.pss > 0 ? double(window.pss) / bare6.pss : 0.0);
    return 0;
}
