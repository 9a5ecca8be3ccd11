// Request helpers, URL building and signatures, time stamps, reference tables.
#include "service/Data.h"
#include "service/Md5.h"
#include "service/Request.h"
#include "service/Taobao_Itemcats.h"
#include "service/Taobao_Items.h"
#include "service/Taobaoke_Items.h"
#include "service/Taobaoke_Items_Convert.h"

#include <gtest/gtest.h>

#include <chrono>

#include <cstdlib>
#include <ctime>
#include <optional>

namespace {

const std::string DefaultFields =
    "fields=nick,title,price,pic_url,num_iid,click_url,commission,commission_num,"
    "commission_rate,commission_volume,shop_click_url,seller_credit_score,"
    "item_location,volume";

TEST(Md5, Rfc1321SuiteAndPaddingBoundaries) {
    const struct {
        std::string input;
        const char* hex;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        // Lengths around the 56-byte padding limit and the 64-byte block.
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
        {"\xE6\xB1\x9F", "4e285c9f43efe3c5217acb108f3ccd8c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.size());
        EXPECT_EQ(DigestToHex(Md5Digest(c.input)), c.hex);
        EXPECT_EQ(Md5Hex(c.input), c.hex);
    }
}

TEST(Md5, DigestBytesInOrderAndHexHighNibbleFirst) {
    const Md5Hash d = Md5Digest("abc");
    EXPECT_EQ(d[0], 0x90);
    EXPECT_EQ(d[15], 0x72);
    Md5Hash x{};
    x[0] = 0x0f;
    x[15] = 0xa0;
    EXPECT_EQ(DigestToHex(x), "0f0000000000000000000000000000a0");
}

TEST(RequestText, PercentEncodeReverseAndQueryValue) {
    EXPECT_EQ(PercentEncode(""), "");
    EXPECT_EQ(PercentEncode("aZ0,"), "%61%5A%30%2C");
    EXPECT_EQ(PercentEncode("\xE5\x8C\x97"), "%E5%8C%97");
    EXPECT_EQ(PercentEncode(std::string("\0\xFF", 2)), "%00%FF");
    EXPECT_EQ(PercentEncode("江苏,浙江,上海"),
              "%E6%B1%9F%E8%8B%8F%2C%E6%B5%99%E6%B1%9F%2C%E4%B8%8A%E6%B5%B7");

    EXPECT_EQ(ReverseString("1285372800"), "0082735821");
    EXPECT_EQ(ReverseString("-1"), "1-");
    EXPECT_EQ(ReverseString(""), "");

    // Ordinary values go out byte for byte; characters that would alter the URL do not.
    EXPECT_EQ(QueryValue("123,456,"), "123,456,");
    EXPECT_EQ(QueryValue("price_asc-1.5~"), "price_asc-1.5~");
    EXPECT_EQ(QueryValue("1&cid=5#x y"), "1%26cid%3D5%23x%20y");
}

TEST(RequestText, ServerUrlsAndPaths) {
    EXPECT_STREQ(PublisherId, "mm_24680135_0_0");
    EXPECT_FALSE(ServerUrl.empty());
    EXPECT_NE(ServerUrl.back(), '/');
    EXPECT_NE(FallbackServerUrl.back(), '/');
    EXPECT_STREQ(TbkItemsPath, "/aobao/tbk_items.php");
    EXPECT_STREQ(TbItemcatsPath, "/aobao/tb_itemcats.php");
    EXPECT_STREQ(TbItemsPath, "/aobao/tb_items.php");
    EXPECT_STREQ(TbkItemsConvertPath, "/aobao/tbk_items_convert.php");
    EXPECT_STREQ(OkPath, "/aobao/III/ok.php");
}

// The worked examples, byte for byte: query string, inner string, its digest and the signature.
TEST(Signing, WorkedExamples) {
    const std::string stamp = "1285372800";
    struct Example {
        const char* name;
        std::string query, inner, expectQuery, expectInner, expectDigest, expectSign, signInput;
    };
    std::vector<Example> examples;

    {
        Tb_Itemcats_Cond c{PublisherId, "u", "", "0"};
        Tb_Itemcats_Info n;
        TTaobao_Itemcats::PrepareNames(n);
        examples.push_back(
            {"itemcats", TTaobao_Itemcats::QueryString(c, n, stamp), TTaobao_Itemcats::InnerString(c),
             "fields=cid,name,status,is_parent,sort_order,parent_cid&parent_cid=0&stamp=1285372800&"
             "pid=mm_24680135_0_0",
             "0", "cfcd208495d565ef66e7dff9f98764da", "c3d08ac019812e0a27845d11389d65ea",
             "mm_24680135_0_00082735821cfcd208495d565ef66e7dff9f98764da1285372800"});
    }
    {
        Tbk_Items_Cond c;
        c.cid = "0";
        c.keyword = "abc";
        c.sort = "price_asc";
        c.page_no = "1";
        c.pid = PublisherId;
        Tbk_Items_Info n;
        TTaobaoke_Items::PrepareNames(n);
        examples.push_back(
            {"search", TTaobaoke_Items::QueryString(c, n, stamp), TTaobaoke_Items::InnerString(c),
             DefaultFields + "&cid=0&sort=price_asc&keyword=%61%62%63&page_no=1&stamp=1285372800&pid="
                             "mm_24680135_0_0",
             "0price_ascabc1", "f4bd39540d6d1156169aeb85daaeb887", "4f82ac5ba940e15aee7e9b2784489e33", ""});
    }
    {
        Tb_Items_Cond c;
        c.pid = PublisherId;
        c.nicks = "abc";
        c.page_no = "1";
        c.order_by = "volume";
        Tb_Items_Info n;
        n.desc = "no";
        TTaobao_Items::PrepareNames(n);
        examples.push_back(
            {"seller items", TTaobao_Items::QueryString(c, n, stamp), TTaobao_Items::InnerString(c),
             "fields=volume,cid,num,no,nick,title,type,is_ex,is_3D,price,props,ems_fee,num_iid,pic_url,"
             "location,"
             "modified,post_fee,list_time,is_taobao,is_timing,input_str,detail_url,input_pids,is_virtual,"
             "postage_id,"
             "valid_thru,one_station,delist_time,seller_cids,express_fee,has_invoice,has_showcase,stuff_"
             "status,"
             "has_discount,has_warranty,auction_point,freight_payer,property_alias,approve_status&nicks=%61%"
             "62%63&"
             "page_no=1&order_by=volume&stamp=1285372800&pid=mm_24680135_0_0",
             "abc1volume", "9ba9212a547460527f9f775cada0a5dc", "f03ead6449bfbd5c5bdc39f26dc0727e", ""});
    }
    {
        Tbk_Items_Convert_Cond c{PublisherId, "u", "123,456,"};
        Tbk_Items_Convert_Info n;
        TTaobaoke_Items_Convert::PrepareNames(n);
        examples.push_back({"convert", TTaobaoke_Items_Convert::QueryString(c, n, stamp),
                            TTaobaoke_Items_Convert::InnerString(c),
                            DefaultFields + "&stamp=1285372800&pid=mm_24680135_0_0&num_iids=123,456,",
                            "123,456,", "ceb0581409fc904b43f394a590084905",
                            "d4da86a50d9cd1f776b69ea59fc3f5ee", ""});
    }

    for (const auto& e : examples) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.query, e.expectQuery);
        EXPECT_EQ(e.inner, e.expectInner);
        EXPECT_EQ(Md5Hex(e.inner), e.expectDigest);
        EXPECT_EQ(MakeSign(PublisherId, stamp, e.inner), e.expectSign);
        if (!e.signInput.empty()) {
            EXPECT_EQ(Md5Hex(e.signInput), e.expectSign);
        }
    }

    // The complete URL joins url, query and signature with "?" and "&sign=".
    Tb_Itemcats_Cond c{PublisherId, "http://h/aobao/tb_itemcats.php", "", "0"};
    Tb_Itemcats_Info n;
    TTaobao_Itemcats::PrepareNames(n);
    EXPECT_EQ(TTaobao_Itemcats::BuildUrl(c, n, 1285372800), "http://h/aobao/tb_itemcats.php?" +
                                                                examples[0].expectQuery +
                                                                "&sign=c3d08ac019812e0a27845d11389d65ea");
}

TEST(Signing, SearchKeywordAndAreaRules) {
    Tbk_Items_Info n;
    TTaobaoke_Items::PrepareNames(n);
    const struct {
        const char* name;
        std::string cid, keyword, area;
        std::optional<std::string> sentKeyword; // nullopt: no keyword pair
        const char* areaPair;                   // nullptr: no area pair
        std::string inner;
    } cases[] = {
        {"literal keyword", "5", "keyword", "", std::nullopt, nullptr, "5keyword"},
        {"empty keyword", "5", "", "", "", nullptr, "5"},
        {"area with commas", "", "x", "香港,澳门,台湾", "%78",
         "&area=%E9%A6%99%E6%B8%AF%2C%E6%BE%B3%E9%97%A8%2C%E5%8F%B0%E6%B9%BE", "香港,澳门,台湾x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tbk_Items_Cond cond;
        cond.pid = PublisherId;
        cond.cid = c.cid;
        cond.keyword = c.keyword;
        cond.area = c.area;
        const std::string q = TTaobaoke_Items::QueryString(cond, n, "1");
        if (c.sentKeyword) {
            EXPECT_NE(q.find("&keyword=" + *c.sentKeyword + "&stamp="), std::string::npos) << q;
        } else {
            EXPECT_EQ(q.find("keyword="), std::string::npos) << q;
        }
        if (c.areaPair)
            EXPECT_NE(q.find(c.areaPair), std::string::npos) << q;
        else
            EXPECT_EQ(q.find("&area="), std::string::npos) << q;
        EXPECT_EQ(TTaobaoke_Items::InnerString(cond), c.inner);
    }

    // Every search condition in its place, and the full signing order.
    Tbk_Items_Cond all{"1", PublisherId, "2",  "3",  "u",  "4",  "5",  "6", "7",
                       "8", "9",         "10", "11", "12", "13", "14", "15"};
    EXPECT_EQ(TTaobaoke_Items::QueryString(all, n, "0"),
              DefaultFields +
                  "&cid=1&auto_send=2&area=%33&sort=4&start_commissionNum=5&end_commissionNum=6&"
                  "start_commissionRate=7&end_commissionRate=8&keyword=%39&start_price=10&end_price=11&"
                  "page_no=12&start_credit=13&end_credit=14&guarantee=15&stamp=0&pid=mm_24680135_0_0");
    EXPECT_EQ(TTaobaoke_Items::InnerString(all), "134912211151410136857");
}

TEST(Signing, OtherComponentsConditionOrders) {
    Tb_Items_Cond items{PublisherId, "u", "q", "n", "c", "1", "2", "3", "o"};
    Tb_Items_Info in;
    TTaobao_Items::PrepareNames(in);
    const std::string q = TTaobao_Items::QueryString(items, in, "0");
    EXPECT_EQ(q.substr(q.find("&q=")),
              "&q=%71&nicks=%6E&cid=c&start_price=1&end_price=2&page_no=3&order_by=o&stamp=0&"
              "pid=mm_24680135_0_0");
    EXPECT_EQ(TTaobao_Items::InnerString(items), "qnc123o");

    Tb_Itemcats_Cond cats{PublisherId, "u", "1,2", "7"};
    Tb_Itemcats_Info cn;
    TTaobao_Itemcats::PrepareNames(cn);
    EXPECT_NE(TTaobao_Itemcats::QueryString(cats, cn, "0").find("&cids=1,2&parent_cid=7&stamp=0"),
              std::string::npos);
    EXPECT_EQ(TTaobao_Itemcats::InnerString(cats), "1,27");

    // Element names the caller gives replace the defaults in the fields list.
    Tb_Itemcats_Info custom;
    custom.name = "title";
    TTaobao_Itemcats::PrepareNames(custom);
    EXPECT_EQ(TTaobao_Itemcats::QueryString(cats, custom, "0").substr(0, 55),
              "fields=cid,title,status,is_parent,sort_order,parent_cid");
}

class StampTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) FSavedTz = tz;
    }
    void TearDown() override {
        SetStampClock(nullptr);
        if (FSavedTz)
            setenv("TZ", FSavedTz->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    // The instant at which the local clock reads the given time, plus ms.
    static std::chrono::system_clock::time_point LocalInstant(int y, int mo, int d, int h, int mi, int s,
                                                              int ms) {
        tm t{};
        t.tm_year = y - 1900;
        t.tm_mon = mo - 1;
        t.tm_mday = d;
        t.tm_hour = h;
        t.tm_min = mi;
        t.tm_sec = s;
        t.tm_isdst = -1;
        return std::chrono::system_clock::from_time_t(mktime(&t)) + std::chrono::milliseconds(ms);
    }
    std::optional<std::string> FSavedTz;
};

TEST_F(StampTest, LocalClockReadAsUtcPlus8UnderAnyZone) {
    const struct {
        int h, mi, s, ms;
        int y = 2010, mo = 9, d = 25;
        int32_t stamp;
    } readings[] = {
        {8, 0, 0, 0, 2010, 9, 25, 1285372800},
        {8, 0, 0, 999, 2010, 9, 25, 1285372800}, // milliseconds truncated
        {7, 59, 59, 500, 1970, 1, 1, 0},         // -0.5 s truncates toward zero
        {7, 59, 58, 500, 1970, 1, 1, -1},
    };
    for (const char* tz :
         {"UTC0", "CST-8", "EST5EDT,M3.2.0,M11.1.0", "IST-5:30", "NZST-12NZDT,M9.5.0,M4.1.0/3"}) {
        setenv("TZ", tz, 1);
        tzset();
        for (const auto& r : readings) {
            SCOPED_TRACE(std::string(tz) + " " + std::to_string(r.stamp));
            const auto when = LocalInstant(r.y, r.mo, r.d, r.h, r.mi, r.s, r.ms);
            SetStampClock([when] { return when; });
            EXPECT_EQ(GetStamp(), r.stamp);
        }
    }
}

TEST_F(StampTest, SystemClockUnderUtcPlus8IsUnixTime) {
    setenv("TZ", "CST-8", 1);
    tzset();
    // std::time reads a coarse clock that can lag a few milliseconds behind
    // the one GetStamp reads; bracket with the same clock.
    const auto unixNow = [] {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    const auto before = unixNow();
    const int32_t stamp = GetStamp();
    const auto after = unixNow();
    EXPECT_GE(stamp, static_cast<int32_t>(before));
    EXPECT_LE(stamp, static_cast<int32_t>(after));
}

TEST(Tables, SizesAndEntries) {
    EXPECT_EQ(SortKeys[0], "commissionVolume_desc");
    EXPECT_EQ(SortKeys[4], "commissionNum_desc");

    EXPECT_EQ(Areas[0], "");
    EXPECT_EQ(Areas[1], "江苏,浙江,上海");
    EXPECT_EQ(Areas[4],
              "美国,英国,法国,瑞士,澳洲,新西兰,加拿大,奥地利,韩国,日本,德国,意大利,西班牙,俄罗斯,泰国,"
              "印度,荷兰,新加坡,其它国家");
    EXPECT_EQ(Areas[5], "北京");
    EXPECT_EQ(Areas[62], "浙江");
    EXPECT_EQ(Areas[63], "");
    EXPECT_EQ(AreaCaptions[0], "所有地区");
    EXPECT_EQ(AreaCaptions[3], "港澳台");
    for (size_t i = 5; i < AreaCaptions.size(); ++i)
        EXPECT_EQ(AreaCaptions[i], Areas[i]) << i;

    for (size_t i = 0; i < CreditNames.size(); ++i) {
        static const char* const ranks[] = {"heart", "diamond", "crown", "goldencrown"};
        static const char* const icons[] = {"b_red_", "s_blue_", "s_cap_", "s_crown_"};
        const std::string n = std::to_string(i % 5 + 1);
        EXPECT_EQ(CreditNames[i], n + ranks[i / 5]);
        EXPECT_EQ(CreditIcons[i], icons[i / 5] + n + ".gif");
    }
    EXPECT_EQ(CreditNames[9], "5diamond");
}

TEST(Tables, CreditIconAndCategoryIconLookups) {
    const struct {
        const char* score;
        const char* icon;
    } scores[] = {{"1", "b_red_1.gif"},
                  {"20", "s_crown_5.gif"},
                  {"6", "s_blue_1.gif"},
                  {"0", ""},
                  {"21", ""},
                  {"", ""},
                  {"01", ""},
                  {"-1", ""},
                  {"1 ", ""},
                  {"abc", ""},
                  {"999999999999", ""}};
    for (const auto& s : scores)
        EXPECT_EQ(CreditIconForScore(s.score), s.icon) << s.score;

    EXPECT_EQ(TopCategoryIcon("女装/女士精品"), 1);
    EXPECT_EQ(TopCategoryIcon("乐器/吉他/钢琴/配件"), 65);
    EXPECT_EQ(TopCategoryIcon("手机"), 35);
    EXPECT_EQ(TopCategoryIcon("no such category"), 0);
}

} // namespace
