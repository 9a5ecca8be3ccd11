// The browser-view facade: written pages, navigation hook, new windows,
// notifications and the hidden page scrollbar.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include <memory>

#include "shell/Platform.h"
#include "shell/WebBrowser.h"
#include "tests/support/QtTestUtil.h"

namespace {

const std::string kHead =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html;charset=gb2312\" />"
    "</head>";

class BrowserFixture : public ::testing::Test {
protected:
    void SetUp() override {
        TPlatform::SetInstance(&platform);
        view = std::make_unique<TWebBrowser>();
        view->resize(500, 400);
        view->show();
    }
    void TearDown() override {
        view.reset();
        TPlatform::SetInstance(nullptr);
    }
    // Gives the view its document and writes a page into it.
    void Write(const std::string& html) {
        if (!view->HasDocument()) view->Navigate(QStringLiteral("about:blank"));
        QSignalSpy done(view.get(), &TWebBrowser::DocumentComplete);
        WriteHtml(view.get(), html);
        ASSERT_TRUE(WaitUntil([&] { return done.count() > 0; }));
        ASSERT_TRUE(RunJs(view.get(), "document.getElementById('marker') !== null").toBool());
    }
    // A real left click in the middle of the element with this id.
    void Click(const QString& id) {
        const QVariantList r =
            RunJs(view.get(), QStringLiteral("(function(){var b=document.getElementById('%1')"
                                             ".getBoundingClientRect();return [b.left+b.width/2,"
                                             "b.top+b.height/2];})()")
                                  .arg(id))
                .toList();
        ASSERT_EQ(r.size(), 2);
        QWidget* target = view->View()->focusProxy();
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(r[0].toInt(), r[1].toInt()));
    }

    RecordingPlatform platform;
    std::unique_ptr<TWebBrowser> view;
};

} // namespace

TEST(EncodeDocument, LineEndsAndEncoding) {
    const struct {
        const char* name;
        std::string html;
        QByteArray bytes;
    } cases[] = {
        {"LfJoinedWithCrLf", "a\nb", "a\r\nb\r\n"},
        {"CrLfKept", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"LoneCr", "a\rb", "a\r\nb\r\n"},
        {"EmptyLineKept", "a\n\nb", "a\r\n\r\nb\r\n"},
        {"Empty", "", ""},
        {"Chinese", "中文", "\xd6\xd0\xce\xc4\r\n"},
        {"OutsideGbkFourBytes", "\xe2\x82\xac", "\xa2\xe3\r\n"},
        {"InvalidUtf8Replaced", "\xff", QByteArray("\x84\x31\xa4\x37\r\n", 6)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeDocument(c.html), c.bytes) << c.name;
}

TEST_F(BrowserFixture, NoDocumentBeforeTheFirstNavigation) {
    EXPECT_FALSE(view->HasDocument());
    EXPECT_EQ(view->LocationURL(), QString());
    QSignalSpy progress(view.get(), &TWebBrowser::ProgressChange);
    WriteHtml(view.get(), kHead + "<body id=marker>x</body></html>");
    EXPECT_FALSE(progress.wait(500));
    bool called = false;
    view->BodyScrollHeight([&](std::optional<int> h) {
        called = true;
        EXPECT_FALSE(h.has_value());
    });
    EXPECT_TRUE(called);
}

TEST_F(BrowserFixture, WrittenChineseTextArrivesIntact) {
    const std::string text = "淘宝卖家 所有类目 €😀";
    Write(kHead + "<body><p id=marker>" + text + "</p></body></html>");
    EXPECT_EQ(RunJs(view.get(), "document.getElementById('marker').textContent").toString(),
              QString::fromStdString(text));
    EXPECT_EQ(RunJs(view.get(), "document.characterSet").toString().toUpper(), QStringLiteral("GB18030"));
}

TEST_F(BrowserFixture, ProgressAndCompletionOfAWrittenPage) {
    view->Navigate(QStringLiteral("about:blank"));
    QSignalSpy progress(view.get(), &TWebBrowser::ProgressChange);
    QSignalSpy complete(view.get(), &TWebBrowser::DocumentComplete);
    WriteHtml(view.get(), kHead + "<body id=marker>x</body></html>");
    ASSERT_TRUE(WaitUntil([&] { return complete.count() > 0; }));
    EXPECT_GE(progress.count(), 1);
    EXPECT_EQ(complete.last().at(0).toString(), TWebBrowser::DocumentBase().toString());
}

TEST_F(BrowserFixture, LinkClicksReachTheHookWithTheirLastTwoCharacters) {
    const struct {
        const char* id;
        bool cancel;
        const char* tail;
        bool navigates; // the document is replaced
    } cases[] = {
        {"rel", true, "05", false},   {"frag", true, "05", false},
        {"frag", false, "05", false}, // a fragment only scrolls, also when allowed
        {"blank", true, "nk", false}, {"blank", false, "nk", true},
    };
    for (const auto& c : cases) {
        Write(kHead +
              "<body><a id=rel href=\"05\">relative</a><br><a id=frag href=\"#05\">fragment</a><br>"
              "<a id=blank href=\"about:blank\">blank</a><div id=marker style=\"height:2000px\"></div>"
              "<a name=05>target</a></body></html>");
        QStringList seen;
        auto hook = QObject::connect(view.get(), &TWebBrowser::BeforeNavigate2,
                                     [&](const QString& url, bool* cancel) {
                                         seen << url;
                                         *cancel = c.cancel;
                                     });
        Click(QString::fromLatin1(c.id));
        EXPECT_TRUE(WaitUntil([&] { return !seen.isEmpty(); }, 15000)) << c.id;
        QObject::disconnect(hook);
        ASSERT_EQ(seen.size(), 1) << c.id;
        EXPECT_EQ(seen[0].right(2), QString::fromLatin1(c.tail)) << c.id << " " << seen[0].toStdString();
        if (c.navigates) {
            EXPECT_TRUE(
                WaitUntil([&] { return RunJs(view.get(), "location.href").toString() == "about:blank"; }));
        } else {
            // Give a navigation the time to happen, then check the page stayed.
            QSignalSpy complete(view.get(), &TWebBrowser::DocumentComplete);
            complete.wait(300);
            EXPECT_TRUE(RunJs(view.get(), "document.getElementById('marker') !== null").toBool()) << c.id;
        }
        if (QString::fromLatin1(c.id) == "frag" && !c.cancel) {
            EXPECT_TRUE(WaitUntil([&] { return RunJs(view.get(), "window.scrollY").toInt() > 0; }));
        }
    }
    EXPECT_TRUE(platform.opened.isEmpty());
}

TEST_F(BrowserFixture, NewWindowsGoToTheExternalBrowser) {
    Write(kHead + "<body><a id=pop href=\"http://shop.example/item?id=7\" target=\"_blank\">item</a>"
                  "<p id=marker></p></body></html>");
    int hooks = 0;
    QObject::connect(view.get(), &TWebBrowser::BeforeNavigate2, [&](const QString&, bool*) { ++hooks; });
    Click(QStringLiteral("pop"));
    ASSERT_TRUE(WaitUntil([&] { return platform.opened.size() == 1; }));
    EXPECT_EQ(platform.opened[0], QStringLiteral("http://shop.example/item?id=7"));

    // A link of the written page itself (resolved under its base) stays inside.
    RunJs(view.get(), "window.open('05'); window.open('http://shop.example/w'); 1");
    ASSERT_TRUE(WaitUntil([&] { return platform.opened.size() == 2; }));
    EXPECT_EQ(platform.opened[1], QStringLiteral("http://shop.example/w"));

    view->Open(QStringLiteral("http://shop.example/o"));
    EXPECT_EQ(platform.opened.value(2), QStringLiteral("http://shop.example/o"));
    EXPECT_EQ(hooks, 0);
    EXPECT_TRUE(RunJs(view.get(), "document.getElementById('marker') !== null").toBool());
}

TEST_F(BrowserFixture, ScrollNoHidesThePageScrollbarButScrollByWorks) {
    const struct {
        const char* body;
        bool scrollbar;
    } cases[] = {{"<body scroll=\"no\">", false}, {"<body>", true}};
    for (const auto& c : cases) {
        Write(kHead + c.body + "<div id=marker style=\"height:3000px\"></div></body></html>");
        ASSERT_TRUE(
            WaitUntil([&] { return RunJs(view.get(), "document.readyState").toString() == "complete"; }));
        const int bar = RunJs(view.get(), "window.innerWidth - document.documentElement.clientWidth").toInt();
        EXPECT_EQ(bar > 0, c.scrollbar) << c.body << " bar " << bar;
        view->ScrollBy(0, 120);
        EXPECT_TRUE(WaitUntil([&] { return RunJs(view.get(), "window.scrollY").toInt() == 120; })) << c.body;
    }
}
