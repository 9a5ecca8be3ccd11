#include "search/ResultPages.h"

#include "VelmoraConfig.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Fixture(const std::string& name) {
    std::ifstream in(std::string(VELMORA_SOURCE_DIR) + "/tests/search/fixtures/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    std::string text = s.str();
    for (size_t p; (p = text.find("@ICON@")) != std::string::npos;)
        text.replace(p, 6, VELMORA_CREDIT_ICON_URL);
    return text;
}

Tbk_Items_Info Item(std::string title, std::string score = "1") {
    Tbk_Items_Info it;
    it.title = std::move(title);
    it.seller_credit_score = std::move(score);
    return it;
}

// Two items: highlight markup in a title, an ampersand in a link and a nick,
// a credit score out of range.
TAB SmallTab() {
    TAB tab;
    Tbk_Items_Info& a = tab.Items[0];
    a.pic_url = "http://img.example/p1.jpg";
    a.click_url = "http://s.click.example/t?a=1&b=2";
    a.title = "新款<span class=H>连衣裙</span>";
    a.shop_click_url = "http://shop.example/1";
    a.nick = "小店";
    a.price = "99.00";
    a.item_location = "浙江 杭州";
    a.volume = "12";
    a.seller_credit_score = "1";
    Tbk_Items_Info& b = tab.Items[1];
    b.pic_url = "http://img.example/p2.jpg";
    b.click_url = "http://s.click.example/t2";
    b.title = "T恤";
    b.shop_click_url = "http://shop.example/2";
    b.nick = "A&B";
    b.price = "5.50";
    b.item_location = "上海";
    b.volume = "0";
    b.seller_credit_score = "21";
    tab.Items[3] = Item("after the end of the list"); // never shown: item 2 has no title
    return tab;
}

TEST(ResultPages, SmallTabByteForByte) {
    const TAB tab = SmallTab();
    EXPECT_EQ(BuildListPage(tab), Fixture("list_page.html"));
    EXPECT_EQ(BuildPicturePage(tab), Fixture("picture_page.html"));
    EXPECT_EQ(BuildResultPage(tab, 1), BuildListPage(tab));
    for (int mode : {0, 2, -1})
        EXPECT_EQ(BuildResultPage(tab, mode), BuildPicturePage(tab)) << mode;
}

TEST(ResultPages, EmptyTabIsHeadAndBodyEnd) {
    const TAB tab;
    EXPECT_EQ(BuildListPage(tab), std::string(ListPageHead) + "</body>");
    EXPECT_EQ(BuildPicturePage(tab), std::string(PicturePageHead) + "</body>");
}

TEST(ResultPages, FortyItemsNumberedZeroToThirtyNine) {
    TAB tab;
    for (auto& item : tab.Items)
        item = Item("x");
    const std::string list = BuildListPage(tab), pictures = BuildPicturePage(tab);
    for (int i = 0; i < TabItemCount; ++i) {
        EXPECT_NE(list.find("onClick=\"OnPic(" + std::to_string(i) + ")\""), std::string::npos) << i;
        EXPECT_NE(pictures.find("onclick=\"OnPic(" + std::to_string(i) + ")\""), std::string::npos) << i;
    }
    EXPECT_EQ(list.find("OnPic(40)"), std::string::npos);
    size_t blocks = 0;
    for (size_t p = 0; (p = pictures.find("<div class=\"li\">", p)) != std::string::npos; ++p)
        ++blocks;
    EXPECT_EQ(blocks, 40u);
}

TEST(ResultPages, ValuesFromTheNetworkCannotInjectScript) {
    TAB tab;
    Tbk_Items_Info& a = tab.Items[0];
    a.title = "<img src=x onerror=alert(1)><script>alert(2)</script>好<span class=H>物</span>";
    a.click_url = "javascript:alert(3)";
    a.shop_click_url = "http://shop.example/\" onmouseover=\"alert(4)";
    a.pic_url = "\" onerror=\"alert(5)";
    a.nick = "<b onclick=alert(6)>nick</b>";
    a.price = "<script>alert(7)</script>";
    a.item_location = "<iframe src=javascript:alert(8)>";
    a.volume = "1\"><img src=x onerror=alert(9)>";
    a.seller_credit_score = "\"><script>alert(10)</script>";
    for (const std::string& page : {BuildListPage(tab), BuildPicturePage(tab)}) {
        const std::string items = page.substr(page.find("<body"));
        EXPECT_EQ(items.find("<script"), std::string::npos);
        EXPECT_EQ(items.find("<img src=x"), std::string::npos);
        EXPECT_EQ(items.find("<iframe"), std::string::npos);
        EXPECT_EQ(items.find("<b onclick"), std::string::npos);
        EXPECT_EQ(items.find("\"javascript:"), std::string::npos);
        EXPECT_NE(items.find("&lt;iframe src=javascript:alert(8)&gt;"), std::string::npos);
        EXPECT_EQ(items.find("\" onerror"), std::string::npos);
        EXPECT_EQ(items.find("\" onmouseover"), std::string::npos);
        // The highlight markup stays markup; the nick shows as text.
        EXPECT_NE(items.find(">好<span class=H>物</span>"), std::string::npos);
        EXPECT_NE(items.find("&lt;b onclick=alert(6)&gt;nick&lt;/b&gt;"), std::string::npos);
    }
}

TEST(ResultPages, CreditIconPerScore) {
    TAB tab;
    tab.Items[0] = Item("a", "1");
    tab.Items[1] = Item("b", "20");
    tab.Items[2] = Item("c", "0");
    tab.Items[3] = Item("d", "x");
    const std::string base = std::string(VELMORA_CREDIT_ICON_URL) + "/newrank/";
    const std::string list = BuildListPage(tab), pictures = BuildPicturePage(tab);
    EXPECT_NE(list.find("<img src=\"" + base + "b_red_1.gif\"/>"), std::string::npos);
    EXPECT_NE(list.find("<img src=\"" + base + "s_crown_5.gif\"/>"), std::string::npos);
    EXPECT_NE(pictures.find("<img src=\"" + base + "s_crown_5.gif\" />"), std::string::npos);
    // Out-of-range and non-numeric scores: an empty picture, no broken address.
    size_t empty = 0;
    for (size_t p = 0;
         (p = list.find("<div class=\"div_credit\"><img src=\"\"/></div>", p)) != std::string::npos; ++p)
        ++empty;
    EXPECT_EQ(empty, 2u);
    EXPECT_EQ(list.find("/newrank/\""), std::string::npos);
}

TEST(TabRecord, PageCountFromTotal) {
    const std::pair<const char*, int> cases[] = {
        {"0", 0},
        {"39", 0},
        {"40", 1},
        {"45", 1},
        {"79", 1},
        {"3960", 99},
        {"10000", 99},
        {"", 0},
        {"abc", 0},
        {"-40", 0},
        {"4e3", 0},
        {" 80\n", 2},
        {"99999999999999999999999", 99},
    };
    for (auto [total, pages] : cases)
        EXPECT_EQ(PageCountOf(total), pages) << '"' << total << '"';
}

TEST(TabRecord, CopyKeepsNineFieldsUpToTheFirstUntitledRow) {
    ATbk_Items_Info rows{};
    for (int i = 0; i < 45; ++i) {
        Tbk_Items_Info& r = rows[i];
        r.title = "t" + std::to_string(i);
        r.total_results = "100";
        r.nick = "n";
        r.price = "1";
        r.pic_url = "http://p";
        r.click_url = "http://c";
        r.shop_click_url = "http://s";
        r.seller_credit_score = "3";
        r.item_location = "l";
        r.volume = "v";
        r.num_iid = "123";
        r.commission = "c";
        r.commission_num = "cn";
        r.commission_rate = "cr";
        r.commission_volume = "cv";
    }
    TAB tab;
    tab.Items[39] = Item("stale");
    CopyRowsToTab(&rows, tab);
    EXPECT_EQ(tab.PageCount, 2);
    EXPECT_EQ(tab.Items[39].title, "t39");
    const Tbk_Items_Info& first = tab.Items[0];
    EXPECT_EQ(first.nick + first.price + first.pic_url + first.click_url + first.shop_click_url +
                  first.seller_credit_score + first.item_location + first.volume,
              "n1http://phttp://chttp://s3lv");
    EXPECT_EQ(first.total_results + first.num_iid + first.commission + first.commission_num +
                  first.commission_rate + first.commission_volume,
              "");

    // A shorter answer clears what the tab held before.
    rows[3].title.clear();
    CopyRowsToTab(&rows, tab);
    EXPECT_EQ(tab.Items[2].title, "t2");
    EXPECT_EQ(tab.Items[3].title, "");
    EXPECT_EQ(tab.Items[4].title, "");
    EXPECT_EQ(tab.Items[39].nick, "");

    // No rows at all: no items and no pages.
    CopyRowsToTab(nullptr, tab);
    EXPECT_EQ(tab.PageCount, 0);
    EXPECT_EQ(tab.Items[0].title, "");
}

} // namespace
