// The browsing panels in the real window, offscreen, against a local catalogue
// service: category tree, seller list, seller shop, published pages.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "browse/BrowseCommon.h"
#include "service/Data.h"
#include "service/Request.h"
#include "shell/MyScrollBar.h"
#include "shell/Platform.h"
#include "shell/Unit1.h"
#include "shell/WebBrowser.h"
#include "tests/browse/CatalogueServer.h"
#include "tests/support/QtTestUtil.h"

namespace {

QString PageText(TWebBrowser* view) {
    QString text;
    bool done = false;
    view->View()->page()->toHtml([&](const QString& html) {
        text = html;
        done = true;
    });
    WaitUntil([&] { return done; });
    return text;
}

Tbk_Items_Info ResultItem(const std::string& nick) {
    Tbk_Items_Info it;
    it.nick = nick;
    it.title = "t " + nick;
    it.shop_click_url = "http://shop.example/" + nick;
    it.seller_credit_score = "12";
    it.item_location = "杭州";
    return it;
}

class BrowseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new CatalogueServer; }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    void SetUp() override {
        server->Reset();
        TPlatform::SetInstance(&platform);
    }
    void TearDown() override {
        g_searchIdle = true;
        form.reset();
        TPlatform::SetInstance(nullptr);
    }

    // A new window against the local service, after its start-up search has
    // ended. Then a search "is running" as far as the window knows, so tree
    // selections start no further worker unless a test allows it.
    void Start() {
        g_searchIdle = true;
        form.reset();
        ServerUrl = server->Base();
        form = std::make_unique<TForm1>();
        form->show();
        ASSERT_TRUE(WaitUntil([&] { return g_searchIdle && form->m_tabs.size() == 1; }));
        ASSERT_TRUE(WaitUntil([&] { return form->web2->HasDocument() && form->webShop->HasDocument(); }));
        g_searchIdle = false;
    }

    QTreeWidgetItem* Top(const QString& name) {
        for (int i = 0; i < form->bsSkinTreeView1->topLevelItemCount(); ++i)
            if (form->bsSkinTreeView1->topLevelItem(i)->text(0) == name)
                return form->bsSkinTreeView1->topLevelItem(i);
        return nullptr;
    }
    QStringList Names(QTreeWidgetItem* parent) {
        QStringList names;
        const int n = parent ? parent->childCount() : form->bsSkinTreeView1->topLevelItemCount();
        for (int i = 0; i < n; ++i)
            names << (parent ? parent->child(i) : form->bsSkinTreeView1->topLevelItem(i))->text(0);
        return names;
    }
    bool SameIcon(QTreeWidgetItem* node, int picture) {
        return node->icon(0).pixmap(16, 16).toImage() ==
               QIcon(form->ImageList3.at(picture)).pixmap(16, 16).toImage();
    }

    // One result tab with the given sellers' items, and the seller list built from it.
    void ShowResultTab(const std::vector<std::string>& nicks) {
        auto tab = std::make_unique<TAB>();
        for (size_t i = 0; i < nicks.size() && i < tab->Items.size(); ++i)
            tab->Items[i] = ResultItem(nicks[i]);
        form->m_tabs.push_back(std::move(tab));
        {
            QSignalBlocker block(form->bsSkinTabControl1);
            form->bsSkinTabControl1->addTab(QStringLiteral("r"));
            form->bsSkinTabControl1->setCurrentIndex(form->bsSkinTabControl1->count() - 1);
        }
        form->RenderSellerList();
    }
    bool ClickSeller(int p) {
        bool cancel = false;
        form->web2BeforeNavigate2(QStringLiteral("http://velmora.local/#%1").arg(p, 2, 10, QLatin1Char('0')),
                                  &cancel);
        return cancel;
    }
    std::vector<bool> PagerLabels() {
        return {form->bsSkinButtonLabel4->isEnabled(), form->bsSkinButtonLabel1->isEnabled(),
                form->bsSkinButtonLabel2->isEnabled(), form->bsSkinButtonLabel3->isEnabled()};
    }
    QStringList PageList() {
        QStringList pages;
        for (int i = 0; i < form->ComboBox1->count(); ++i)
            pages << form->ComboBox1->itemText(i);
        return pages;
    }

    static CatalogueServer* server;
    RecordingPlatform platform;
    std::unique_ptr<TForm1> form;
};

CatalogueServer* BrowseTest::server = nullptr;

// ---------------------------------------------------------------- category tree

TEST_F(BrowseTest, RootLevelSkipsEmptyIdsAndErrorRowsAndPicksIcons) {
    server->SetCategories("0", {{"16", "女装/女士精品", "true"},
                                {"", "no id", "true"},
                                {"17", "error", "false"},
                                {"18", "乐器/吉他/钢琴/配件", "false"},
                                {"19", "not in the table", "true"},
                                {"x9", "not an id", "false"}});
    Start();
    ASSERT_EQ(server->TargetsOf("/aobao/tb_itemcats.php").size(), 1u);
    EXPECT_NE(server->TargetsOf("/aobao/tb_itemcats.php")[0].find("&parent_cid=0&"), std::string::npos);
    // Selecting "所有类目" started the first search.
    EXPECT_EQ(server->Count("/aobao/tbk_items.php"), 1);
    EXPECT_EQ(Names(nullptr),
              (QStringList{"所有类目", "女装/女士精品", "乐器/吉他/钢琴/配件", "not in the table"}));
    QTreeWidgetItem* all = form->bsSkinTreeView1->topLevelItem(0);
    EXPECT_EQ(form->bsSkinTreeView1->currentItem(), all);
    EXPECT_EQ(TForm1::NodeCid(all), "0");
    EXPECT_EQ(all->childCount(), 0);
    EXPECT_TRUE(SameIcon(all, 0));
    EXPECT_TRUE(SameIcon(Top("女装/女士精品"), 1));
    EXPECT_TRUE(SameIcon(Top("乐器/吉他/钢琴/配件"), 65));
    EXPECT_TRUE(SameIcon(Top("not in the table"), 0));
    EXPECT_EQ(TForm1::NodeCid(Top("女装/女士精品")), "16");
    // Placeholders only under is_parent "true".
    EXPECT_EQ(Top("女装/女士精品")->childCount(), 1);
    EXPECT_TRUE(TForm1::IsPlaceholder(Top("女装/女士精品")->child(0)));
    EXPECT_EQ(Top("乐器/吉他/钢琴/配件")->childCount(), 0);
}

TEST_F(BrowseTest, FailedRootRequestKeepsOnlyAllCategories) {
    server->Fail("/aobao/tb_itemcats.php");
    Start();
    EXPECT_EQ(Names(nullptr), QStringList{"所有类目"});
}

TEST_F(BrowseTest, ExpansionRules) {
    std::vector<Category> seventy;
    for (int i = 0; i < 70; ++i)
        seventy.push_back({std::to_string(1000 + i), "c" + std::to_string(i), "false"});
    struct Case {
        const char* what;
        std::vector<Category> children;
        bool fail;
        QStringList shown;           // children after the first expansion ("" = placeholder)
        int childrenWithPlaceholder; // children that got an expand button
    } cases[] = {
        {"empty id in the middle ends the list",
         {{"101", "a", "true"}, {"", "gap", "false"}, {"103", "c", "false"}},
         false,
         {"a"},
         1},
        {"error rows are ordinary here", {{"101", "error", "false"}}, false, {"error"}, 0},
        {"a category without a name is no placeholder",
         {{"101", "", "false"}, {"102", "b", "true"}},
         false,
         {"", "b"},
         1},
        {"70 rows show as 61", seventy, false, {}, 0},
        {"empty answer removes the expand button", {}, false, {}, 0},
        {"failed request keeps the placeholder", {{"101", "a", "false"}}, true, {""}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server->Reset();
        server->SetCategories("0", {{"16", "女装/女士精品", "true"}});
        server->SetCategories("16", c.children);
        server->Fail("cats:16", c.fail);
        Start();
        QTreeWidgetItem* node = Top("女装/女士精品");
        ASSERT_TRUE(node);
        node->setExpanded(true);
        EXPECT_EQ(server->Count("/aobao/tb_itemcats.php"), 2);
        if (c.children.size() == 70) {
            ASSERT_EQ(node->childCount(), 61);
            EXPECT_EQ(node->child(60)->text(0), "c60");
        } else {
            EXPECT_EQ(Names(node), c.shown);
        }
        int withButton = 0;
        for (int i = 0; i < node->childCount(); ++i) {
            QTreeWidgetItem* child = node->child(i);
            if (TForm1::IsPlaceholder(child)) continue;
            EXPECT_TRUE(SameIcon(child, 1)) << "children show the picture of their parent";
            withButton += child->childCount() == 1 && TForm1::IsPlaceholder(child->child(0));
        }
        EXPECT_EQ(withButton, c.childrenWithPlaceholder);

        // Collapsing and expanding again asks only while nothing is loaded.
        node->setExpanded(false);
        server->Fail("cats:16", false);
        node->setExpanded(true);
        EXPECT_EQ(server->Count("/aobao/tb_itemcats.php"), c.fail ? 3 : 2);
        if (c.children.empty()) {
            EXPECT_EQ(node->childCount(), 0);
        }
    }
}

TEST_F(BrowseTest, PlaceholderCannotBeSelectedAndStartsNothing) {
    server->SetCategories("0", {{"16", "女装/女士精品", "true"}});
    server->Fail("cats:16");
    Start();
    QTreeWidgetItem* node = Top("女装/女士精品");
    form->bsSkinTreeView1->setCurrentItem(node);
    node->setExpanded(true); // fails: the empty entry shows
    QTreeWidgetItem* placeholder = node->child(0);
    ASSERT_TRUE(TForm1::IsPlaceholder(placeholder));
    QApplication::processEvents();

    const QRect r = form->bsSkinTreeView1->visualItemRect(placeholder);
    ASSERT_TRUE(r.isValid());
    QTest::mouseClick(form->bsSkinTreeView1->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(form->bsSkinTreeView1->currentItem(), node);
    QTest::keyClick(form->bsSkinTreeView1, Qt::Key_Down);
    EXPECT_NE(form->bsSkinTreeView1->currentItem(), placeholder);
    // Even if asked directly, a placeholder searches its parent's category.
    EXPECT_EQ(TForm1::NodeCid(placeholder), "16");
}

TEST_F(BrowseTest, SelectingACategorySearchesItOnlyWhileTreeChangesAreEnabled) {
    server->SetCategories("0", {{"16", "女装/女士精品", "false"}, {"17", "男装", "false"}});
    Start();
    g_searchIdle = true;
    form->m_treeChangeEnabled = false;
    form->bsSkinTreeView1->setCurrentItem(Top("男装"));
    Settle(200);
    EXPECT_EQ(server->Count("/aobao/tbk_items.php"), 1);
    form->m_treeChangeEnabled = true;
    form->bsSkinTreeView1->setCurrentItem(Top("女装/女士精品"));
    ASSERT_TRUE(WaitUntil([&] { return g_searchIdle && form->m_tabs.size() == 2; }));
    EXPECT_NE(server->TargetsOf("/aobao/tbk_items.php").back().find("&cid=16&"), std::string::npos);
}

TEST_F(BrowseTest, TreeDrawsSelectedNodeRedOnLightCyan) {
    Start();
    auto* delegate = dynamic_cast<TCategoryDelegate*>(form->bsSkinTreeView1->itemDelegate());
    ASSERT_TRUE(delegate);
    const QModelIndex index = form->bsSkinTreeView1->model()->index(0, 0);
    QStyleOptionViewItem selected;
    selected.state = QStyle::State_Selected | QStyle::State_Enabled;
    delegate->initStyleOption(&selected, index);
    EXPECT_EQ(selected.palette.color(QPalette::HighlightedText), QColor(0xFF, 0, 0));
    EXPECT_EQ(selected.backgroundBrush.color(), QColor(0x80, 0xFF, 0xFF));
    QStyleOptionViewItem plain;
    plain.state = QStyle::State_Enabled;
    delegate->initStyleOption(&plain, index);
    EXPECT_EQ(plain.palette.color(QPalette::Text), form->m_activeFontColor);
}

// ---------------------------------------------------------------- seller list

TEST_F(BrowseTest, SellerListOfFortyItemsFromThreeSellers) {
    Start();
    std::vector<std::string> nicks(40, "c");
    for (int i = 0; i < 5; ++i)
        nicks[i] = "a";
    nicks[5] = nicks[6] = "b";
    nicks[7] = "c";
    nicks[8] = "a";
    ShowResultTab(nicks);
    EXPECT_EQ(form->m_sellers[0].Nick, "a");
    EXPECT_EQ(form->m_sellers[1].Nick, "b");
    EXPECT_EQ(form->m_sellers[2].Nick, "c");
    EXPECT_TRUE(form->m_sellers[3].Nick.empty());
    ASSERT_TRUE(WaitUntil([&] { return PageText(form->web2).contains("卖家：c"); }));
    const QString html = PageText(form->web2);
    EXPECT_TRUE(html.contains("href=\"#00\"") && html.contains("href=\"#01\"") &&
                html.contains("href=\"#02\""));
    EXPECT_FALSE(html.contains("href=\"#03\""));
}

TEST_F(BrowseTest, SellerEntryClickedInThePageOpensTheShop) {
    Start();
    server->SetShop(12, 12);
    ShowResultTab({"a", "b", "a"});
    ASSERT_TRUE(WaitUntil([&] { return PageText(form->web2).contains("卖家：b"); }));
    form->web2->View()->page()->runJavaScript(QStringLiteral("document.querySelectorAll('a')[1].click();"));
    ASSERT_TRUE(WaitUntil([&] { return form->Panel9->isVisible(); }));
    EXPECT_EQ(form->m_seller, 1);
}

TEST_F(BrowseTest, SellerClickOpensTheShopAndSecondClickUsesTheCache) {
    Start();
    server->SetShop(12, 12);
    ShowResultTab({"a", "b", "a"});
    EXPECT_TRUE(ClickSeller(1));
    ASSERT_TRUE(form->Panel9->isVisible());
    EXPECT_EQ(form->m_seller, 1);
    EXPECT_EQ(server->Count("/aobao/tb_items.php"), 1);
    const std::string target = server->Targets().back();
    EXPECT_NE(target.find("&nicks=%62&page_no=1&order_by=volume&"), std::string::npos) << target;
    EXPECT_FALSE(form->Button1->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return PageText(form->webShop).contains("Item 10111"); }));

    // The same seller again: shown from the cache, no request.
    EXPECT_TRUE(ClickSeller(1));
    EXPECT_EQ(server->Count("/aobao/tb_items.php"), 1);
    EXPECT_TRUE(form->Panel9->isVisible());

    // Anything but a listed position is cancelled and does nothing.
    bool cancel = false;
    form->web2BeforeNavigate2(QStringLiteral("http://velmora.local/#45"), &cancel);
    EXPECT_TRUE(cancel);
    cancel = false;
    form->web2BeforeNavigate2(QStringLiteral("about:blank"), &cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(form->m_seller, 1);
    EXPECT_EQ(server->Count("/aobao/tb_items.php"), 1);
}

TEST_F(BrowseTest, KeyboardAndRightButtonNeverReachTheSellerList) {
    Start();
    QWidget* inner = form->web2->View()->focusProxy();
    ASSERT_TRUE(inner);
    struct Seen : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            switch (e->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
                ++count;
                break;
            default:
                break;
            }
            return false;
        }
    } seen;
    inner->installEventFilter(&seen);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_F5, Qt::NoModifier);
    QApplication::sendEvent(inner, &down);
    QApplication::sendEvent(inner, &up);
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, inner->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      {});
    QMouseEvent release(QEvent::MouseButtonRelease, at, inner->mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                        {});
    QApplication::sendEvent(inner, &press);
    QApplication::sendEvent(inner, &release);
    EXPECT_EQ(seen.count, 0);
    inner->removeEventFilter(&seen);
}

TEST_F(BrowseTest, RebuildingTheListWhileAShopIsShownLeavesTheShop) {
    Start();
    server->SetShop(3, 3);
    ShowResultTab({"a"});
    ClickSeller(0);
    ASSERT_TRUE(form->Panel9->isVisible());
    ShowResultTab({"z"});
    EXPECT_FALSE(form->Panel9->isVisible());
    EXPECT_TRUE(form->Button1->isVisible());
    EXPECT_EQ(form->m_seller, -1);
    EXPECT_TRUE(form->m_sellers[0].Items[0].title.empty());
    // The pager of the shop that was shown acts on nothing.
    form->bsSkinButtonLabel2Click();
    EXPECT_EQ(server->Count("/aobao/tb_items.php"), 1);
}

// ---------------------------------------------------------------- seller shop

TEST_F(BrowseTest, PagerLabelStatesForFortyAndFortyOneItems) {
    Start();
    ShowResultTab({"a", "b"});
    server->SetShop(40, 40);
    ClickSeller(0);
    ASSERT_TRUE(form->Panel9->isVisible());
    EXPECT_EQ(PagerLabels(), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(PageList(), QStringList{"1"});
    EXPECT_EQ(form->m_sellers[0].Items[39].title, "Item 10139");
    EXPECT_TRUE(form->m_sellers[0].Items[40].title.empty());

    server->SetShop(41, 40);
    ClickSeller(1);
    EXPECT_EQ(PagerLabels(), (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(PageList(), (QStringList{"1", "2"}));
    EXPECT_EQ(form->ComboBox1->currentIndex(), 0);

    form->bsSkinButtonLabel2Click(); // next
    EXPECT_EQ(server->Count("/aobao/tb_items.php"), 3);
    EXPECT_NE(server->Targets().back().find("&page_no=2&"), std::string::npos);
    EXPECT_EQ(form->m_sellers[1].PageNo, 2);
    EXPECT_EQ(PagerLabels(), (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(form->ComboBox1->currentIndex(), 1);

    // A failed page request from the pager: page number and pager stay, nothing opens.
    server->Fail("/aobao/tb_items.php");
    form->bsSkinButtonLabel1Click();
    EXPECT_EQ(server->Count("/aobao/tb_items.php"), 4);
    EXPECT_EQ(form->m_sellers[1].PageNo, 2);
    EXPECT_EQ(PagerLabels(), (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(form->ComboBox1->currentIndex(), 1);
    EXPECT_TRUE(platform.opened.isEmpty());
    EXPECT_TRUE(form->Panel9->isVisible());

    // Choosing the page already shown asks for it again; "first" goes to page 1.
    server->Fail("/aobao/tb_items.php", false);
    QTest::keyClick(form->ComboBox1, Qt::Key_Up); // a user's choice of page 1 through the list
    EXPECT_EQ(server->Count("/aobao/tb_items.php"), 5);
    EXPECT_EQ(form->m_sellers[1].PageNo, 1);
    form->ComboBox1Change(0);
    EXPECT_EQ(server->Count("/aobao/tb_items.php"), 6);
    form->bsSkinButtonLabel3Click(); // last
    EXPECT_EQ(form->m_sellers[1].PageNo, 2);
    form->bsSkinButtonLabel4Click(); // first
    EXPECT_EQ(form->m_sellers[1].PageNo, 1);
    EXPECT_NE(server->Targets().back().find("&page_no=1&"), std::string::npos);
}

TEST_F(BrowseTest, ShopOnScreenStaysUsableWhenAnotherRequestComesBackEmptyOrFails) {
    Start();
    ShowResultTab({"a", "b"});
    server->SetShop(41, 40);
    ClickSeller(0);
    ASSERT_TRUE(form->Panel9->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return form->MyScrollBar1->isEnabled(); }));

    // The shop has shrunk: the next page comes back without items.
    server->SetShop(41, 0);
    form->bsSkinButtonLabel2Click();
    EXPECT_EQ(server->Count("/aobao/tb_items.php"), 2);
    EXPECT_EQ(form->m_sellers[0].PageNo, 1);
    EXPECT_EQ(form->m_sellers[0].PageCount, 2);
    EXPECT_EQ(form->m_sellers[0].Items[0].title, "Item 10100");
    EXPECT_EQ(PagerLabels(), (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(PageList(), (QStringList{"1", "2"}));

    // Another seller's shop fails: its shop link opens, and the shop on screen
    // keeps its bar and its own item links.
    server->Fail("/aobao/tb_items.php");
    ClickSeller(1);
    EXPECT_EQ(platform.opened, QStringList{"http://shop.example/b"});
    EXPECT_EQ(form->m_seller, 0);
    ASSERT_TRUE(WaitUntil([&] { return form->MyScrollBar1->isEnabled(); }));
    bool cancel = false;
    form->webShopBeforeNavigate2(QStringLiteral("http://velmora.local/03"), &cancel);
    EXPECT_EQ(platform.opened.last().toStdString(), CatalogueServer::ClickUrl(CatalogueServer::ItemId(1, 3)));
}

TEST_F(BrowseTest, EmptyShopShowsNoItemsAndNoPages) {
    Start();
    ShowResultTab({"a"});
    server->SetShop(120, 0); // a total but no items
    ClickSeller(0);
    EXPECT_TRUE(form->Panel9->isVisible());
    EXPECT_EQ(form->m_sellers[0].PageCount, 0);
    EXPECT_EQ(PageList(), QStringList{});
    EXPECT_EQ(PagerLabels(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(BrowseTest, ItemClickOpensTheConvertedLinkPairedByItemId) {
    Start();
    ShowResultTab({"a"});
    server->SetShop(45, 5);
    ClickSeller(0);
    ASSERT_TRUE(WaitUntil([&] { return PageText(form->webShop).contains("Item 10103"); }));

    // A real click on the fourth item's title in the page.
    form->webShop->View()->page()->runJavaScript(
        QStringLiteral("document.querySelectorAll('a[href=\"03\"]')[1].click();"));
    ASSERT_TRUE(WaitUntil([&] { return !platform.opened.isEmpty(); }));
    EXPECT_EQ(platform.opened.last().toStdString(), CatalogueServer::ClickUrl(CatalogueServer::ItemId(1, 3)));
    EXPECT_EQ(server->Count("/aobao/tbk_items_convert.php"), 1);
    EXPECT_NE(server->Targets().back().find("&num_iids=10100,10101,10102,10103,10104,&"), std::string::npos)
        << server->Targets().back();

    // The page's links are at hand now.
    bool cancel = false;
    form->webShopBeforeNavigate2(QStringLiteral("http://velmora.local/01"), &cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(platform.opened.last().toStdString(), CatalogueServer::ClickUrl(CatalogueServer::ItemId(1, 1)));
    EXPECT_EQ(server->Count("/aobao/tbk_items_convert.php"), 1);

    // Another display mode: no request, the same items.
    const int shopRequests = server->Count("/aobao/tb_items.php");
    form->ComboBox2->setCurrentIndex(1);
    ASSERT_TRUE(WaitUntil([&] { return PageText(form->webShop).contains("_160x160.jpg"); }));
    EXPECT_EQ(server->Count("/aobao/tb_items.php"), shopRequests);

    // Page 2 converts its own ids; page 1's links are never used for it.
    form->bsSkinButtonLabel2Click();
    form->webShopBeforeNavigate2(QStringLiteral("http://velmora.local/03"), &cancel);
    EXPECT_EQ(server->Count("/aobao/tbk_items_convert.php"), 2);
    EXPECT_EQ(platform.opened.last().toStdString(), CatalogueServer::ClickUrl(CatalogueServer::ItemId(2, 3)));

    // Positions past the page's items fall back to the shop link; others are only cancelled.
    form->webShopBeforeNavigate2(QStringLiteral("http://velmora.local/30"), &cancel);
    EXPECT_EQ(platform.opened.last(), "http://shop.example/a");
    const int opened = platform.opened.size();
    cancel = false;
    form->webShopBeforeNavigate2(QStringLiteral("http://velmora.local/77"), &cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(platform.opened.size(), opened);
}

TEST_F(BrowseTest, FailuresOpenTheShopLinkThroughThePlatform) {
    Start();
    ShowResultTab({"a"});
    server->Fail("/aobao/tb_items.php");
    ClickSeller(0);
    EXPECT_FALSE(form->Panel9->isVisible());
    EXPECT_EQ(platform.opened, QStringList{"http://shop.example/a"});

    server->Fail("/aobao/tb_items.php", false);
    server->SetShop(3, 3);
    ClickSeller(0);
    ASSERT_TRUE(form->Panel9->isVisible());
    server->Fail("/aobao/tbk_items_convert.php");
    bool cancel = false;
    form->webShopBeforeNavigate2(QStringLiteral("http://velmora.local/02"), &cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(platform.opened, (QStringList{"http://shop.example/a", "http://shop.example/a"}));
}

// ---------------------------------------------------------------- published pages

TEST_F(BrowseTest, NotebookPagesLoadPublishedPagesOnce) {
    Start();
    form->bsSkinNotebook1->setCurrentIndex(1);
    form->bsSkinNotebook1->setCurrentIndex(2);
    ASSERT_TRUE(WaitUntil([&] { return server->Count("/aobao/III/pindao.html") == 1; }));
    // The completed document re-measures the channel page's bar.
    ASSERT_TRUE(WaitUntil([&] { return form->ScrollBar3->isEnabled(); }));
    EXPECT_GT(form->ScrollBar3->maximum(), form->web3->ViewHeight());
    form->bsSkinNotebook1->setCurrentIndex(1);
    form->bsSkinNotebook1->setCurrentIndex(2);
    form->bsSkinNotebook1->setCurrentIndex(3);
    ASSERT_TRUE(WaitUntil([&] { return server->Count("/aobao/III/huodong.html") == 1; }));
    form->bsSkinNotebook1->setCurrentIndex(2);
    form->bsSkinNotebook1->setCurrentIndex(3);
    Settle(300);
    EXPECT_EQ(server->Count("/aobao/III/pindao.html"), 1);
    EXPECT_EQ(server->Count("/aobao/III/huodong.html"), 1);

    // The first page hides the shop area and gives Enter back to the search.
    form->Panel9->show();
    form->Button1->hide();
    form->bsSkinNotebook1->setCurrentIndex(0);
    EXPECT_FALSE(form->Panel9->isVisible());
    EXPECT_TRUE(form->Button1->isVisible());
}

} // namespace
