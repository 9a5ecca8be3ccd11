// The main window against the reference proxy: layout, start-up order and
// server switch, placement, window menu, messages and the input filter.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>

#include <httplib.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>

#include "service/Request.h"
#include "shell/MyScrollBar.h"
#include "shell/PictureButton.h"
#include "shell/Platform.h"
#include "shell/Unit1.h"
#include "shell/WebBrowser.h"
#include "tests/support/ProxyProcess.h"
#include "tests/support/QtTestUtil.h"

namespace {

const std::string kOk = "GET /aobao/III/ok.php?pid=mm_24680135_0_0";

// A loopback server that answers every request with 500 and records it.
class FailingServer {
public:
    FailingServer() {
        server.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(mutex);
            targets.push_back(req.target);
            res.status = 500;
        });
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::yield();
    }
    ~FailingServer() {
        server.stop();
        thread.join();
    }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port); }
    std::vector<std::string> Targets() {
        std::lock_guard<std::mutex> lock(mutex);
        return targets;
    }
    httplib::Server server;
    std::thread thread;
    std::mutex mutex;
    std::vector<std::string> targets;
    int port = 0;
};

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        logPath = ::testing::TempDir() + "velmora-shell-proxy.log";
        std::remove(logPath.c_str());
        proxy = std::make_unique<ProxyProcess>(std::vector<std::string>{"--log", logPath});
    }
    static void TearDownTestSuite() { proxy.reset(); }

    void SetUp() override {
        TPlatform::SetInstance(&platform);
        logStart = ReadLog().size();
        ServerUrl = proxy->baseUrl();
        FallbackServerUrl = proxy->baseUrl();
    }
    void TearDown() override {
        form.reset();
        TPlatform::SetInstance(nullptr);
    }
    static std::vector<std::string> ReadLog() {
        std::vector<std::string> lines;
        std::ifstream in(logPath);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // Requests the proxy saw since this test began.
    std::vector<std::string> NewRequests() const {
        auto all = ReadLog();
        return {all.begin() + static_cast<long>(std::min(logStart, all.size())), all.end()};
    }
    // Index of the first line starting with prefix, -1 when there is none.
    static long Find(const std::vector<std::string>& lines, const std::string& prefix) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
        return -1;
    }
    static bool Has(const std::vector<std::string>& lines, const std::string& prefix) {
        return Find(lines, prefix) >= 0;
    }
    // Software information first, the category root (step 6) before the
    // counter page (step 9); the first search runs beside them.
    static void ExpectStartUpOrder(const std::vector<std::string>& r) {
        ASSERT_FALSE(r.empty());
        EXPECT_EQ(r[0], kOk);
        const long cats = Find(r, "GET /aobao/tb_itemcats.php"), count = Find(r, "GET /aobao/III/count.html");
        EXPECT_GT(cats, 0);
        EXPECT_GT(count, cats);
    }
    // The start-up has settled: the counter page was asked for and the first
    // search is over.
    void WaitForStartUp() {
        ASSERT_TRUE(WaitUntil([&] {
            const auto r = NewRequests();
            return Has(r, "GET /aobao/III/count.html") && Has(r, "GET /aobao/tbk_items.php") &&
                   g_searchIdle.load();
        }));
    }

    static inline std::unique_ptr<ProxyProcess> proxy;
    static inline std::string logPath;
    size_t logStart = 0;
    RecordingPlatform platform;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(WindowTest, LayoutHoldsEveryControlAsPlaced) {
    form = std::make_unique<TForm1>();
    TForm1& f = *form;
    struct Row {
        QWidget* widget;
        const char* name;
        const char* type;
        QRect place; // null: not checked
        QString text;
        bool enabled;
        bool shown; // visible to the window
    };
    const QRect any;
    // The first search of the run started inside the constructor and holds the
    // filter bar disabled until its answer is handled.
    ASSERT_FALSE(g_searchIdle.load());
    const bool busy = false;
    const Row rows[] = {
        {f.Panel3, "Panel3", "QWidget", {0, 0, 944, 3}, {}, true, true},
        {f.Panel5, "Panel5", "QWidget", {0, 670, 944, 3}, {}, true, true},
        {f.Panel2, "Panel2", "QWidget", {0, 3, 3, 667}, {}, true, true},
        {f.Panel4, "Panel4", "QWidget", {941, 3, 3, 667}, {}, true, true},
        {f.bsSkinNotebook1, "bsSkinNotebook1", "QTabWidget", {3, 3, 263, 667}, {}, true, true},
        {f.Panel6, "Panel6", "QWidget", {266, 3, 3, 667}, {}, true, true},
        {f.Panel1, "Panel1", "QWidget", {269, 3, 672, 667}, {}, true, true},
        {f.Panel9, "Panel9", "QWidget", {269, 3, 672, 667}, {}, true, false},
        {f.webCount, "webCount", "TWebBrowser", {0, -10, 0, 0}, {}, true, true},
        {f.Button1, "Button1", "QPushButton", {8, 60, 0, 0}, {}, true, true},
        {f.bsSkinTreeView1, "bsSkinTreeView1", "QTreeWidget", any, {}, true, true},
        {f.bsSkinPanel1, "bsSkinPanel1", "QWidget", {0, 0, 672, 59}, {}, true, true},
        {f.bsSkinStdLabel1, "bsSkinStdLabel1", "QLabel", any, "关键字：", true, true},
        {f.bsSkinComboBox1, "bsSkinComboBox1", "QComboBox", {68, 6, 133, 20}, "", busy, true},
        {f.bsSkinComboBoxEx3, "bsSkinComboBoxEx3", "QComboBox", {204, 6, 133, 20}, {}, busy, true},
        {f.bsSkinStdLabel2, "bsSkinStdLabel2", "QLabel", any, "价格：", true, true},
        {f.bsSkinSpinEdit1, "bsSkinSpinEdit1", "QSpinBox", {380, 6, 81, 20}, {}, busy, true},
        {f.bsSkinSpinEdit2, "bsSkinSpinEdit2", "QSpinBox", {464, 6, 81, 20}, {}, busy, true},
        {f.bsSkinCheckRadioBox1, "bsSkinCheckRadioBox1", "QCheckBox", {550, 9, 52, 16}, "消保", busy, true},
        {f.bsSkinLinkImage1, "bsSkinLinkImage1", "TPictureButton", {608, 12, 57, 31}, {}, busy, true},
        {f.bsSkinStdLabel3, "bsSkinStdLabel3", "QLabel", any, "信用区间：", true, true},
        {f.bsSkinComboBoxEx1, "bsSkinComboBoxEx1", "QComboBox", {68, 31, 133, 20}, {}, busy, true},
        {f.bsSkinComboBoxEx2, "bsSkinComboBoxEx2", "QComboBox", {204, 31, 133, 20}, {}, busy, true},
        {f.bsSkinStdLabel4, "bsSkinStdLabel4", "QLabel", any, "所在：", true, true},
        {f.bsSkinComboBox3, "bsSkinComboBox3", "QComboBox", {380, 31, 81, 20}, "所有地区", busy, true},
        {f.bsSkinComboBox4, "bsSkinComboBox4", "QComboBox", {464, 31, 81, 20}, "大图显示", busy, true},
        {f.Image1, "Image1", "TPictureButton", {550, 28, 25, 25}, {}, true, true},
        {f.Image2, "Image2", "TPictureButton", {577, 28, 25, 25}, {}, true, true},
        {f.bsSkinTabControl1, "bsSkinTabControl1", "QTabBar", any, {}, true, true},
        {f.web, "web", "TWebBrowser", any, {}, true, true},
        {f.ScrollBar, "ScrollBar", "TMyScrollBar", any, {}, f.ScrollBar->isEnabled(), true},
        {f.Panel8, "Panel8", "QWidget", {0, 644, 672, 2}, {}, true, true},
        {f.Panel7, "Panel7", "QWidget", {0, 646, 672, 21}, {}, true, true},
        {f.Label1, "Label1", "QLabel", any, "网址：", true, true},
        {f.bsSkinLinkLabel1, "bsSkinLinkLabel1", "QLabel", {41, 4, 130, 17}, "淘宝官网", true, true},
        {f.IndexBut, "IndexBut", "QPushButton", any, "首页", false, true},
        {f.BackBut, "BackBut", "QPushButton", any, "上页", false, true},
        {f.ComboBoxPage, "ComboBoxPage", "QComboBox", any, {}, false, true},
        {f.NextBut, "NextBut", "QPushButton", any, "下页", false, true},
        {f.TailBut, "TailBut", "QPushButton", any, "尾页", false, true},
        {f.Panel10, "Panel10", "QWidget", {0, 646, 672, 21}, {}, true, false},
        {f.Panel11, "Panel11", "QWidget", {0, 641, 672, 5}, {}, true, false},
        {f.ComboBox2, "ComboBox2", "QComboBox", any, "列表显示", true, false},
        {f.bsSkinButtonLabel4, "bsSkinButtonLabel4", "QPushButton", any, "首页", false, false},
        {f.bsSkinButtonLabel1, "bsSkinButtonLabel1", "QPushButton", any, "上页", false, false},
        {f.ComboBox1, "ComboBox1", "QComboBox", any, {}, true, false},
        {f.bsSkinButtonLabel2, "bsSkinButtonLabel2", "QPushButton", any, "下页", false, false},
        {f.bsSkinButtonLabel3, "bsSkinButtonLabel3", "QPushButton", any, "尾页", false, false},
        {f.webShop, "webShop", "TWebBrowser", any, {}, true, false},
        {f.web2, "web2", "TWebBrowser", any, {}, true, false},
        {f.web3, "web3", "TWebBrowser", any, {}, true, false},
        {f.web4, "web4", "TWebBrowser", any, {}, true, false},
    };
    for (const Row& r : rows) {
        ASSERT_NE(r.widget, nullptr) << r.name;
        EXPECT_EQ(r.widget->objectName(), QString::fromLatin1(r.name));
        EXPECT_TRUE(r.widget->inherits(r.type)) << r.name << " is " << r.widget->metaObject()->className();
        if (!r.place.isNull() || r.place.width() == 0) {
            if (r.place != any) {
                EXPECT_EQ(r.widget->geometry(), r.place) << r.name;
            }
        }
        if (!r.text.isNull()) {
            QString text;
            if (auto* l = qobject_cast<QLabel*>(r.widget)) text = l->text();
            if (auto* b = qobject_cast<QAbstractButton*>(r.widget)) text = b->text();
            if (auto* c = qobject_cast<QComboBox*>(r.widget)) text = c->currentText();
            EXPECT_EQ(text, r.text) << r.name;
        }
        EXPECT_EQ(r.widget->isEnabled(), r.enabled) << r.name;
        EXPECT_EQ(r.widget->isVisibleTo(&f), r.shown) << r.name;
    }

    // Window, notebook, lists and limits.
    EXPECT_EQ(f.size(), QSize(944, 673 + f.m_client->y()));
    EXPECT_EQ(f.m_client->size(), QSize(944, 673));
    EXPECT_EQ(f.minimumSize(), f.maximumSize()); // not resizable
    const QStringList pages = {"商品类目", "淘宝卖家", "淘宝频道", "热门活动"};
    ASSERT_EQ(f.bsSkinNotebook1->count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(f.bsSkinNotebook1->tabText(i), pages[i]);
        EXPECT_FALSE(f.bsSkinNotebook1->tabIcon(i).isNull());
    }
    EXPECT_EQ(f.bsSkinNotebook1->currentIndex(), 0);
    EXPECT_EQ(f.bsSkinTreeView1->indentation(), 19);
    EXPECT_EQ(f.bsSkinComboBoxEx3->count(), 5);
    EXPECT_EQ(f.bsSkinComboBoxEx1->count(), 20);
    EXPECT_EQ(f.bsSkinComboBoxEx2->count(), 20);
    EXPECT_EQ(f.bsSkinComboBoxEx1->currentIndex(), 4); // start-up defaults
    EXPECT_EQ(f.bsSkinComboBoxEx2->currentIndex(), 19);
    EXPECT_EQ(f.bsSkinComboBoxEx3->currentIndex(), 0);
    EXPECT_EQ(f.bsSkinComboBox3->count(), 63);
    EXPECT_EQ(f.bsSkinComboBox4->count(), 2);
    EXPECT_EQ(f.ComboBox2->itemText(1), QStringLiteral("大图显示"));
    EXPECT_TRUE(f.bsSkinComboBox1->isEditable());
    for (QSpinBox* s : {f.bsSkinSpinEdit1, f.bsSkinSpinEdit2}) {
        EXPECT_EQ(s->minimum(), 0);
        EXPECT_EQ(s->maximum(), 999999999);
        EXPECT_EQ(s->singleStep(), 1);
    }
    EXPECT_EQ(f.bsSkinSpinEdit1->value(), 0);
    EXPECT_EQ(f.bsSkinSpinEdit2->value(), 999999999);
    EXPECT_FALSE(f.bsSkinCheckRadioBox1->isChecked());
    EXPECT_EQ(f.Image2->toolTip(), QStringLiteral("打开浏览器"));
    EXPECT_TRUE(f.bsSkinTabControl1->tabsClosable());
    // Pictures at their sizes.
    ASSERT_EQ(f.ImageList1.size(), 5);
    ASSERT_EQ(f.ImageList2.size(), 20);
    ASSERT_EQ(f.ImageList3.size(), 66);
    ASSERT_EQ(f.bsPngImageList1.size(), 4);
    EXPECT_EQ(f.ImageList1[0].size(), QSize(103, 14));
    EXPECT_EQ(f.ImageList2[19].size(), QSize(88, 22));
    EXPECT_EQ(f.ImageList3[65].size(), QSize(16, 16));
    EXPECT_NE(f.ImageList2[0].toImage(), f.ImageList2[5].toImage()); // hearts are not diamonds
    EXPECT_EQ(f.m_activeFontColor, QColor(0, 0, 0));
    // Scroll bars bound to their views.
    const std::pair<TMyScrollBar*, TWebBrowser*> bars[] = {{f.ScrollBar, f.web},
                                                           {f.MyScrollBar1, f.webShop},
                                                           {f.ScrollBar2, f.web2},
                                                           {f.ScrollBar3, f.web3},
                                                           {f.ScrollBar4, f.web4}};
    for (const auto& [bar, view] : bars) {
        EXPECT_EQ(bar->m_web, view);
        EXPECT_EQ(bar->width(), 19);
    }
    // Menus.
    const QList<QAction*> menu = f.bsSkinPopupMenu2->actions();
    ASSERT_EQ(menu.size(), 4);
    EXPECT_EQ(menu[0]->text(), QStringLiteral("还原"));
    EXPECT_EQ(menu[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
    EXPECT_FALSE(menu[0]->isEnabled());
    EXPECT_EQ(menu[1]->text(), QStringLiteral("最小化"));
    EXPECT_EQ(menu[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_TRUE(menu[2]->isSeparator());
    EXPECT_EQ(menu[3]->text(), QStringLiteral("关闭"));
    EXPECT_EQ(menu[3]->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    ASSERT_EQ(f.bsSkinPopupMenu3->actions().size(), 2);
    EXPECT_EQ(f.bsSkinPopupMenu3->actions()[0]->text(), QStringLiteral("激活"));
    EXPECT_EQ(f.bsSkinPopupMenu3->actions()[1]->text(), QStringLiteral("关闭"));
    WaitForStartUp();
}

TEST_F(WindowTest, StartUpOnThePrimaryServer) {
    form = std::make_unique<TForm1>();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Brindlemart"));
    EXPECT_EQ(ServerUrl, proxy->baseUrl());
    // Placement by CenterWindow, unclamped.
    const QSize screen = form->screen()->geometry().size();
    const QRect outer = form->frameGeometry();
    EXPECT_EQ(outer.topLeft(),
              QPoint((screen.width() - outer.width()) / 2 - 10, (screen.height() - outer.height()) / 2 - 15));
    // Every generated view holds a document, the counter view its page.
    for (TWebBrowser* v : {form->web, form->web2, form->webShop, form->webCount})
        EXPECT_TRUE(v->HasDocument());
    EXPECT_FALSE(form->web3->HasDocument());
    EXPECT_EQ(form->webCount->LocationURL(),
              QString::fromStdString(proxy->baseUrl() + "/aobao/III/count.html"));

    WaitForStartUp();
    const auto r = NewRequests();
    ExpectStartUpOrder(r);
    int okCount = 0;
    for (const auto& l : r)
        okCount += l == kOk;
    EXPECT_EQ(okCount, 1);
}

TEST_F(WindowTest, FailedSoftwareInformationSwitchesToTheFallback) {
    FailingServer primary;
    ServerUrl = primary.Base();
    FallbackServerUrl = proxy->baseUrl();
    form = std::make_unique<TForm1>();
    EXPECT_EQ(ServerUrl, proxy->baseUrl());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Brindlemart"));
    WaitForStartUp();
    // Exactly one request on the primary; the second ok.php and all later
    // requests on the fallback.
    EXPECT_EQ(primary.Targets(), std::vector<std::string>{"/aobao/III/ok.php?pid=mm_24680135_0_0"});
    ExpectStartUpOrder(NewRequests());
}

TEST_F(WindowTest, WindowMenuBookkeepingAndMessages) {
    form = std::make_unique<TForm1>();
    WaitForStartUp();
    form->show();
    EXPECT_FALSE(form->N2->isEnabled());
    EXPECT_TRUE(form->N3->isEnabled());
    form->N3Click();
    EXPECT_TRUE(form->isMinimized());
    EXPECT_TRUE(form->N2->isEnabled());
    EXPECT_FALSE(form->N3->isEnabled());
    form->N2Click();
    EXPECT_FALSE(form->isMinimized());
    EXPECT_FALSE(form->N2->isEnabled());
    EXPECT_TRUE(form->N3->isEnabled());
    const QPoint before = form->pos();
    form->N2Click(); // not minimised: comes to the front, unmoved
    EXPECT_EQ(form->pos(), before);
    EXPECT_FALSE(form->N2->isEnabled());

    QCoreApplication::postEvent(form.get(), new QEvent(static_cast<QEvent::Type>(1056)));
    EXPECT_TRUE(WaitUntil([&] { return form->windowTitle() == QStringLiteral("Velmora"); }));

    QCoreApplication::postEvent(form.get(), new QEvent(static_cast<QEvent::Type>(787)));
    EXPECT_TRUE(WaitUntil([&] { return form->bsSkinPopupMenu2->isVisible(); }));
    form->bsSkinPopupMenu2->hide();

    form->Image1Click();
    form->Image2Click();
    form->bsSkinLinkLabel1Click();
    EXPECT_EQ(platform.calculators, 1);
    EXPECT_EQ(platform.browsers, 1);
    ASSERT_EQ(platform.opened.size(), 1);

    // Message 1055 ends the message loop.
    QCoreApplication::postEvent(form.get(), new QEvent(static_cast<QEvent::Type>(1055)));
    QTimer::singleShot(10000, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(WindowTest, PictureButtonsMoveWhilePressed) {
    form = std::make_unique<TForm1>();
    WaitForStartUp();
    for (TPictureButton* b : {form->Image1, form->Image2, form->bsSkinLinkImage1}) {
        QWidget* w = b;
        const QPoint at = w->pos();
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(w->pos(), at + QPoint(1, 1));
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(w->pos(), at);
    }
    EXPECT_EQ(platform.calculators, 1); // Image1's click
    EXPECT_EQ(platform.browsers, 1);    // Image2's click
}

TEST_F(WindowTest, InputFilterOfTheViews) {
    form = std::make_unique<TForm1>();
    WaitForStartUp();
    form->show();
    form->Panel9->show(); // the shop view, to see what reaches it
    const std::string page =
        "<body scroll=\"no\" style=\"margin:0\"><div style=\"height:3000px\"></div><script>"
        "window.keys=0;window.rights=0;"
        "document.addEventListener('keydown',function(){window.keys++;});"
        "document.addEventListener('mousedown',function(e){if(e.button==2)window.rights++;});"
        "</script></body>";
    for (TWebBrowser* v : {form->web3, form->webShop}) {
        QSignalSpy done(v, &TWebBrowser::DocumentComplete);
        if (!v->HasDocument()) v->Navigate(QStringLiteral("about:blank"));
        WriteHtml(v, page);
        ASSERT_TRUE(WaitUntil([&] { return RunJs(v, "typeof window.keys").toString() == "number"; }));
    }
    QSignalSpy measured(form->ScrollBar3, &TMyScrollBar::RangeUpdated);
    form->ScrollBar3->UpdateRange();
    ASSERT_TRUE(WaitUntil([&] { return measured.count() > 0 && form->ScrollBar3->isEnabled(); }));

    ulong time = 1000;
    auto wheel = [&time](QWidget* target, int dy) {
        QWheelEvent e(QPointF(10, 10), target->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, dy),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        e.setTimestamp(++time); // one turn of the wheel each
        QApplication::sendEvent(target, &e);
    };
    QWidget* web3Input = form->web3->View()->focusProxy();
    ASSERT_NE(web3Input, nullptr);
    wheel(web3Input, -120); // towards the user: down
    EXPECT_EQ(form->ScrollBar3->Position(), 80);
    wheel(web3Input, -120);
    EXPECT_EQ(form->ScrollBar3->Position(), 160);
    wheel(web3Input, 120);
    EXPECT_EQ(form->ScrollBar3->Position(), 80);
    wheel(form->web3, -120); // the view's own widget is not a descendant of itself
    wheel(form->bsSkinTreeView1->viewport(), -120);
    wheel(form->webCount->View(), -120);
    EXPECT_EQ(form->ScrollBar3->Position(), 80);

    // Keys and the right button: discarded for web3, delivered to webShop.
    for (TWebBrowser* v : {form->web3, form->webShop}) {
        QWidget* input = v->View()->focusProxy();
        ASSERT_NE(input, nullptr);
        v->FocusView();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(input, &press);
        QApplication::sendEvent(input, &release);
        QTest::mousePress(input, Qt::RightButton, {}, QPoint(20, 20));
        QTest::mouseRelease(input, Qt::RightButton, {}, QPoint(20, 20));
    }
    EXPECT_TRUE(WaitUntil([&] {
        return RunJs(form->webShop, "window.keys").toInt() >= 1 &&
               RunJs(form->webShop, "window.rights").toInt() >= 1;
    }));
    EXPECT_EQ(RunJs(form->web3, "window.keys").toInt(), 0);
    EXPECT_EQ(RunJs(form->web3, "window.rights").toInt(), 0);
}

TEST_F(WindowTest, SellerBarMeasuredAgainstTheShownView) {
    form = std::make_unique<TForm1>();
    form->show();
    WaitForStartUp();
    // The seller list was written and measured while its notebook page had
    // never been shown; showing the page gives the view its real height.
    TWebBrowser* view = form->web2;
    TMyScrollBar* bar = form->ScrollBar2;
    const int hiddenHeight = view->ViewHeight();
    ASSERT_TRUE(WaitUntil([&] { return bar->isEnabled() && bar->PageSize() == hiddenHeight; }));
    Settle(500); // the load of the list is over
    form->bsSkinNotebook1->setCurrentIndex(1);
    ASSERT_GT(view->ViewHeight(), 600);
    ASSERT_TRUE(WaitUntil([&] { return bar->PageSize() == view->ViewHeight(); }))
        << "page size " << bar->PageSize() << " view " << view->ViewHeight();
    const int h = RunJs(view, "document.body.scrollHeight").toInt();
    ASSERT_GT(h, view->ViewHeight());
    EXPECT_EQ(bar->Max(), h);
    EXPECT_EQ(bar->m_maxPos, h - view->ViewHeight() + 1);
}
