// The proxy over HTTP, in-process on a free loopback port: the four signed
// services with the client's own components, the error answers, the other
// paths and the faults.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <httplib.h>

#include "proxy/Catalogue.h"
#include "proxy/Server.h"
#include "service/Request.h"
#include "service/Taobao_Itemcats.h"
#include "service/Taobao_Items.h"
#include "service/Taobaoke_Items.h"
#include "service/Taobaoke_Items_Convert.h"

using namespace proxy;

namespace {

constexpr int32_t kStamp = 1285372800;

class ProxyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = Launch({}); }
    static void TearDownTestSuite() { server_.reset(); }

    static std::unique_ptr<ProxyServer> Launch(ProxyOptions options) {
        options.port = 0;
        auto s = std::make_unique<ProxyServer>(std::move(options));
        EXPECT_GT(s->Start(), 0);
        return s;
    }

    // The request target a component would send for the given conditions.
    template <class Traits> static std::string Target(typename Traits::Cond cond, const char* path) {
        typename Traits::Info names{};
        TFetcher<Traits>::PrepareNames(names);
        if (cond.pid.empty()) cond.pid = PublisherId;
        cond.url = path;
        return TFetcher<Traits>::BuildUrl(cond, names, kStamp);
    }

    static httplib::Result Get(const ProxyServer& s, const std::string& target,
                               httplib::Headers headers = {}) {
        httplib::Client client("127.0.0.1", s.port());
        client.set_read_timeout(5);
        return client.Get(target.c_str(), headers);
    }

    static std::string Url(const ProxyServer& s, const char* path) { return s.BaseUrl() + path; }

    static std::unique_ptr<ProxyServer> server_;
};
std::unique_ptr<ProxyServer> ProxyTest::server_;

Tbk_Items_Cond SearchCond(const char* keyword, const char* cid = "") {
    Tbk_Items_Cond c{};
    c.keyword = keyword;
    c.cid = cid;
    c.page_no = "1";
    return c;
}

} // namespace

// ---- round trips through the client's components, with real signatures ----

TEST_F(ProxyTest, SearchRoundTripFillsFortyRowsWithHighlightedTitles) {
    TTaobaoke_Items search;
    Tbk_Items_Cond cond = SearchCond("包邮", "0");
    cond.pid = PublisherId;
    cond.url = Url(*server_, TbkItemsPath);
    cond.sort = "price_asc";
    const ATbk_Items_Info* rows = nullptr;
    ASSERT_TRUE(search.Fetch(cond, {}, rows));
    const int total = std::stoi((*rows)[0].total_results);
    ASSERT_GT(total, 40);
    double last = 0;
    for (int i = 0; i < 40; ++i) {
        const auto& row = (*rows)[i];
        EXPECT_NE(row.title.find("<span class=H>包邮</span>"), std::string::npos) << row.title;
        EXPECT_GE(std::stod(row.price), last);
        last = std::stod(row.price);
        EXPECT_EQ(row.pic_url, Url(*server_, "/pic/") + row.num_iid);
        EXPECT_NE(row.click_url.find(PublisherId), std::string::npos);
        const int credit = std::stoi(row.seller_credit_score);
        EXPECT_TRUE(credit >= 1 && credit <= 20);
        EXPECT_FALSE(row.nick.empty());
        EXPECT_FALSE(row.item_location.empty());
    }
    EXPECT_TRUE((*rows)[40].title.empty());
}

TEST_F(ProxyTest, CategoryRoundTripWalksDownTheTree) {
    TTaobao_Itemcats cats;
    Tb_Itemcats_Cond cond{};
    cond.pid = PublisherId;
    cond.url = Url(*server_, TbItemcatsPath);
    cond.parent_cid = "0";
    const ATb_Itemcats_Info* rows = nullptr;
    ASSERT_TRUE(cats.Fetch(cond, {}, rows));
    EXPECT_EQ((*rows)[0].name, "女装/女士精品");
    EXPECT_EQ((*rows)[64].name, "乐器/吉他/钢琴/配件");
    EXPECT_TRUE((*rows)[65].cid.empty());
    EXPECT_EQ((*rows)[0].is_parent, "true");
    EXPECT_EQ((*rows)[0].parent_cid, "0");

    // Down to a leaf: every level's children name their parent.
    std::string parent = (*rows)[0].cid;
    for (int depth = 2;; ++depth) {
        cond.parent_cid = parent;
        ASSERT_TRUE(cats.Fetch(cond, {}, rows));
        ASSERT_FALSE((*rows)[0].cid.empty()) << "depth " << depth;
        EXPECT_EQ((*rows)[0].parent_cid, parent);
        EXPECT_EQ((*rows)[0].sort_order, "1");
        if ((*rows)[0].is_parent != "true") break;
        parent = (*rows)[0].cid;
        ASSERT_LE(depth, 4);
    }
    cond.parent_cid.clear();
    cond.cids = (*rows)[0].cid;
    ASSERT_TRUE(cats.Fetch(cond, {}, rows));
    EXPECT_EQ((*rows)[0].cid, cond.cids);
    EXPECT_TRUE((*rows)[1].cid.empty());
}

TEST_F(ProxyTest, SellerItemsRoundTripWithLocationAndPaging) {
    const auto& catalogue = server_->catalogue();
    // The seller with the most items, so there is a second page.
    std::vector<int> count(catalogue.sellers().size());
    for (const auto& i : catalogue.items())
        ++count[i.seller];
    const auto& seller = catalogue.sellers()[std::max_element(count.begin(), count.end()) - count.begin()];

    TTaobao_Items shop;
    Tb_Items_Cond cond{};
    cond.pid = PublisherId;
    cond.url = Url(*server_, TbItemsPath);
    cond.nicks = seller.nick;
    cond.page_no = "1";
    cond.order_by = "volume";
    Tb_Items_Info names{};
    names.desc = "no";
    const ATb_Items_Info* rows = nullptr;
    ASSERT_TRUE(shop.Fetch(cond, names, rows));
    const int total = std::stoi((*rows)[0].total_results);
    EXPECT_EQ(total, *std::max_element(count.begin(), count.end()));
    int shown = 0;
    for (; shown < 40 && !(*rows)[shown].title.empty(); ++shown) {
        const auto& row = (*rows)[shown];
        EXPECT_EQ(row.nick, seller.nick);
        EXPECT_EQ(row.city, seller.city);
        EXPECT_EQ(row.state, seller.state);
        EXPECT_TRUE(row.desc.empty()) << "no description was asked for";
        if (shown > 0) {
            EXPECT_GE(std::stoi((*rows)[shown - 1].volume), std::stoi(row.volume));
        }
    }
    EXPECT_EQ(shown, std::min(total, 40));
    if (total > 40) {
        cond.page_no = "2";
        ASSERT_TRUE(shop.Fetch(cond, names, rows));
        EXPECT_FALSE((*rows)[0].title.empty());
    }
}

TEST_F(ProxyTest, ConvertRoundTripAnswersInAnotherOrder) {
    const auto& items = server_->catalogue().items();
    std::string ids;
    for (int i = 0; i < 5; ++i)
        ids += std::to_string(items[i * 100].num_iid) + ",";
    ids += "1,"; // not in the catalogue: no row

    TTaobaoke_Items_Convert convert;
    Tbk_Items_Convert_Cond cond{};
    cond.pid = PublisherId;
    cond.url = Url(*server_, TbkItemsConvertPath);
    cond.num_iids = ids;
    const ATbk_Items_Convert_Info* rows = nullptr;
    ASSERT_TRUE(convert.Fetch(cond, {}, rows));
    EXPECT_EQ((*rows)[0].total_results, "5");
    EXPECT_TRUE((*rows)[5].num_iid.empty());
    EXPECT_NE((*rows)[0].num_iid, std::to_string(items[0].num_iid)) << "rows come in another order";
    for (int i = 0; i < 5; ++i) {
        const std::string id = std::to_string(items[i * 100].num_iid);
        const auto row =
            std::find_if(rows->begin(), rows->begin() + 5, [&](const auto& r) { return r.num_iid == id; });
        ASSERT_NE(row, rows->begin() + 5) << id;
        EXPECT_EQ(row->click_url, Url(*server_, "/click/item/") + id + "?pid=" + PublisherId);
    }
}

// ---- signatures ----

TEST_F(ProxyTest, WrongOrMissingSignatureGetsAnErrorAnswerWithoutMarker) {
    const std::string good = Target<Taobaoke_Items_Traits>(SearchCond("abc", "0"), TbkItemsPath);
    ASSERT_EQ(Get(*server_, good)->status, 200);
    const std::string bad = good.substr(0, good.size() - 32) + std::string(32, '0');
    const std::string unsigned_ = good.substr(0, good.find("&sign="));
    // Changing a signed value breaks the signature as well.
    std::string tampered = good;
    tampered.replace(tampered.find("page_no=1"), 9, "page_no=2");
    for (const std::string& target : {bad, unsigned_, tampered}) {
        auto res = Get(*server_, target);
        ASSERT_TRUE(res) << target;
        EXPECT_NE(res->body.find("<error_response>"), std::string::npos) << target;
        EXPECT_NE(res->body.find("<code>25</code>"), std::string::npos) << target;
        TTaobaoke_Items reader;
        const ATbk_Items_Info* rows = nullptr;
        EXPECT_FALSE(reader.ParseAnswer({}, res->body, rows)) << "the client must see a failure";
    }
}

TEST_F(ProxyTest, KeywordWordIsSignedButNotSent) {
    // The client drops "&keyword=" for the word "keyword" but signs it.
    const std::string target = Target<Taobaoke_Items_Traits>(SearchCond("keyword", "0"), TbkItemsPath);
    ASSERT_EQ(target.find("keyword="), std::string::npos);
    auto res = Get(*server_, target);
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("<total_results>0</total_results>"), std::string::npos) << res->body;

    // Without the pair and signed with an empty keyword: all of the category.
    std::string empty = Target<Taobaoke_Items_Traits>(SearchCond("", "0"), TbkItemsPath);
    const auto at = empty.find("&keyword=&");
    ASSERT_NE(at, std::string::npos);
    empty.erase(at, 9);
    res = Get(*server_, empty);
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("<total_results>" + std::to_string(server_->catalogue().items().size())),
              std::string::npos);
}

// ---- malformed requests ----

TEST_F(ProxyTest, MalformedRequestsGetErrorAnswers) {
    auto search = [](auto setup) {
        Tbk_Items_Cond c = SearchCond("abc", "0");
        setup(c);
        return Target<Taobaoke_Items_Traits>(c, TbkItemsPath);
    };
    Tb_Items_Cond shop{};
    shop.nicks = "abc";
    shop.order_by = "sideways";
    Tb_Itemcats_Cond no_parent{};
    Tbk_Items_Convert_Cond letters{};
    letters.num_iids = "12,ab,";
    Tbk_Items_Convert_Cond too_many{};
    for (int i = 0; i < 41; ++i)
        too_many.num_iids += std::to_string(1000 + i) + ",";
    struct Case {
        std::string target;
        int status;
        const char* body;
    };
    const std::vector<Case> cases = {
        {search([](auto& c) { c.page_no = "abc"; }), 400, "Invalid arguments:page_no"},
        {search([](auto& c) { c.page_no = "0"; }), 400, "Invalid arguments:page_no"},
        {search([](auto& c) { c.sort = "cheapest"; }), 400, "Invalid arguments:sort"},
        {search([](auto& c) { c.start_price = "1e5"; }), 400, "Invalid arguments:start_price"},
        {search([](auto& c) { c.end_credit = "9heart"; }), 400, "Invalid arguments:end_credit"},
        {search([](auto& c) { c.guarantee = "yes"; }), 400, "Invalid arguments:guarantee"},
        {search([](auto& c) { c.cid = "x1"; }), 400, "Invalid arguments:cid"},
        {search([](auto& c) { c.keyword = "\xFF\xFE"; }), 400, "Invalid arguments:keyword"},
        {search([](auto& c) {
             c.keyword = "";
             c.cid = "";
         }),
         400, "Missing required arguments:cid or keyword"},
        {"/aobao/tbk_items.php?cid=0&stamp=1&sign=x", 400, "Missing required arguments:pid"},
        {"/aobao/tbk_items.php?cid=0&pid=p&stamp=x1&sign=x", 400, "Invalid arguments:stamp"},
        {search([](auto& c) { c.pid = "\xFF\xFE"; }), 400, "Invalid arguments:pid"},
        {Target<Taobao_Items_Traits>(shop, TbItemsPath), 400, "Invalid arguments:order_by"},
        {Target<Taobao_Itemcats_Traits>(no_parent, TbItemcatsPath), 400, "Missing required arguments"},
        {Target<Taobaoke_Items_Convert_Traits>(letters, TbkItemsConvertPath), 400,
         "Invalid arguments:num_iids"},
        {Target<Taobaoke_Items_Convert_Traits>(too_many, TbkItemsConvertPath), 400,
         "Invalid arguments:num_iids"},
        {"/aobao/III/ok.php", 400, "error"},
        {"/aobao/nothing.php", 404, "Not Found"},
        {"/pic/1_sum.jpg", 404, "Not Found"},
        {"/newrank/b_red_6.gif", 404, "Not Found"},
        {"/click/shop/0", 404, "Not Found"},
        {"/aobao/III/update.zip", 404, "Not Found"},
        {"/aobao/tbk_items.php?keyword=" + std::string(20000, 'a'), 414, "URI Too Long"},
    };
    for (const Case& c : cases) {
        auto res = Get(*server_, c.target);
        ASSERT_TRUE(res) << c.target.substr(0, 200);
        EXPECT_EQ(res->status, c.status) << c.target.substr(0, 200);
        EXPECT_NE(res->body.find(c.body), std::string::npos) << c.target.substr(0, 200) << "\n" << res->body;
    }
    EXPECT_EQ(Get(*server_, "/control/ping")->status, 200) << "still serving";
}

// ---- the other paths ----

TEST_F(ProxyTest, PicturesAndLinksFollowTheHostTheRequestCameIn) {
    const std::string host = "localhost:" + std::to_string(server_->port());
    auto res =
        Get(*server_, Target<Taobaoke_Items_Traits>(SearchCond("", "16"), TbkItemsPath), {{"Host", host}});
    ASSERT_TRUE(res);
    TTaobaoke_Items reader;
    const ATbk_Items_Info* rows = nullptr;
    ASSERT_TRUE(reader.ParseAnswer({}, res->body, rows));
    const auto& row = (*rows)[0];
    ASSERT_EQ(row.pic_url.rfind("http://" + host + "/pic/", 0), 0u) << row.pic_url;

    const std::string pic_path = row.pic_url.substr(7 + host.size());
    for (auto [suffix, size] : {std::pair{"_sum.jpg", 80u}, {"_160x160.jpg", 160u}}) {
        auto pic = Get(*server_, pic_path + suffix);
        ASSERT_TRUE(pic);
        EXPECT_EQ(pic->status, 200);
        EXPECT_EQ(pic->get_header_value("Content-Type"), "image/png");
        ASSERT_GT(pic->body.size(), 24u);
        EXPECT_EQ(static_cast<unsigned char>(pic->body[19]) | static_cast<unsigned char>(pic->body[18]) << 8,
                  size);
    }
    auto item = Get(*server_, row.click_url.substr(7 + host.size()));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->status, 200);
    EXPECT_NE(item->body.find(row.num_iid), std::string::npos);
    auto shop = Get(*server_, row.shop_click_url.substr(7 + host.size()));
    ASSERT_TRUE(shop);
    EXPECT_NE(shop->body.find(row.nick), std::string::npos);
}

TEST_F(ProxyTest, CreditIconsArePictures) {
    for (const char* name : {"b_red_1.gif", "s_blue_3.gif", "s_cap_5.gif", "s_crown_5.gif"}) {
        auto res = Get(*server_, std::string("/newrank/") + name);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 200) << name;
        EXPECT_EQ(res->get_header_value("Content-Type"), "image/gif");
        EXPECT_EQ(res->body.substr(0, 6), "GIF89a");
    }
}

TEST_F(ProxyTest, PublishedPagesAndCounter) {
    auto pindao = Get(*server_, PindaoPath);
    ASSERT_TRUE(pindao);
    EXPECT_EQ(pindao->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(pindao->body.find("charset=utf-8"), std::string::npos);
    EXPECT_NE(pindao->body.find("淘宝频道"), std::string::npos);
    auto huodong = Get(*server_, HuodongPath);
    ASSERT_TRUE(huodong);
    EXPECT_EQ(huodong->get_header_value("Content-Type"), "text/html; charset=GBK");
    EXPECT_NE(huodong->body.find("charset=gbk"), std::string::npos);
    EXPECT_NE(huodong->body.find("\xC8\xC8\xC3\xC5\xBB\xEE\xB6\xAF"), std::string::npos) << "热门活动 in GBK";

    const auto before = server_->CountVisits();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Get(*server_, CountPath)->status, 200);
    EXPECT_EQ(server_->CountVisits(), before + 3);
    auto stats = Get(*server_, "/control/stats");
    ASSERT_TRUE(stats);
    EXPECT_NE(stats->body.find("count_visits=" + std::to_string(before + 3) + "\n"), std::string::npos);
    EXPECT_NE(stats->body.find("hits /aobao/III/pindao.html=1\n"), std::string::npos) << stats->body;
}

TEST(ProxyServerOptions, SoftwareInformationAndUpdateArchive) {
    const auto zip = std::filesystem::temp_directory_path() / "velmora-proxy-test-update.zip";
    const std::string bytes = std::string("PK\x03\x04", 4) + std::string(100, '\x01');
    std::ofstream(zip, std::ios::binary) << bytes;
    ProxyOptions o;
    o.port = 0;
    o.version = "v1.1";
    o.update_name = "Velmora11";
    o.update_archive = zip.string();
    ProxyServer s(o);
    ASSERT_GT(s.Start(), 0);
    httplib::Client client("127.0.0.1", s.port());
    auto ok = client.Get("/aobao/III/ok.php?pid=mm_24680135_0_0");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->status, 200);
    // Non-empty lines 2 to 7, value after the first "=".
    std::vector<std::string> values;
    std::istringstream in(ok->body);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) values.push_back(line.substr(line.find('=') + 1));
    }
    ASSERT_EQ(values.size(), 7u);
    EXPECT_EQ(values[3], "Velmora11");                      // UpdateName
    EXPECT_EQ(values[4], "v1.1");                           // Version
    EXPECT_EQ(values[5], s.BaseUrl() + kUpdateArchivePath); // UpdateUrl
    auto archive = client.Get(kUpdateArchivePath);
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->status, 200);
    EXPECT_EQ(archive->get_header_value("Content-Type"), "application/zip");
    EXPECT_EQ(archive->body, bytes);
    std::filesystem::remove(zip);
}

TEST(ProxyServerOptions, GbkAnswersReadTheSameAsUtf8) {
    ProxyOptions utf8, gbk;
    utf8.port = gbk.port = 0;
    gbk.gbk = true;
    ProxyServer a(utf8), b(gbk);
    ASSERT_GT(a.Start(), 0);
    ASSERT_GT(b.Start(), 0);
    TTaobaoke_Items ra, rb;
    Tbk_Items_Cond cond = SearchCond("韩版", "0");
    cond.pid = PublisherId;
    const ATbk_Items_Info *rows_a = nullptr, *rows_b = nullptr;
    cond.url = a.BaseUrl() + TbkItemsPath;
    ASSERT_TRUE(ra.Fetch(cond, {}, rows_a));
    cond.url = b.BaseUrl() + TbkItemsPath;
    ASSERT_TRUE(rb.Fetch(cond, {}, rows_b));
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ((*rows_a)[i].title, (*rows_b)[i].title);
        EXPECT_EQ((*rows_a)[i].nick, (*rows_b)[i].nick);
        EXPECT_EQ((*rows_a)[i].item_location, (*rows_b)[i].item_location);
    }
    httplib::Client client("127.0.0.1", b.port());
    Tb_Itemcats_Cond top{};
    top.parent_cid = "0";
    Tb_Itemcats_Info names{};
    TFetcher<Taobao_Itemcats_Traits>::PrepareNames(names);
    top.pid = PublisherId;
    top.url = TbItemcatsPath;
    auto res = client.Get(TFetcher<Taobao_Itemcats_Traits>::BuildUrl(top, names, kStamp).c_str());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->body.rfind("<?xml version=\"1.0\" encoding=\"GBK\" ?>", 0), 0u);
    EXPECT_NE(res->body.find("\xC5\xAE\xD7\xB0"), std::string::npos) << "女装 in GBK";
    EXPECT_EQ(res->body.find("女装"), std::string::npos);
}

TEST(ProxyServerOptions, FaultsOnDemandAndTheRequestLog) {
    const auto log = std::filesystem::temp_directory_path() / "velmora-proxy-test.log";
    std::filesystem::remove(log);
    ProxyOptions o;
    o.port = 0;
    o.stall_ms = 1500;
    o.log_path = log.string();
    ProxyServer s(o);
    ASSERT_GT(s.Start(), 0);
    httplib::Client client("127.0.0.1", s.port());
    client.set_read_timeout(0, 500 * 1000);
    const char* ok = "/aobao/III/ok.php?pid=abc";
    ASSERT_EQ(client.Get(ok)->status, 200);

    ASSERT_EQ(client.Get("/control/faults?fail=/aobao/III/ok.php")->status, 200);
    EXPECT_EQ(client.Get(ok)->status, 500);
    EXPECT_EQ(client.Get("/aobao/III/pindao.html")->status, 200) << "other paths unaffected";

    ASSERT_EQ(client.Get("/control/faults?fail=&close=/aobao/III/ok.php")->status, 200);
    auto closed = client.Get(ok);
    EXPECT_FALSE(closed) << "connection closed without an answer";

    ASSERT_EQ(client.Get("/control/faults?close=&stall=/aobao/III/ok.php")->status, 200);
    auto stalled = client.Get(ok);
    EXPECT_FALSE(stalled) << "no answer within the client's time-out";

    ASSERT_EQ(client.Get("/control/reset")->status, 200);
    ASSERT_EQ(client.Get("/control/faults?delay_ms=300")->status, 200);
    client.set_read_timeout(5);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(client.Get(ok)->status, 200);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(300));
    EXPECT_EQ(s.faults().delay_ms, 300);

    // Every request line, exactly as received.
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(lines[0], "GET /aobao/III/ok.php?pid=abc");
    EXPECT_EQ(lines[1], "GET /control/faults?fail=/aobao/III/ok.php");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "GET /aobao/III/ok.php?pid=abc"), 5);
    s.Stop();
    std::filesystem::remove(log);
}

TEST(ProxyServerOptions, StopWakesAStalledRequest) {
    ProxyOptions o;
    o.port = 0;
    o.stall_ms = 60000;
    o.faults.stall_paths = {"/aobao/III/ok.php"};
    auto s = std::make_unique<ProxyServer>(o);
    ASSERT_GT(s->Start(), 0);
    std::thread client([port = s->port()] {
        httplib::Client c("127.0.0.1", port);
        c.set_read_timeout(30);
        EXPECT_FALSE(c.Get("/aobao/III/ok.php?pid=a"));
    });
    while (s->Hits("/aobao/III/ok.php") == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto t0 = std::chrono::steady_clock::now();
    s->Stop();
    client.join();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10))
        << "not held for the full stall";
}

TEST(ProxyServerOptions, CommandLine) {
    ProxyOptions o;
    bool help = false;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--port", "0", "--gbk", "--seed", "9", "--fail-path", "/a", "--fail-path", "/b",
                              "--version", "v2.0", "--delay-ms", "5"},
                             o, help, error))
        << error;
    EXPECT_EQ(o.port, 0);
    EXPECT_TRUE(o.gbk);
    EXPECT_EQ(o.seed, 9u);
    EXPECT_EQ(o.faults.fail_paths, (std::set<std::string>{"/a", "/b"}));
    EXPECT_EQ(o.version, "v2.0");
    EXPECT_EQ(o.faults.delay_ms, 5);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--port", "70000"},
                                                {"--port"},
                                                {"--bogus", "1"},
                                                {"--version", "v\"1"},
                                                {"--update-name", "a\nb"},
                                                {"--delay-ms", "-1"}}) {
        ProxyOptions p;
        EXPECT_FALSE(ParseOptions(bad, p, help, error)) << bad[0];
    }
    ASSERT_TRUE(ParseOptions({"--help"}, o, help, error));
    EXPECT_TRUE(help);
}
