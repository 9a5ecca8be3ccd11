// Times the search workspace in the real window (offscreen) against the
// reference proxy, and can save a picture of a result page in both modes.
//   bench_search [--screenshots DIR] [--rounds N]
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "service/Http.h"
#include "service/Request.h"
#include "shell/PictureButton.h"
#include "shell/Unit1.h"
#include "shell/WebBrowser.h"
#include "tests/support/ProxyProcess.h"

namespace {

bool WaitUntil(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Time of the completion message's arrival at the window.
class DoneWatch : public QObject {
public:
    qint64 at = -1;
    QElapsedTimer* clock = nullptr;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == static_cast<QEvent::Type>(WM_SEARCH_DONE)) at = clock->nsecsElapsed();
        return false;
    }
};

struct Figures {
    std::vector<double> ms;
    void Add(double v) { ms.push_back(v); }
    void Print(const char* what) const {
        if (ms.empty()) return;
        std::vector<double> s = ms;
        std::sort(s.begin(), s.end());
        std::printf("%-38s n=%zu median %.1f ms  max %.1f ms\n", what, s.size(), s[s.size() / 2], s.back());
    }
};

} // namespace

int main(int argc, char** argv) {
    HttpGlobalInit();
    TWebBrowser::RegisterSchemes();
    QApplication app(argc, argv);
    QString shots;
    int rounds = 10;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--screenshots")
            shots = argv[++i];
        else if (std::string(argv[i]) == "--rounds")
            rounds = std::max(1, std::atoi(argv[++i]));
    }

    ProxyProcess proxy;
    HttpClient control;
    auto setDelay = [&](int ms) {
        control.Get(proxy.baseUrl() + "/control/faults?delay_ms=" + std::to_string(ms));
    };
    ServerUrl = proxy.baseUrl();
    FallbackServerUrl = proxy.baseUrl();

    QElapsedTimer clock;
    clock.start();
    TForm1 form;
    form.show();
    DoneWatch watch;
    watch.clock = &clock;
    form.installEventFilter(&watch);
    qint64 loadedAt = -1;
    QObject::connect(form.web->View(), &QWebEngineView::loadFinished,
                     [&](bool) { loadedAt = clock.nsecsElapsed(); });
    auto idle = [&] { return g_searchIdle && form.bsSkinLinkImage1->isEnabled(); };
    if (!WaitUntil([&] { return form.m_tabs.size() == 1 && idle(); })) {
        std::fprintf(stderr, "first search did not finish\n");
        return 1;
    }

    Figures done, tabSwitch, modeSwitch, stall;
    const char* words[] = {"连衣裙", "T恤", "手机", "鞋", "包", "裤"};
    for (int r = 0; r < rounds; ++r) {
        // A new search; the loop's longest gap is measured by a 1 ms timer.
        qint64 lastTick = clock.nsecsElapsed(), longest = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - lastTick);
            lastTick = now;
        });
        ticker.start(1);
        watch.at = -1;
        loadedAt = -1;
        form.bsSkinComboBox1->setEditText(QString::fromUtf8(words[r % 6]) + QString::number(r));
        form.bsSkinComboBox3->setCurrentIndex(0);
        setDelay(150); // the search answer takes a while; the loop must keep turning
        form.StartSearch();
        if (!WaitUntil([&] { return watch.at > 0 && loadedAt > watch.at && idle(); })) {
            std::fprintf(stderr, "search %d did not finish\n", r);
            return 1;
        }
        ticker.stop();
        setDelay(0);
        done.Add((loadedAt - watch.at) / 1e6);
        stall.Add(longest / 1e6);

        // Tab switch and display-mode switch.
        const int other = (form.bsSkinTabControl1->currentIndex() + 1) % form.bsSkinTabControl1->count();
        qint64 t0 = clock.nsecsElapsed();
        loadedAt = -1;
        form.bsSkinTabControl1->setCurrentIndex(other);
        WaitUntil([&] { return loadedAt > t0; });
        tabSwitch.Add((loadedAt - t0) / 1e6);
        t0 = clock.nsecsElapsed();
        loadedAt = -1;
        form.bsSkinComboBox4->setCurrentIndex(form.bsSkinComboBox4->currentIndex() == 1 ? 0 : 1);
        emit form.bsSkinComboBox4->activated(form.bsSkinComboBox4->currentIndex());
        WaitUntil([&] { return loadedAt > t0; });
        modeSwitch.Add((loadedAt - t0) / 1e6);
    }
    std::printf("bench_search: %d rounds, search answers delayed 150 ms, offscreen\n", rounds);
    done.Print("completion message -> page loaded");
    tabSwitch.Print("tab switch -> page loaded");
    modeSwitch.Print("display-mode switch -> page loaded");
    stall.Print("longest UI stall during a search");

    if (!shots.isEmpty()) {
        for (int mode : {0, 1}) {
            qint64 t0 = clock.nsecsElapsed();
            loadedAt = -1;
            form.bsSkinComboBox4->setCurrentIndex(mode);
            emit form.bsSkinComboBox4->activated(mode);
            WaitUntil([&] { return loadedAt > t0; });
            QEventLoop loop; // let the pictures arrive and the view paint
            QTimer::singleShot(1500, &loop, &QEventLoop::quit);
            loop.exec();
            const QString path = shots + (mode == 1 ? "/search-list.png" : "/search-pictures.png");
            std::printf("%s %s\n", qPrintable(path), form.grab().save(path) ? "saved" : "NOT saved");
        }
    }
    return 0;
}
