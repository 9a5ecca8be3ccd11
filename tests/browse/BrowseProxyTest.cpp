// The browsing panels as a new user meets them, against the reference proxy:
// categories, a search from one, the seller panel, a seller's shop with its
// pager and display mode, an item's converted link, the published pages.
#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "service/Data.h"
#include "service/Request.h"
#include "shell/Platform.h"
#include "shell/Unit1.h"
#include "shell/WebBrowser.h"
#include "tests/support/ProxyProcess.h"
#include "tests/support/QtTestUtil.h"

namespace {

class BrowseProxyTest : public ::testing::Test {
protected:
    void SetUp() override {
        logPath = ::testing::TempDir() + "velmora-browse-proxy.log";
        std::remove(logPath.c_str());
        proxy = std::make_unique<ProxyProcess>(std::vector<std::string>{"--log", logPath});
        TPlatform::SetInstance(&platform);
        ServerUrl = proxy->baseUrl();
        FallbackServerUrl = proxy->baseUrl();
    }
    void TearDown() override {
        form.reset();
        TPlatform::SetInstance(nullptr);
        proxy.reset();
    }
    // Requests the proxy saw on a path, in order.
    std::vector<std::string> Requests(const std::string& path) const {
        std::vector<std::string> found;
        std::ifstream in(logPath);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("GET " + path, 0) == 0) found.push_back(line);
        return found;
    }
    QString PageText(TWebBrowser* view) {
        return RunJs(view, QStringLiteral("document.body ? document.body.innerHTML : ''")).toString();
    }

    std::string logPath;
    std::unique_ptr<ProxyProcess> proxy;
    RecordingPlatform platform;
    std::unique_ptr<TForm1> form;
};

TEST_F(BrowseProxyTest, NewUserWalksThroughThePanels) {
    g_searchIdle = true;
    form = std::make_unique<TForm1>();
    form->show();
    ASSERT_TRUE(WaitUntil([&] { return g_searchIdle && form->m_tabs.size() == 1; }));
    QTreeWidget* tree = form->bsSkinTreeView1;

    // The top level: "所有类目" and the platform's categories, each with its picture.
    ASSERT_GT(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "所有类目");
    QTreeWidgetItem* parent = nullptr;
    for (int i = 1; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = tree->topLevelItem(i);
        const int picture = TopCategoryIcon(node->text(0).toStdString());
        EXPECT_GT(picture, 0) << node->text(0).toStdString();
        if (!parent && node->childCount() == 1 && TForm1::IsPlaceholder(node->child(0))) parent = node;
    }
    ASSERT_TRUE(parent);

    // Expanding a category loads its children once.
    parent->setExpanded(true);
    ASSERT_GT(parent->childCount(), 0);
    ASSERT_FALSE(TForm1::IsPlaceholder(parent->child(0)));
    parent->setExpanded(false);
    parent->setExpanded(true);
    EXPECT_EQ(Requests("/aobao/tb_itemcats.php").size(), 2u);

    // Selecting a sub-category searches it and lists its sellers.
    QTreeWidgetItem* category = parent->child(0);
    tree->setCurrentItem(category);
    ASSERT_TRUE(WaitUntil([&] { return g_searchIdle && form->m_tabs.size() == 2; }));
    const auto searches = Requests("/aobao/tbk_items.php");
    ASSERT_EQ(searches.size(), 2u);
    EXPECT_NE(searches.back().find("&cid=" + TForm1::NodeCid(category).toStdString() + "&"),
              std::string::npos);
    ASSERT_FALSE(form->m_sellers[0].Nick.empty());
    form->bsSkinNotebook1->setCurrentIndex(1);
    ASSERT_TRUE(WaitUntil([&] {
        return PageText(form->web2).contains(QString::fromStdString("卖家：" + form->m_sellers[0].Nick));
    }));

    // A seller with a shop of several pages, opened from the seller panel.
    int seller = 0;
    for (; seller < SellerListSize && !form->m_sellers[seller].Nick.empty(); ++seller) {
        RunJs(form->web2, QStringLiteral("document.querySelectorAll('a')[%1].click(); 0").arg(seller));
        ASSERT_TRUE(WaitUntil([&] { return form->m_seller == seller; }));
        if (form->m_sellers[seller].PageCount > 1) break;
    }
    ASSERT_LT(seller, SellerListSize) << "no seller of this category has a shop of several pages";
    ASSERT_TRUE(form->Panel9->isVisible());
    ASSERT_TRUE(WaitUntil([&] {
        return PageText(form->webShop)
            .contains(QString::fromStdString(form->m_sellers[seller].Items[0].title));
    }));

    // Paging the shop, then the other display mode without a request.
    const size_t shopRequests = Requests("/aobao/tb_items.php").size();
    form->bsSkinButtonLabel2->click();
    EXPECT_EQ(form->m_sellers[seller].PageNo, 2);
    ASSERT_EQ(Requests("/aobao/tb_items.php").size(), shopRequests + 1);
    EXPECT_NE(Requests("/aobao/tb_items.php").back().find("&page_no=2&"), std::string::npos);
    form->ComboBox2->setCurrentIndex(1);
    ASSERT_TRUE(WaitUntil([&] { return PageText(form->webShop).contains("_160x160.jpg"); }));
    EXPECT_EQ(Requests("/aobao/tb_items.php").size(), shopRequests + 1);

    // An item click opens its converted click link in the user's browser.
    RunJs(form->webShop, QStringLiteral("document.querySelector('a[href=\"00\"]').click(); 0"));
    ASSERT_TRUE(WaitUntil([&] { return !platform.opened.isEmpty(); }));
    const std::string link = form->m_sellers[seller].Items[0].click_url;
    EXPECT_FALSE(link.empty());
    EXPECT_NE(link, form->m_sellers[seller].ShopUrl);
    EXPECT_EQ(platform.opened.last().toStdString(), link);
    EXPECT_EQ(Requests("/aobao/tbk_items_convert.php").size(), 1u);

    // The channel and event pages, each once.
    for (int page : {2, 3, 2, 0, 3})
        form->bsSkinNotebook1->setCurrentIndex(page);
    ASSERT_TRUE(WaitUntil([&] {
        return Requests("/aobao/III/pindao.html").size() == 1 &&
               Requests("/aobao/III/huodong.html").size() == 1;
    }));
    EXPECT_FALSE(form->Panel9->isVisible());
    Settle(200);
    EXPECT_EQ(Requests("/aobao/III/pindao.html").size(), 1u);
    EXPECT_EQ(Requests("/aobao/III/huodong.html").size(), 1u);
}

} // namespace
