// Fetch end to end against a loopback server, for each of the four components.
#include "LoopbackServer.h"
#include "service/Taobao_Itemcats.h"
#include "service/Taobao_Items.h"
#include "service/Taobaoke_Items.h"
#include "service/Taobaoke_Items_Convert.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <iconv.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// What each component needs to be driven the same way: valid conditions, how to
// break its own requirement, and the field that identifies a row.
template <class C> struct Kit;

template <> struct Kit<TTaobaoke_Items> {
    static constexpr const char* Path = TbkItemsPath;
    static Tbk_Items_Cond Valid() {
        Tbk_Items_Cond c;
        c.cid = "0";
        return c;
    }
    static void Unmet(Tbk_Items_Cond& c) { c.cid.clear(), c.keyword.clear(); }
    static constexpr auto Key = &Tbk_Items_Info::title;
    static constexpr const char* KeyName = "title";
};

template <> struct Kit<TTaobao_Itemcats> {
    static constexpr const char* Path = TbItemcatsPath;
    static Tb_Itemcats_Cond Valid() {
        Tb_Itemcats_Cond c;
        c.parent_cid = "0";
        return c;
    }
    static void Unmet(Tb_Itemcats_Cond& c) { c.cids.clear(), c.parent_cid.clear(); }
    static constexpr auto Key = &Tb_Itemcats_Info::cid;
    static constexpr const char* KeyName = "cid";
};

template <> struct Kit<TTaobao_Items> {
    static constexpr const char* Path = TbItemsPath;
    static Tb_Items_Cond Valid() {
        Tb_Items_Cond c;
        c.nicks = "卖家";
        c.page_no = "1";
        c.order_by = "volume";
        return c;
    }
    static void Unmet(Tb_Items_Cond& c) { c.q.clear(), c.cid.clear(), c.nicks.clear(); }
    static constexpr auto Key = &Tb_Items_Info::title;
    static constexpr const char* KeyName = "title";
};

template <> struct Kit<TTaobaoke_Items_Convert> {
    static constexpr const char* Path = TbkItemsConvertPath;
    static Tbk_Items_Convert_Cond Valid() {
        Tbk_Items_Convert_Cond c;
        c.num_iids = "1,2,";
        return c;
    }
    static void Unmet(Tbk_Items_Convert_Cond& c) { c.num_iids.clear(); }
    static constexpr auto Key = &Tbk_Items_Convert_Info::title;
    static constexpr const char* KeyName = "title";
};

struct Item {
    Item(std::string k, std::string e = {}, bool with = true)
        : key(std::move(k)), extra(std::move(e)), withKey(with) {}
    std::string key;
    std::string extra;      // more XML inside the item element
    bool withKey = true;    // false: the key element is missing
    bool nestedKey = false; // the key element holds an element
};

std::vector<Item> Items(size_t n, const std::string& prefix) {
    std::vector<Item> v;
    for (size_t i = 0; i < n; ++i)
        v.push_back({prefix + std::to_string(i)});
    return v;
}

struct Shape {
    std::string decl = R"(<?xml version="1.0" encoding="UTF-8"?>)";
    std::string root = "rsp";
    std::string total = "7";
    bool list = true;
    std::string between; // between item elements

    Shape& Decl(std::string v) { return decl = std::move(v), *this; }
    Shape& Root(std::string v) { return root = std::move(v), *this; }
    Shape& Total(std::string v) { return total = std::move(v), *this; }
    Shape& NoList() { return list = false, *this; }
    Shape& Between(std::string v) { return between = std::move(v), *this; }
};

// An answer in the component's shape: marker, list element, one element per item.
template <class C> std::string Answer(const std::vector<Item>& items, const Shape& s = {}) {
    using T = typename C::Traits;
    const std::string key = Kit<C>::KeyName;
    std::string x = s.decl + "<" + s.root + ">\n";
    if (!std::is_same_v<C, TTaobao_Itemcats>) x += "  <total_results>" + s.total + "</total_results>\n";
    if (s.list) {
        x += "  <" + std::string(T::ListElement) + ">\n";
        for (const auto& it : items) {
            x += "    <item>";
            if (it.nestedKey)
                x += "<" + key + "><b>" + it.key + "</b></" + key + ">";
            else if (it.withKey)
                x += "<" + key + ">" + it.key + "</" + key + ">";
            x += it.extra + "</item>\n" + s.between;
        }
        x += "  </" + std::string(T::ListElement) + ">\n";
    }
    return x + "</" + s.root + ">\n";
}

std::string Iconv(const std::string& in, const char* to) {
    iconv_t cd = iconv_open(to, "UTF-8");
    std::string out(in.size() * 4 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}

// A loopback address on which nothing listens.
std::string ClosedPortBase() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    close(fd);
    return "http://127.0.0.1:" + std::to_string(ntohs(a.sin_port));
}

template <class C> class FetchTest : public ::testing::Test {
protected:
    using K = Kit<C>;
    using Rows = typename C::Rows;
    using Cond = typename C::Cond;
    using Info = typename C::Info;

    void TearDown() override { SetStampClock(nullptr); }

    Cond MakeCond() {
        Cond c = K::Valid();
        c.pid = PublisherId;
        c.url = server.Base() + K::Path;
        return c;
    }
    bool Fetch(const Rows*& out) { return comp.Fetch(MakeCond(), Info{}, out); }
    static const std::string& Key(const Rows& rows, size_t i) { return rows[i].*K::Key; }

    LoopbackServer server;
    C comp;
};

using Components =
    ::testing::Types<TTaobaoke_Items, TTaobao_Itemcats, TTaobao_Items, TTaobaoke_Items_Convert>;
TYPED_TEST_SUITE(FetchTest, Components);

TYPED_TEST(FetchTest, SuccessReadsRowsAndServerSeesTheBuiltUrl) {
    using C = TypeParam;
    const auto when = std::chrono::system_clock::from_time_t(1285372800);
    SetStampClock([when] { return when; });
    this->server.Serve(Answer<C>(Items(3, "k"), Shape().Root("anything")));

    const typename TestFixture::Rows* rows = nullptr;
    ASSERT_TRUE(this->Fetch(rows));
    ASSERT_NE(rows, nullptr);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(this->Key(*rows, i), "k" + std::to_string(i));
    EXPECT_EQ(this->Key(*rows, 3), "");

    typename TestFixture::Info names;
    C::PrepareNames(names);
    const std::string url = C::BuildUrl(this->MakeCond(), names, GetStamp());
    ASSERT_EQ(this->server.Targets().size(), 1u);
    EXPECT_EQ(this->server.Base() + this->server.Targets()[0], url);
}

TYPED_TEST(FetchTest, IncompleteConditionsSendNothing) {
    using Cond = typename TestFixture::Cond;
    this->server.Serve(Answer<TypeParam>(Items(1, "k")));
    const std::function<void(Cond&)> breakers[] = {
        [](Cond& c) { c.pid.clear(); },
        [](Cond& c) { c.url.clear(); },
        [](Cond& c) { TestFixture::K::Unmet(c); },
    };
    for (const auto& breakIt : breakers) {
        Cond c = this->MakeCond();
        breakIt(c);
        const typename TestFixture::Rows* out = nullptr;
        EXPECT_FALSE(this->comp.Fetch(c, {}, out));
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_TRUE(this->server.Targets().empty());
}

TYPED_TEST(FetchTest, FailuresLeaveRowsAndOutputUntouched) {
    using C = TypeParam;
    using Cond = typename TestFixture::Cond;
    const std::string good = Answer<C>(Items(2, "old"));
    const std::string closed = ClosedPortBase();
    std::string billion = R"(<?xml version="1.0"?><!DOCTYPE r [<!ENTITY a "aaaaaaaaaa">)";
    for (char e = 'b'; e <= 'j'; ++e)
        billion += std::string("<!ENTITY ") + e + " \"" + std::string(10, '&') + "\">";
    for (char e = 'b'; e <= 'j'; ++e) {
        std::string ref;
        for (int i = 0; i < 10; ++i)
            ref += std::string("&") + char(e - 1) + ";";
        billion.replace(billion.find(std::string(10, '&')), 10, ref);
    }
    billion += "]>" + Answer<C>({{"&j;"}}, Shape().Decl(""));
    const std::string external =
        R"(<?xml version="1.0"?><!DOCTYPE r [<!ENTITY x SYSTEM "file:///etc/hostname">]>)" +
        Answer<C>({{"&x;"}}, Shape().Decl(""));
    const std::string oversize =
        Answer<C>({{"big", "<pad>" + std::string(17 * 1024 * 1024, 'x') + "</pad>"}});

    struct Case {
        const char* name;
        std::function<void(LoopbackServer&, C&, Cond&)> set;
    };
    auto serve = [](std::string body, int status = 200) {
        return [body, status](LoopbackServer& s, C&, Cond&) {
            s.Respond([body, status](const httplib::Request&, httplib::Response& res) {
                res.status = status;
                res.set_content(body, "text/xml");
            });
        };
    };
    const Case cases[] = {
        {"connection refused", [&](LoopbackServer&, C&, Cond& c) { c.url = closed + TestFixture::K::Path; }},
        {"unresolvable host",
         [](LoopbackServer&, C&, Cond& c) { c.url = "http://velmora-no-such-host.invalid/x"; }},
        {"no data within the read time-out",
         [](LoopbackServer& s, C& comp, Cond&) {
             comp.SetReadTimeoutMs(300);
             s.Stall();
         }},
        {"redirect not followed",
         [&](LoopbackServer& s, C&, Cond&) {
             // The target of the redirect answers well; following it would succeed.
             s.Respond([&](const httplib::Request& req, httplib::Response& res) {
                 res.set_content(good, "text/xml");
                 if (req.path == "/elsewhere") return;
                 res.status = 302;
                 res.set_header("Location", s.Base() + "/elsewhere");
             });
         }},
        {"status 404", serve(good, 404)},
        {"status 500", serve(good, 500)},
        {"not XML", serve("<html><body>oops")},
        {"truncated XML", serve(good.substr(0, good.size() / 2))},
        {"empty body", serve("")},
        {"marker missing",
         serve("<rsp><error_response><code>27</code><msg>Invalid sign</msg></error_response></rsp>")},
        {"external entity", serve(external)},
        {"billion laughs", serve(billion)},
        {"body over 16 MiB", serve(oversize)},
        {"declared GBK, bytes invalid",
         serve(R"(<?xml version="1.0" encoding="GBK"?><r>)" + std::string("\x81\x20") + "</r>")},
        {"UTF-8 bytes invalid", serve(Answer<C>({{"\xC3\x28"}}))},
    };

    const typename TestFixture::Rows* rows = nullptr;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        this->server.Serve(good);
        ASSERT_TRUE(this->Fetch(rows));
        Cond cond = this->MakeCond();
        c.set(this->server, this->comp, cond);
        const size_t before = this->server.Targets().size();
        const auto start = std::chrono::steady_clock::now();

        const typename TestFixture::Rows* out = nullptr;
        EXPECT_FALSE(this->comp.Fetch(cond, {}, out));
        EXPECT_EQ(out, nullptr);
        EXPECT_EQ(this->Key(*rows, 0), "old0");
        EXPECT_EQ(this->Key(*rows, 1), "old1");
        EXPECT_LE(this->server.Targets().size(), before + 1); // nothing followed
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        this->comp.SetReadTimeoutMs(HttpClient::DefaultReadTimeoutMs);
    }
}

TYPED_TEST(FetchTest, ReadingTheAnswer) {
    using C = TypeParam;
    constexpr size_t cap = C::Traits::Capacity;
    const typename TestFixture::Rows* rows = nullptr;

    // More items than rows: the rows that fit are stored.
    this->server.Serve(Answer<C>(Items(cap + 5, "k")));
    ASSERT_TRUE(this->Fetch(rows));
    EXPECT_EQ(this->Key(*rows, cap - 1), "k" + std::to_string(cap - 1));

    // Entities, CDATA and whitespace arrive as the parser delivers them; a missing
    // element reads as empty; comments and whitespace between items are no items.
    std::vector<Item> items = {{"a &amp; b &#x4E2D;"}, {"<![CDATA[<x>&]]>"}, {"", "", false}, {"  padded "}};
    this->server.Serve(Answer<C>(items, Shape().Between("  <!-- note -->\n")));
    ASSERT_TRUE(this->Fetch(rows));
    EXPECT_EQ(this->Key(*rows, 0), "a & b 中");
    EXPECT_EQ(this->Key(*rows, 1), "<x>&");
    EXPECT_EQ(this->Key(*rows, 2), "");
    EXPECT_EQ(this->Key(*rows, 3), "  padded ");

    // A field element holding an element fails the fetch part-way: the rows were
    // cleared and those before it already hold the new answer.
    this->server.Serve(Answer<C>(Items(5, "old")));
    ASSERT_TRUE(this->Fetch(rows));
    std::vector<Item> nested = Items(4, "new");
    nested[2].nestedKey = true;
    this->server.Serve(Answer<C>(nested));
    const typename TestFixture::Rows* out = nullptr;
    EXPECT_FALSE(this->Fetch(out));
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(this->Key(*rows, 0), "new0");
    EXPECT_EQ(this->Key(*rows, 1), "new1");
    for (size_t i = 2; i < 5; ++i)
        EXPECT_EQ(this->Key(*rows, i), "") << i;

    // So does a field element with two children.
    this->server.Serve(Answer<C>({{"text<![CDATA[more]]>"}}));
    EXPECT_FALSE(this->Fetch(out));
}

TYPED_TEST(FetchTest, DeclaredEncodingsDecodeToUtf8) {
    using C = TypeParam;
    const std::string text = "女装/女士精品 €";
    const std::string plain = Answer<C>({{text}}, Shape().Decl(""));
    const struct {
        const char* name;
        std::string body;
    } cases[] = {
        {"no declaration", plain},
        {"GBK", R"(<?xml version="1.0" encoding="GBK"?>)" + Iconv(plain, "GBK")},
        {"gb2312 holding GBK bytes", R"(<?xml version='1.0' encoding='gb2312'?>)" + Iconv(plain, "GBK")},
        {"GB18030", R"(<?xml version="1.0" encoding="GB18030"?>)" + Iconv(plain, "GB18030")},
        {"UTF-16LE with BOM",
         "\xFF\xFE" + Iconv(R"(<?xml version="1.0" encoding="UTF-16"?>)" + plain, "UTF-16LE")},
        {"UTF-16BE with BOM",
         "\xFE\xFF" + Iconv(R"(<?xml version="1.0" encoding="UTF-16"?>)" + plain, "UTF-16BE")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        this->server.Serve(c.body);
        const typename TestFixture::Rows* rows = nullptr;
        ASSERT_TRUE(this->Fetch(rows));
        EXPECT_EQ(this->Key(*rows, 0), text);
    }
}

TYPED_TEST(FetchTest, CookiesGoBackOnLaterRequestsOfTheSameComponent) {
    using C = TypeParam;
    const std::string body = Answer<C>(Items(1, "k"));
    this->server.Respond([body](const httplib::Request&, httplib::Response& res) {
        res.set_header("Set-Cookie", "sid=42; Path=/");
        res.set_content(body, "text/xml");
    });
    const typename TestFixture::Rows* rows = nullptr;
    ASSERT_TRUE(this->Fetch(rows));
    ASSERT_TRUE(this->Fetch(rows));
    C other;
    ASSERT_TRUE(other.Fetch(this->MakeCond(), {}, rows));
    const auto cookies = this->server.Cookies();
    ASSERT_EQ(cookies.size(), 3u);
    EXPECT_EQ(cookies[0], "");
    EXPECT_EQ(cookies[1], "sid=42");
    EXPECT_EQ(cookies[2], ""); // another component has its own client
}

TYPED_TEST(FetchTest, DefaultReadTimeoutIs15000Ms) {
    EXPECT_EQ(this->comp.ReadTimeoutMs(), 15000);
    EXPECT_EQ(HttpClient().ReadTimeoutMs(), 15000);
}

// The read time-out counts silence, not the length of the exchange: an answer
// whose header lines and body pieces each come within the time-out arrives
// whole even though it takes twice as long.
TEST(ReadTimeout, RestartsWithEveryHeaderLineAndBodyPiece) {
    const std::string body = Answer<TTaobaoke_Items>(Items(3, "k"));
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    socklen_t len = sizeof a;
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    std::thread server([&] {
        const int fd = accept(listener, nullptr, nullptr);
        std::string request;
        char buf[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n <= 0) break;
            request.append(buf, static_cast<size_t>(n));
        }
        const size_t quarter = body.size() / 4;
        const std::string pieces[] = {
            "HTTP/1.1 200 OK\r\n",
            "Content-Type: text/xml\r\n",
            "Connection: close\r\n",
            "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n",
            body.substr(0, quarter),
            body.substr(quarter, quarter),
            body.substr(2 * quarter, quarter),
            body.substr(3 * quarter),
        };
        for (const auto& p : pieces) {
            if (send(fd, p.data(), p.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(p.size())) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        close(fd);
    });

    TTaobaoke_Items comp;
    comp.SetReadTimeoutMs(1000);
    Tbk_Items_Cond cond;
    cond.pid = PublisherId;
    cond.url = "http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + TbkItemsPath;
    cond.cid = "0";
    const ATbk_Items_Info* rows = nullptr;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(comp.Fetch(cond, {}, rows));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
    server.join();
    close(listener);
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ((*rows)[2].title, "k2");
}

// ---- The clearing rules of each component ----

TEST(SearchRows, ClearedRangeAndTotals) {
    LoopbackServer server;
    TTaobaoke_Items comp;
    Tbk_Items_Cond cond;
    cond.pid = PublisherId;
    cond.url = server.Base() + TbkItemsPath;
    cond.keyword = "鞋";
    const ATbk_Items_Info* rows = nullptr;

    server.Serve(Answer<TTaobaoke_Items>(Items(50, "a"), Shape().Total("900")));
    ASSERT_TRUE(comp.Fetch(cond, {}, rows));
    server.Serve(Answer<TTaobaoke_Items>(Items(40, "b"), Shape().Total("123")));
    ASSERT_TRUE(comp.Fetch(cond, {}, rows));
    for (size_t i = 0; i < 40; ++i)
        EXPECT_EQ((*rows)[i].total_results, "123") << i;
    EXPECT_EQ((*rows)[39].title, "b39");
    for (size_t i = 40; i <= 42; ++i)
        EXPECT_EQ((*rows)[i].title + (*rows)[i].total_results, "") << i;
    EXPECT_EQ((*rows)[43].title, "a43"); // beyond the cleared range

    // "total_results" without "taobaoke_items": success, rows 0 to 42 empty.
    server.Serve(Answer<TTaobaoke_Items>({}, Shape().Total("0").NoList()));
    ASSERT_TRUE(comp.Fetch(cond, {}, rows));
    for (size_t i = 0; i <= 42; ++i)
        EXPECT_EQ((*rows)[i].title + (*rows)[i].total_results, "") << i;
    EXPECT_EQ((*rows)[43].title, "a43");
}

TEST(CategoryRows, RowsBeyond70KeepOlderCategories) {
    LoopbackServer server;
    TTaobao_Itemcats comp;
    const Tb_Itemcats_Cond cond{PublisherId, server.Base() + TbItemcatsPath, "", "0"};
    const ATb_Itemcats_Info* rows = nullptr;

    server.Serve(Answer<TTaobao_Itemcats>(Items(90, "a")));
    ASSERT_TRUE(comp.Fetch(cond, {}, rows));
    server.Serve(Answer<TTaobao_Itemcats>(Items(10, "b")));
    ASSERT_TRUE(comp.Fetch(cond, {}, rows));
    EXPECT_EQ((*rows)[9].cid, "b9");
    for (size_t i = 10; i <= 70; ++i)
        EXPECT_EQ((*rows)[i].cid, "") << i;
    for (size_t i = 71; i < 90; ++i)
        EXPECT_EQ((*rows)[i].cid, "a" + std::to_string(i)) << i;

    server.Serve(Answer<TTaobao_Itemcats>(Items(80, "c")));
    ASSERT_TRUE(comp.Fetch(cond, {}, rows));
    EXPECT_EQ((*rows)[79].cid, "c79");

    // An empty "item_cats" succeeds with rows 0 to 70 empty.
    server.Serve(Answer<TTaobao_Itemcats>({}));
    ASSERT_TRUE(comp.Fetch(cond, {}, rows));
    EXPECT_EQ((*rows)[0].cid, "");
    EXPECT_EQ((*rows)[70].cid, "");
    EXPECT_EQ((*rows)[79].cid, "c79");
    EXPECT_EQ((*rows)[80].cid, "a80");
}

TEST(SellerItemRows, LocationAndTheTwoSparedFields) {
    LoopbackServer server;
    TTaobao_Items comp;
    Tb_Items_Cond cond;
    cond.pid = PublisherId;
    cond.url = server.Base() + TbItemsPath;
    cond.nicks = "卖家";
    Tb_Items_Info names;
    names.desc = "no";
    const ATb_Items_Info* rows = nullptr;

    auto withVolume = [](size_t n, const std::string& p) {
        auto v = Items(n, p);
        for (size_t i = 0; i < n; ++i)
            v[i].extra = "<volume>" + p + "v" + std::to_string(i) + "</volume>";
        return v;
    };
    server.Serve(Answer<TTaobao_Items>(withVolume(41, "a"), Shape().Total("100")));
    ASSERT_TRUE(comp.Fetch(cond, names, rows));
    EXPECT_EQ((*rows)[40].title, "a40");
    server.Serve(Answer<TTaobao_Items>(withVolume(12, "b"), Shape().Total("12")));
    ASSERT_TRUE(comp.Fetch(cond, names, rows));
    EXPECT_EQ((*rows)[11].title, "b11");
    EXPECT_EQ((*rows)[11].volume, "bv11");
    for (size_t i = 12; i < 40; ++i) {
        EXPECT_EQ((*rows)[i].title, "") << i;
        EXPECT_EQ((*rows)[i].total_results, "100") << i;
        EXPECT_EQ((*rows)[i].volume, "av" + std::to_string(i)) << i;
    }
    EXPECT_EQ((*rows)[40].title, "a40"); // row 40 is never cleared

    // city and state come from inside "location"; "location" itself is not read.
    const std::vector<Item> located = {
        {"t0", "<location><city>杭州</city><state>浙江</state></location><desc>d</desc>"},
        {"t1", "<location>somewhere</location>"},
        {"t2", ""},
        {"t3", "<city>x</city><state>y</state>"},
    };
    server.Serve(Answer<TTaobao_Items>(located, Shape().Total("4")));
    ASSERT_TRUE(comp.Fetch(cond, names, rows));
    EXPECT_EQ((*rows)[0].city, "杭州");
    EXPECT_EQ((*rows)[0].state, "浙江");
    EXPECT_EQ((*rows)[0].location, "");
    EXPECT_EQ((*rows)[0].desc, ""); // asked for as "no"
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ((*rows)[i].city + (*rows)[i].state, "") << i;

    // A city holding elements fails like any other field.
    server.Serve(Answer<TTaobao_Items>({{"t", "<location><city><b/></city></location>"}}));
    const ATb_Items_Info* out = nullptr;
    EXPECT_FALSE(comp.Fetch(cond, names, out));

    // An empty "items": success, row 0 keeps the earlier total; a missing total reads empty.
    server.Serve(Answer<TTaobao_Items>(located, Shape().Total("4")));
    ASSERT_TRUE(comp.Fetch(cond, names, rows));
    server.Serve("<rsp><items/></rsp>");
    ASSERT_TRUE(comp.Fetch(cond, names, rows));
    EXPECT_EQ((*rows)[0].total_results, "4");
    EXPECT_EQ((*rows)[0].title, "");
    server.Serve("<rsp><items><item><title>x</title></item></items></rsp>");
    ASSERT_TRUE(comp.Fetch(cond, names, rows));
    EXPECT_EQ((*rows)[0].total_results, "");
}

TEST(ConvertRows, FewerItemsThanAskedClearUpToRow52) {
    LoopbackServer server;
    TTaobaoke_Items_Convert comp;
    const Tbk_Items_Convert_Cond cond{PublisherId, server.Base() + TbkItemsConvertPath, "1,2,3,"};
    const ATbk_Items_Convert_Info* rows = nullptr;
    server.Serve(Answer<TTaobaoke_Items_Convert>(Items(60, "a")));
    ASSERT_TRUE(comp.Fetch(cond, {}, rows));
    server.Serve(Answer<TTaobaoke_Items_Convert>(Items(2, "b"), Shape().Total("2")));
    ASSERT_TRUE(comp.Fetch(cond, {}, rows));
    EXPECT_EQ((*rows)[1].title, "b1");
    EXPECT_EQ((*rows)[1].total_results, "2");
    for (size_t i = 2; i <= 52; ++i)
        EXPECT_EQ((*rows)[i].title + (*rows)[i].total_results, "") << i;
    EXPECT_EQ((*rows)[53].title, "a53");
    EXPECT_NE(server.Targets().back().find("&num_iids=1,2,3,&sign="), std::string::npos);
}

} // namespace
