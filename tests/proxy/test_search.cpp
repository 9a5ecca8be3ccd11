// Filters, sorting and paging of the affiliate search and the seller listing.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "proxy/Catalogue.h"
#include "proxy/Search.h"

using namespace proxy;

namespace {

// Two top categories: 1 (with 11 -> 111 and 12) and 2.
Catalogue Fixture() {
    std::vector<Category> cats = {
        {1, 0, "女装/女士精品", 1, 1, {}}, {11, 1, "女装", 1, 2, {}}, {111, 11, "连衣裙", 1, 3, {}},
        {12, 1, "女士精品", 2, 2, {}},     {2, 0, "数码", 2, 1, {}},
    };
    auto seller = [](const char* nick, int credit, const char* state, const char* city, bool guarantee) {
        Seller s;
        s.nick = nick;
        s.credit = credit;
        s.state = state;
        s.city = city;
        s.guarantee = guarantee;
        return s;
    };
    std::vector<Seller> sellers = {
        seller("abc", 3, "浙江", "杭州", true), seller("小王", 8, "广东", "深圳", false),
        seller("Tom", 16, "上海", "上海", true), seller("美国代购", 12, "美国", "纽约", false)};
    auto item = [](std::uint64_t id, const char* title, std::int64_t cid, std::size_t seller,
                   std::int64_t price, int volume, std::int64_t cv, int cn) {
        Item i;
        i.num_iid = id;
        i.title = title;
        i.cid = cid;
        i.seller = seller;
        i.price_cents = price;
        i.volume = volume;
        i.commission_volume_cents = cv;
        i.commission_num = cn;
        return i;
    };
    std::vector<Item> items = {
        item(1, "韩版连衣裙 包邮", 111, 0, 12000, 50, 3000, 10),
        item(2, "欧美连衣裙 特价", 12, 1, 8000, 300, 500, 30),
        item(3, "数码相机 正品", 2, 2, 150000, 20, 9000, 5),
        item(4, "ipod 保护套", 2, 3, 2500, 800, 100, 80),
        item(5, "iPod 充电器", 111, 2, 3000, 10, 7000, 2),
    };
    return Catalogue(std::move(cats), std::move(sellers), std::move(items));
}

std::vector<std::uint64_t> Ids(const Page& page) {
    std::vector<std::uint64_t> out;
    for (const Item* i : page.items)
        out.push_back(i->num_iid);
    return out;
}

} // namespace

TEST(Search, FiltersAndSortKeysOnAFixture) {
    const Catalogue catalogue = Fixture();
    const Searcher searcher(catalogue);
    struct Case {
        const char* name;
        SearchQuery q;
        std::vector<std::uint64_t> expected;
    };
    auto q = [](auto setup) {
        SearchQuery query;
        setup(query);
        return query;
    };
    const std::vector<Case> cases = {
        {"everything, commission volume first", q([](SearchQuery&) {}), {3, 5, 1, 2, 4}},
        {"keyword", q([](SearchQuery& s) { s.terms = {"连衣裙"}; }), {1, 2}},
        {"keyword ignores ASCII case",
         q([](SearchQuery& s) {
             s.terms = {"IPOD"};
             s.sort = SortKey::PriceAsc;
         }),
         {4, 5}},
        {"all terms must match",
         q([](SearchQuery& s) {
             s.terms = {"连衣裙", "欧美"};
         }),
         {2}},
        {"no match", q([](SearchQuery& s) { s.terms = {"手机"}; }), {}},
        {"top category takes its whole subtree",
         q([](SearchQuery& s) {
             s.cid = 1;
             s.sort = SortKey::PriceDesc;
         }),
         {1, 2, 5}},
        {"middle category", q([](SearchQuery& s) { s.cid = 11; }), {5, 1}},
        {"unknown category", q([](SearchQuery& s) { s.cid = 999; }), {}},
        {"price range, bounds included",
         q([](SearchQuery& s) {
             s.start_price_cents = 2500;
             s.end_price_cents = 12000;
             s.sort = SortKey::PriceAsc;
         }),
         {4, 5, 2, 1}},
        {"credit range",
         q([](SearchQuery& s) {
             s.start_credit = 7;
             s.end_credit = 15;
             s.sort = SortKey::CreditDesc;
         }),
         {4, 2}},
        {"area list",
         q([](SearchQuery& s) {
             s.areas = {"江苏", "浙江", "上海"};
             s.sort = SortKey::CommissionNumDesc;
         }),
         {1, 3, 5}},
        {"overseas",
         q([](SearchQuery& s) {
             s.areas = {"美国", "英国"};
         }),
         {4}},
        {"city inside a location", q([](SearchQuery& s) { s.areas = {"深圳"}; }), {2}},
        {"guarantee", q([](SearchQuery& s) { s.guarantee = true; }), {3, 5, 1}},
        {"everything combined",
         q([](SearchQuery& s) {
             s.terms = {"ipod"};
             s.cid = 1;
             s.guarantee = true;
             s.areas = {"上海"};
             s.start_credit = 16;
             s.end_price_cents = 3000;
         }),
         {5}},
    };
    for (const Case& c : cases) {
        const Page page = searcher.Search(c.q);
        EXPECT_EQ(Ids(page), c.expected) << c.name;
        EXPECT_EQ(page.total, c.expected.size()) << c.name;
    }
    SearchQuery beyond;
    beyond.page_no = 2;
    const Page page = searcher.Search(beyond);
    EXPECT_TRUE(page.items.empty());
    EXPECT_EQ(page.total, 5u) << "a page past the end still carries the total";
}

TEST(Search, SellerListingByNickQueryAndOrder) {
    const Catalogue catalogue = Fixture();
    const Searcher searcher(catalogue);
    ShopQuery by_nick;
    by_nick.nicks = {"Tom"};
    EXPECT_EQ(Ids(searcher.ListShop(by_nick)), (std::vector<std::uint64_t>{3, 5})) << "by volume";
    by_nick.sort = SortKey::PriceAsc;
    EXPECT_EQ(Ids(searcher.ListShop(by_nick)), (std::vector<std::uint64_t>{5, 3}));
    ShopQuery two;
    two.nicks = {"abc", "小王"};
    EXPECT_EQ(Ids(searcher.ListShop(two)), (std::vector<std::uint64_t>{2, 1}));
    ShopQuery unknown;
    unknown.nicks = {"nobody"};
    EXPECT_EQ(searcher.ListShop(unknown).total, 0u);
    ShopQuery nick_case;
    nick_case.nicks = {"tom"};
    EXPECT_EQ(searcher.ListShop(nick_case).total, 0u) << "nicks are compared exactly";
    ShopQuery q;
    q.terms = {"ipod"};
    q.cid = 2;
    EXPECT_EQ(Ids(searcher.ListShop(q)), (std::vector<std::uint64_t>{4}));
}

TEST(Search, PagesOfFortyCoverTheResultInOrder) {
    const Catalogue catalogue(3);
    const Searcher searcher(catalogue);
    const auto& sellers = catalogue.sellers();
    for (SortKey key : {SortKey::CommissionVolumeDesc, SortKey::PriceAsc, SortKey::PriceDesc,
                        SortKey::CreditDesc, SortKey::CommissionNumDesc}) {
        SearchQuery q;
        q.sort = key;
        q.start_price_cents = 1000;
        q.end_price_cents = 50000;
        std::vector<const Item*> all;
        std::size_t total = 0;
        for (q.page_no = 1;; ++q.page_no) {
            const Page page = searcher.Search(q);
            total = page.total;
            if (page.items.empty()) break;
            EXPECT_TRUE(page.items.size() == 40 || all.size() + page.items.size() == total);
            all.insert(all.end(), page.items.begin(), page.items.end());
        }
        ASSERT_GT(total, 80u);
        EXPECT_EQ(all.size(), total);
        EXPECT_EQ(std::set<const Item*>(all.begin(), all.end()).size(), total) << "no item on two pages";
        for (std::size_t i = 1; i < all.size(); ++i) {
            const Item &a = *all[i - 1], &b = *all[i];
            switch (key) {
            case SortKey::CommissionVolumeDesc:
                EXPECT_GE(a.commission_volume_cents, b.commission_volume_cents);
                break;
            case SortKey::PriceAsc:
                EXPECT_LE(a.price_cents, b.price_cents);
                break;
            case SortKey::PriceDesc:
                EXPECT_GE(a.price_cents, b.price_cents);
                break;
            case SortKey::CreditDesc:
                EXPECT_GE(sellers[a.seller].credit, sellers[b.seller].credit);
                break;
            default:
                EXPECT_GE(a.commission_num, b.commission_num);
                break;
            }
        }
        for (const Item* i : all) {
            EXPECT_GE(i->price_cents, 1000);
            EXPECT_LE(i->price_cents, 50000);
        }
    }
}

TEST(Search, RequestValues) {
    struct PriceCase {
        const char* text;
        std::optional<std::int64_t> cents;
    };
    for (const PriceCase& c : {PriceCase{"10", 1000},
                               {"10.5", 1050},
                               {"10.05", 1005},
                               {"0", 0},
                               {".5", 50},
                               {"", std::nullopt},
                               {"abc", std::nullopt},
                               {"1e5", std::nullopt},
                               {"-3", std::nullopt},
                               {"1.234", std::nullopt},
                               {".", std::nullopt},
                               {"99999999999999", std::nullopt}})
        EXPECT_EQ(ParsePrice(c.text), c.cents) << c.text;
    EXPECT_EQ(ParseCredit("1heart"), 1);
    EXPECT_EQ(ParseCredit("5diamond"), 10);
    EXPECT_EQ(ParseCredit("5goldencrown"), 20);
    EXPECT_EQ(ParseCredit("6heart"), std::nullopt);
    EXPECT_EQ(ParseSearchSort("credit_desc"), SortKey::CreditDesc);
    EXPECT_EQ(ParseSearchSort("volume"), std::nullopt);
    EXPECT_EQ(ParseInt("0", 1, 10), std::nullopt);
    EXPECT_EQ(ParseInt("12x", 1, 100), std::nullopt);
    EXPECT_EQ(SplitList(" 江苏, 浙江,,上海 ,", ','), (std::vector<std::string>{"江苏", "浙江", "上海"}));
    EXPECT_EQ(SplitTerms("连衣裙\xE3\x80\x80韩版  包邮"),
              (std::vector<std::string>{"连衣裙", "韩版", "包邮"}));
}

TEST(Search, HighlightWrapsEveryMatch) {
    struct Case {
        const char* title;
        std::vector<std::string> terms;
        const char* expected;
    };
    for (const Case& c : {
             Case{"韩版连衣裙 包邮", {"连衣裙"}, "韩版<span class=H>连衣裙</span> 包邮"},
             Case{"iPod 充电器", {"ipod"}, "<span class=H>iPod</span> 充电器"},
             Case{"aa aa", {"aa"}, "<span class=H>aa</span> <span class=H>aa</span>"},
             Case{"abcd", {"ab", "bc"}, "<span class=H>abc</span>d"},
             Case{"韩版", {}, "韩版"},
         })
        EXPECT_EQ(HighlightTitle(c.title, c.terms), c.expected) << c.title;
}
