// Seller list and shop pages, and the bookkeeping of the seller records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VelmoraConfig.h"
#include "browse/SellerPages.h"
#include "search/ResultPages.h"

namespace {

const std::string Icons = std::string(VELMORA_CREDIT_ICON_URL) + "/newrank/";

Tbk_Items_Info Item(std::string nick, std::string score = "1", std::string shop = "http://s.example/shop",
                    std::string location = "杭州") {
    Tbk_Items_Info it;
    it.nick = std::move(nick);
    it.title = "t";
    it.shop_click_url = std::move(shop);
    it.seller_credit_score = std::move(score);
    it.item_location = std::move(location);
    return it;
}

const std::string SellerHeadBlack =
    "<head> <meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" /> <style> "
    ".item{MARGIN: 0px;cursor:pointer;border:1px solid #dddddd;width:242px;padding-top: 7px;padding-right: "
    "4px;padding-bottom: 2px;padding-left: 5px;}a{text-decoration: none;} .mytitle{COLOR:#000000 ;DISPLAY: "
    "block;TEXT-ALIGN: left;padding-bottom: 2px;float: left;padding-right: 4px;}.mylocal{COLOR:#000000 "
    ";DISPLAY: "
    "block;TEXT-ALIGN:right;padding-bottom: 2px;}.mycredit{COLOR:#000000 ;DISPLAY: block;float: "
    "left;padding-top: "
    "2px;}img {border-top-width: 0px;border-right-width: 0px;border-bottom-width: 0px;border-left-width: "
    "0px;}</style> <script language=JavaScript> function over(mydiv) {mydiv.style.border=\"1px solid "
    "#99bbe8\";mydiv.style.background= \"#dfe8f6\";}function out(mydiv) {mydiv.style.border=\"1px solid "
    "#dddddd\";mydiv.style.background= \"\";}</script> </head><body leftMargin=0  topMargin=0 scroll=\"no\" "
    "style=\"color:#000000 ;font-size:12px;width:100%; border-width=0;\">";

TEST(ColorToHtml, UpperCaseHexWithTrailingSpace) {
    EXPECT_EQ(ColorToHtml(0, 0, 0), "#000000 ");
    EXPECT_EQ(ColorToHtml(0xAB, 0x0C, 0xFF), "#AB0CFF ");
}

TEST(SellerList, OneSellerByteForByte) {
    ASHOP_ITEM sellers;
    std::vector<Tbk_Items_Info> items = {Item("ann", "2")};
    int listed = -1;
    const std::string page = BuildSellerList(items, ColorToHtml(0, 0, 0), sellers, &listed);
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(page,
              SellerHeadBlack +
                  "<a href=\"#00\"><DIV class=\"item\" onMouseOver=\"over(this)\" onMouseOut=\"out(this)\">"
                  "<DIV class=\"mytitle\">卖家：ann</DIV><div class=\"mylocal\">地区：杭州</div>"
                  "<div class=\"mycredit\">信用：</div><img src=\"" +
                  Icons + "b_red_2.gif\"/></DIV></a></body>");
    EXPECT_EQ(sellers[0].Nick, "ann");
    EXPECT_EQ(sellers[0].ShopUrl, "http://s.example/shop");
    EXPECT_EQ(sellers[0].Location, "杭州");
    EXPECT_EQ(sellers[0].CreditIcon, Icons + "b_red_2.gif");
}

TEST(SellerList, FortyItemsFromThreeSellersInOrderOfFirstAppearance) {
    std::vector<Tbk_Items_Info> items;
    for (int i = 0; i < 40; ++i)
        items.push_back(Item(i < 5 ? "a" : (i < 7 ? "b" : (i % 2 ? "c" : "a"))));
    items[6] = Item("b");
    ASHOP_ITEM sellers;
    int listed = 0;
    const std::string page = BuildSellerList(items, "#000000 ", sellers, &listed);
    EXPECT_EQ(listed, 3);
    EXPECT_EQ(sellers[0].Nick, "a");
    EXPECT_EQ(sellers[1].Nick, "b");
    EXPECT_EQ(sellers[2].Nick, "c");
    EXPECT_TRUE(sellers[3].Nick.empty());
    const auto p0 = page.find("href=\"#00\""), p1 = page.find("href=\"#01\""), p2 = page.find("href=\"#02\"");
    ASSERT_NE(p0, std::string::npos);
    ASSERT_NE(p1, std::string::npos);
    ASSERT_NE(p2, std::string::npos);
    EXPECT_LT(p0, p1);
    EXPECT_LT(p1, p2);
    EXPECT_EQ(page.find("href=\"#03\""), std::string::npos);
}

TEST(SellerList, EdgeCases) {
    ASHOP_ITEM sellers;
    int listed = -1;
    // Nicks differing in case are different sellers; the list stops at the first empty nick.
    std::vector<Tbk_Items_Info> items = {Item("Bob"), Item("bob"), Item(""), Item("carl")};
    BuildSellerList(items, "#000000 ", sellers, &listed);
    EXPECT_EQ(listed, 2);
    // An empty page, or a first item without a nick: head and "</body>" only.
    EXPECT_EQ(BuildSellerList({}, ColorToHtml(0, 0, 0), sellers, &listed), SellerHeadBlack + "</body>");
    EXPECT_EQ(listed, 0);
    std::vector<Tbk_Items_Info> noNick = {Item(""), Item("x")};
    EXPECT_EQ(BuildSellerList(noNick, ColorToHtml(0, 0, 0), sellers), SellerHeadBlack + "</body>");
}

TEST(SellerList, CreditScoresOutsideTheTableGiveNoIcon) {
    struct Case {
        std::string score, icon;
    } cases[] = {{"1", Icons + "b_red_1.gif"},
                 {"20", Icons + "s_crown_5.gif"},
                 {"0", ""},
                 {"21", ""},
                 {"-3", ""},
                 {"", ""},
                 {"abc", ""},
                 {"99999999999999999999", ""}};
    for (const Case& c : cases) {
        ASHOP_ITEM sellers;
        std::vector<Tbk_Items_Info> items = {Item("n", c.score)};
        const std::string page = BuildSellerList(items, "#000000 ", sellers);
        EXPECT_EQ(sellers[0].CreditIcon, c.icon) << c.score;
        EXPECT_NE(page.find("<img src=\"" + c.icon + "\"/>"), std::string::npos) << c.score;
    }
}

TEST(SellerList, AnswerValuesCannotBreakThePage) {
    ASHOP_ITEM sellers;
    std::vector<Tbk_Items_Info> items = {
        Item("<script>x</script>", "1", "javascript:alert(1)", "\"><img src=x onerror=y>")};
    const std::string page = BuildSellerList(items, "#000000 ", sellers);
    EXPECT_EQ(page.find("<script>x"), std::string::npos);
    EXPECT_EQ(page.find("<img src=x"), std::string::npos);
    EXPECT_NE(page.find("卖家：&lt;script&gt;"), std::string::npos);
}

TEST(SellerList, RebuildResetsPagesAndCachesButKeepsPositionForty) {
    ASHOP_ITEM sellers;
    sellers[3].PageNo = 7;
    sellers[3].Items[5].title = "old";
    sellers[3].Items[5].click_url = "http://old";
    sellers[3].ShopUrl = "http://kept";
    sellers[3].PageCount = 9;
    sellers[40].Nick = "x";
    ClearSellers(sellers);
    EXPECT_EQ(sellers[3].PageNo, 1);
    EXPECT_TRUE(sellers[3].Items[5].title.empty());
    EXPECT_TRUE(sellers[3].Items[5].click_url.empty());
    EXPECT_EQ(sellers[3].ShopUrl, "http://kept");
    EXPECT_EQ(sellers[3].PageCount, 9);
    EXPECT_TRUE(sellers[40].Nick.empty());
}

SHOP_ITEM Shop(int count) {
    SHOP_ITEM s;
    s.Nick = "ann";
    s.ShopUrl = "http://s.example/ann";
    s.Location = "杭州";
    s.CreditIcon = "http://i.example/newrank/b_red_1.gif";
    for (int i = 0; i < count; ++i) {
        ITEM& it = s.Items[i];
        it.title = "T" + std::to_string(i);
        it.price = "9.50";
        it.num_iid = std::to_string(100 + i);
        it.pic_url = "http://p.example/" + std::to_string(i) + ".jpg";
        it.volume = "3";
    }
    s.Items[count].title.clear();
    return s;
}

TEST(ShopPages, ListPageByteForByte) {
    const std::string expected =
        std::string(ListPageHead) +
        "<div class=\"item\" onMouseOver=\"over(this);\" onMouseOut=\"out(this)\"><div class=\"li\">"
        "<div class=\"div_pic\"><p><a href=\"00\"><img src=\"http://p.example/0.jpg_sum.jpg\" "
        "/></a></p></div>"
        "<div class=\"div_title\"><a href=\"00\"><span class=\"div_title1\">T0</span></a>"
        "<div class=\"div_nick\"><a href=\"http://s.example/ann\" target=\"_blank\">ann</a></div></div>"
        "<div class=\"div_price\"><span class=\"a\">￥</span><span class=\"b\">9.50</span></div>"
        "<div class=\"div_local\">杭州</div>"
        "<div class=\"div_30\">30天售出 3 件</div>"
        "<div class=\"div_credit\"><img src=\"http://i.example/newrank/b_red_1.gif\"/></div>"
        "</div></div></body>";
    EXPECT_EQ(ShopListPageHtml(Shop(1)), expected);
}

TEST(ShopPages, PicturePageByteForByte) {
    const std::string expected =
        std::string(PicturePageHead) +
        "<div class=\"li\">"
        "<a href=\"00\"><div class=\"div_pic\"><p><img src=\"http://p.example/0.jpg_160x160.jpg\" "
        "/></p></div></a>"
        "<div class=\"div_title\"><a href=\"00\">T0</a></div>"
        "<div class=\"div_price\">￥<span class=\"b\">9.50</span></div>"
        "<div class=\"div_30\">30天已售出 3 件</div>"
        "<div class=\"div_nick\"><a href=\"http://s.example/ann\" target=\"_blank\">ann</a><br/>"
        "<img src=\"http://i.example/newrank/b_red_1.gif\" /></div>"
        "<div class=\"div_local\">杭州</div>"
        "</div></body>";
    EXPECT_EQ(ShopPicturePageHtml(Shop(1)), expected);
}

TEST(ShopPages, FortyItemsNumberedWithTwoDigitsAndEmptyShop) {
    const std::string page = ShopListPageHtml(Shop(40));
    EXPECT_NE(page.find("href=\"09\""), std::string::npos);
    EXPECT_NE(page.find("href=\"39\""), std::string::npos);
    EXPECT_EQ(page.find("href=\"40\""), std::string::npos);
    EXPECT_EQ(ShopPicturePageHtml(Shop(0)), std::string(PicturePageHead) + "</body>");
    SHOP_ITEM hostile = Shop(1);
    hostile.Items[0].title = "<span class=H>red</span><script>bad()</script>";
    hostile.Items[0].price = "<b>1</b>";
    const std::string p = ShopListPageHtml(hostile);
    EXPECT_NE(p.find("<span class=\"div_title1\"><span class=H>red</span>"), std::string::npos);
    EXPECT_EQ(p.find("bad()"), std::string::npos);
    EXPECT_NE(p.find("&lt;b&gt;1"), std::string::npos);
}

TEST(ShopPager, PageCountsFromTotals) {
    struct Case {
        std::string total;
        int32_t pages;
    } cases[] = {{"40", 1}, {"41", 2}, {"80", 2},  {"1", 1},   {"0", 0},
                 {"", 0},   {"x1", 0}, {"-40", 0}, {"12 ", 0}, {"999999999999", MaxShopPages}};
    for (const Case& c : cases)
        EXPECT_EQ(ShopPageCount(c.total), c.pages) << c.total;
}

TEST(ShopPager, LabelStates) {
    struct Case {
        int32_t pageNo, pageCount;
        bool first, previous, next, last;
    } cases[] = {
        {1, 0, false, false, false, false}, {1, 1, false, false, false, false},
        {1, 2, false, false, true, true},   {2, 2, true, true, false, false},
        {2, 3, true, true, true, true},
    };
    for (const Case& c : cases) {
        const ShopPagerState s = ShopPagerFor(c.pageNo, c.pageCount);
        EXPECT_EQ(s.first, c.first) << c.pageNo << "/" << c.pageCount;
        EXPECT_EQ(s.previous, c.previous) << c.pageNo << "/" << c.pageCount;
        EXPECT_EQ(s.next, c.next) << c.pageNo << "/" << c.pageCount;
        EXPECT_EQ(s.last, c.last) << c.pageNo << "/" << c.pageCount;
    }
}

TEST(ShopRows, CopyEndMarkAndPageCount) {
    ATb_Items_Info rows;
    for (int i = 0; i < 41; ++i) {
        rows[i].title = "r" + std::to_string(i);
        rows[i].num_iid = std::to_string(i);
        rows[i].total_results = "85";
    }
    SHOP_ITEM s = Shop(0);
    s.Items[3].click_url = "http://stale";
    EXPECT_EQ(CopyShopRows(rows, s), 40);
    EXPECT_EQ(s.Items[39].title, "r39");
    EXPECT_TRUE(s.Items[40].title.empty());
    EXPECT_TRUE(s.Items[3].click_url.empty());
    EXPECT_EQ(s.PageCount, 3);

    // A shorter answer ends the list at its end, and the longer page before it
    // leaves nothing behind: the conversion asks for this page's ids only.
    for (int i = 12; i < 41; ++i)
        rows[i].title.clear();
    EXPECT_EQ(CopyShopRows(rows, s), 12);
    EXPECT_TRUE(s.Items[12].title.empty());
    EXPECT_TRUE(s.Items[20].title.empty());
    EXPECT_EQ(ShopIdList(s), "0,1,2,3,4,5,6,7,8,9,10,11,");

    // No items: nothing is read from rows the answer did not fill.
    rows[0].title.clear();
    EXPECT_EQ(CopyShopRows(rows, s), 0);
    EXPECT_EQ(s.PageCount, 0);
    EXPECT_TRUE(s.Items[0].title.empty());

    // Items but an unreadable total: they still make one page.
    rows[0].title = "only";
    rows[0].total_results = "many";
    rows[1].title.clear();
    EXPECT_EQ(CopyShopRows(rows, s), 1);
    EXPECT_EQ(s.PageCount, 1);
}

TEST(ShopLinks, IdListAndPairingByItemId) {
    SHOP_ITEM s = Shop(3);
    s.Items[5].title = "beyond the end mark";
    s.Items[5].num_iid = "105";
    EXPECT_EQ(ShopIdList(s), "100,101,102,105,");

    ATbk_Items_Convert_Info rows;
    rows[0].num_iid = "102";
    rows[0].click_url = "http://c/102";
    rows[1].num_iid = "100";
    rows[1].click_url = "http://c/100";
    rows[2].num_iid = "999";
    rows[2].click_url = "http://c/999";
    rows[4].num_iid = "101"; // after the first empty row: not read
    rows[4].click_url = "http://c/101";
    ApplyConvertedLinks(rows, s);
    EXPECT_EQ(s.Items[0].click_url, "http://c/100");
    EXPECT_TRUE(s.Items[1].click_url.empty());
    EXPECT_EQ(s.Items[2].click_url, "http://c/102");
}

TEST(LinkActions, LastTwoCharacters) {
    struct Case {
        std::string url;
        bool pass;
        int position;
    } cases[] = {
        {"about:blank", true, -1},  {"http://velmora.local/05", false, 5},
        {"#00", false, 0},          {"http://x/39", false, 39},
        {"http://x/40", false, -1}, {"http://x/99", false, -1},
        {"http://x/a5", false, -1}, {"http://x/5", false, -1},
        {"5", false, -1},           {"", false, -1},
        {"http://x/-1", false, -1},
    };
    for (const Case& c : cases) {
        const LinkAction a = ReadLinkAction(c.url);
        EXPECT_EQ(a.pass, c.pass) << c.url;
        EXPECT_EQ(a.position, c.position) << c.url;
    }
}

} // namespace
