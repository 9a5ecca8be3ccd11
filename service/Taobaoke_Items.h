// Affiliate item search ("/aobao/tbk_items.php").
#pragma once

#include "service/Fetcher.h"

#include <array>
#include <string>

struct Tbk_Items_Cond {
    std::string cid;
    std::string pid;
    std::string auto_send;
    std::string area;
    std::string url;
    std::string sort;
    std::string start_commissionNum;
    std::string end_commissionNum;
    std::string start_commissionRate;
    std::string end_commissionRate;
    std::string keyword;
    std::string start_price;
    std::string end_price;
    std::string page_no;
    std::string start_credit;
    std::string end_credit;
    std::string guarantee;
};

struct Tbk_Items_Info {
    std::string nick;
    std::string title;
    std::string price;
    std::string total_results;
    std::string pic_url;
    std::string num_iid;
    std::string click_url;
    std::string commission;
    std::string commission_num;
    std::string commission_rate;
    std::string commission_volume;
    std::string shop_click_url;
    std::string seller_credit_score;
    std::string item_location;
    std::string volume;
};

using ATbk_Items_Info = std::array<Tbk_Items_Info, 64>;

// The item record of the search, shared by the click-link conversion, whose
// answer carries the same fields under the same element names.
template <class Info> struct TbkItemNames {
    static constexpr std::array<NameField<Info>, 15> Fields = {{
        {&Info::nick, "nick", FieldSource::ItemChild, true},
        {&Info::title, "title", FieldSource::ItemChild, true},
        {&Info::price, "price", FieldSource::ItemChild, true},
        {&Info::total_results, nullptr, FieldSource::RootTotal, true},
        {&Info::pic_url, "pic_url", FieldSource::ItemChild, true},
        {&Info::num_iid, "num_iid", FieldSource::ItemChild, true},
        {&Info::click_url, "click_url", FieldSource::ItemChild, true},
        {&Info::commission, "commission", FieldSource::ItemChild, true},
        {&Info::commission_num, "commission_num", FieldSource::ItemChild, true},
        {&Info::commission_rate, "commission_rate", FieldSource::ItemChild, true},
        {&Info::commission_volume, "commission_volume", FieldSource::ItemChild, true},
        {&Info::shop_click_url, "shop_click_url", FieldSource::ItemChild, true},
        {&Info::seller_credit_score, "seller_credit_score", FieldSource::ItemChild, true},
        {&Info::item_location, "item_location", FieldSource::ItemChild, true},
        {&Info::volume, "volume", FieldSource::ItemChild, true},
    }};
    static constexpr std::array<std::string Info::*, 14> ListOrder = {
        &Info::nick,
        &Info::title,
        &Info::price,
        &Info::pic_url,
        &Info::num_iid,
        &Info::click_url,
        &Info::commission,
        &Info::commission_num,
        &Info::commission_rate,
        &Info::commission_volume,
        &Info::shop_click_url,
        &Info::seller_credit_score,
        &Info::item_location,
        &Info::volume,
    };
};

struct Taobaoke_Items_Traits {
    using Cond = Tbk_Items_Cond;
    using Info = Tbk_Items_Info;
    static constexpr size_t Capacity = 64;
    static constexpr size_t ClearCount = 43;
    static constexpr const char* Marker = "total_results";
    static constexpr const char* ListElement = "taobaoke_items";
    static constexpr auto Fields = TbkItemNames<Info>::Fields;
    static constexpr auto ListOrder = TbkItemNames<Info>::ListOrder;
    static constexpr std::array<CondParam<Cond>, 15> QueryParams = {{
        {&Cond::cid, "cid", SendRule::NonEmpty, false},
        {&Cond::auto_send, "auto_send", SendRule::NonEmpty, false},
        {&Cond::area, "area", SendRule::NonEmpty, true},
        {&Cond::sort, "sort", SendRule::NonEmpty, false},
        {&Cond::start_commissionNum, "start_commissionNum", SendRule::NonEmpty, false},
        {&Cond::end_commissionNum, "end_commissionNum", SendRule::NonEmpty, false},
        {&Cond::start_commissionRate, "start_commissionRate", SendRule::NonEmpty, false},
        {&Cond::end_commissionRate, "end_commissionRate", SendRule::NonEmpty, false},
        {&Cond::keyword, "keyword", SendRule::UnlessWordKeyword, true},
        {&Cond::start_price, "start_price", SendRule::NonEmpty, false},
        {&Cond::end_price, "end_price", SendRule::NonEmpty, false},
        {&Cond::page_no, "page_no", SendRule::NonEmpty, false},
        {&Cond::start_credit, "start_credit", SendRule::NonEmpty, false},
        {&Cond::end_credit, "end_credit", SendRule::NonEmpty, false},
        {&Cond::guarantee, "guarantee", SendRule::NonEmpty, false},
    }};
    static constexpr std::array<CondParam<Cond>, 0> TailParams = {};
    static constexpr std::array<std::string Cond::*, 15> SignOrder = {
        &Cond::cid,
        &Cond::area,
        &Cond::sort,
        &Cond::keyword,
        &Cond::page_no,
        &Cond::auto_send,
        &Cond::end_price,
        &Cond::guarantee,
        &Cond::end_credit,
        &Cond::start_price,
        &Cond::start_credit,
        &Cond::end_commissionNum,
        &Cond::end_commissionRate,
        &Cond::start_commissionNum,
        &Cond::start_commissionRate,
    };
    static bool CheckOwn(const Cond& c) { return !c.cid.empty() || !c.keyword.empty(); }
};

// One page of affiliate items for a keyword and/or category. Rows 0 to 42 are
// cleared before each parse; total_results of every row is the answer's total.
class TTaobaoke_Items : public TFetcher<Taobaoke_Items_Traits> {};
