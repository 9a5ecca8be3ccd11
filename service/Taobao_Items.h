// Seller item listing ("/aobao/tb_items.php").
#pragma once

#include "service/Fetcher.h"

#include <array>
#include <string>

struct Tb_Items_Cond {
    std::string pid;
    std::string url;
    std::string q;
    std::string nicks;
    std::string cid;
    std::string start_price;
    std::string end_price;
    std::string page_no;
    std::string order_by;
};

struct Tb_Items_Info {
    std::string cid;
    std::string num;
    std::string city;
    std::string desc;
    std::string nick;
    std::string state;
    std::string title;
    std::string type;
    std::string is_ex;
    std::string is_3D;
    std::string price;
    std::string props;
    std::string total_results;
    std::string volume;
    std::string ems_fee;
    std::string num_iid;
    std::string pic_url;
    std::string location;
    std::string modified;
    std::string post_fee;
    std::string list_time;
    std::string is_taobao;
    std::string is_timing;
    std::string input_str;
    std::string detail_url;
    std::string input_pids;
    std::string is_virtual;
    std::string postage_id;
    std::string valid_thru;
    std::string one_station;
    std::string delist_time;
    std::string seller_cids;
    std::string express_fee;
    std::string has_invoice;
    std::string has_showcase;
    std::string stuff_status;
    std::string has_discount;
    std::string has_warranty;
    std::string auction_point;
    std::string freight_payer;
    std::string property_alias;
    std::string approve_status;
};

using ATb_Items_Info = std::array<Tb_Items_Info, 41>;

struct Taobao_Items_Traits {
    using Cond = Tb_Items_Cond;
    using Info = Tb_Items_Info;
    static constexpr size_t Capacity = 41;
    static constexpr size_t ClearCount = 40;
    static constexpr const char* Marker = "items";
    static constexpr const char* ListElement = "items";
    static constexpr std::array<NameField<Info>, 42> Fields = {{
        {&Info::cid, "cid", FieldSource::ItemChild, true},
        {&Info::num, "num", FieldSource::ItemChild, true},
        {&Info::city, "city", FieldSource::LocationChild, true},
        {&Info::desc, "desc", FieldSource::ItemChild, true},
        {&Info::nick, "nick", FieldSource::ItemChild, true},
        {&Info::state, "state", FieldSource::LocationChild, true},
        {&Info::title, "title", FieldSource::ItemChild, true},
        {&Info::type, "type", FieldSource::ItemChild, true},
        {&Info::is_ex, "is_ex", FieldSource::ItemChild, true},
        {&Info::is_3D, "is_3D", FieldSource::ItemChild, true},
        {&Info::price, "price", FieldSource::ItemChild, true},
        {&Info::props, "props", FieldSource::ItemChild, true},
        {&Info::total_results, nullptr, FieldSource::RootTotal, false},
        {&Info::volume, "volume", FieldSource::ItemChild, false},
        {&Info::ems_fee, "ems_fee", FieldSource::ItemChild, true},
        {&Info::num_iid, "num_iid", FieldSource::ItemChild, true},
        {&Info::pic_url, "pic_url", FieldSource::ItemChild, true},
        {&Info::location, "location", FieldSource::NotRead, true},
        {&Info::modified, "modified", FieldSource::ItemChild, true},
        {&Info::post_fee, "post_fee", FieldSource::ItemChild, true},
        {&Info::list_time, "list_time", FieldSource::ItemChild, true},
        {&Info::is_taobao, "is_taobao", FieldSource::ItemChild, true},
        {&Info::is_timing, "is_timing", FieldSource::ItemChild, true},
        {&Info::input_str, "input_str", FieldSource::ItemChild, true},
        {&Info::detail_url, "detail_url", FieldSource::ItemChild, true},
        {&Info::input_pids, "input_pids", FieldSource::ItemChild, true},
        {&Info::is_virtual, "is_virtual", FieldSource::ItemChild, true},
        {&Info::postage_id, "postage_id", FieldSource::ItemChild, true},
        {&Info::valid_thru, "valid_thru", FieldSource::ItemChild, true},
        {&Info::one_station, "one_station", FieldSource::ItemChild, true},
        {&Info::delist_time, "delist_time", FieldSource::ItemChild, true},
        {&Info::seller_cids, "seller_cids", FieldSource::ItemChild, true},
        {&Info::express_fee, "express_fee", FieldSource::ItemChild, true},
        {&Info::has_invoice, "has_invoice", FieldSource::ItemChild, true},
        {&Info::has_showcase, "has_showcase", FieldSource::ItemChild, true},
        {&Info::stuff_status, "stuff_status", FieldSource::ItemChild, true},
        {&Info::has_discount, "has_discount", FieldSource::ItemChild, true},
        {&Info::has_warranty, "has_warranty", FieldSource::ItemChild, true},
        {&Info::auction_point, "auction_point", FieldSource::ItemChild, true},
        {&Info::freight_payer, "freight_payer", FieldSource::ItemChild, true},
        {&Info::property_alias, "property_alias", FieldSource::ItemChild, true},
        {&Info::approve_status, "approve_status", FieldSource::ItemChild, true},
    }};
    static constexpr std::array<std::string Info::*, 39> ListOrder = {
        &Info::volume,
        &Info::cid,
        &Info::num,
        &Info::desc,
        &Info::nick,
        &Info::title,
        &Info::type,
        &Info::is_ex,
        &Info::is_3D,
        &Info::price,
        &Info::props,
        &Info::ems_fee,
        &Info::num_iid,
        &Info::pic_url,
        &Info::location,
        &Info::modified,
        &Info::post_fee,
        &Info::list_time,
        &Info::is_taobao,
        &Info::is_timing,
        &Info::input_str,
        &Info::detail_url,
        &Info::input_pids,
        &Info::is_virtual,
        &Info::postage_id,
        &Info::valid_thru,
        &Info::one_station,
        &Info::delist_time,
        &Info::seller_cids,
        &Info::express_fee,
        &Info::has_invoice,
        &Info::has_showcase,
        &Info::stuff_status,
        &Info::has_discount,
        &Info::has_warranty,
        &Info::auction_point,
        &Info::freight_payer,
        &Info::property_alias,
        &Info::approve_status,
    };
    static constexpr std::array<CondParam<Cond>, 7> QueryParams = {{
        {&Cond::q, "q", SendRule::NonEmpty, true},
        {&Cond::nicks, "nicks", SendRule::NonEmpty, true},
        {&Cond::cid, "cid", SendRule::NonEmpty, false},
        {&Cond::start_price, "start_price", SendRule::NonEmpty, false},
        {&Cond::end_price, "end_price", SendRule::NonEmpty, false},
        {&Cond::page_no, "page_no", SendRule::NonEmpty, false},
        {&Cond::order_by, "order_by", SendRule::NonEmpty, false},
    }};
    static constexpr std::array<CondParam<Cond>, 0> TailParams = {};
    static constexpr std::array<std::string Cond::*, 7> SignOrder = {
        &Cond::q,         &Cond::nicks,   &Cond::cid,      &Cond::start_price,
        &Cond::end_price, &Cond::page_no, &Cond::order_by,
    };
    static bool CheckOwn(const Cond& c) { return !c.q.empty() || !c.cid.empty() || !c.nicks.empty(); }
};

// One page of a seller's items. city and state come from the item's "location"
// element; location itself is requested but never read. Rows 0 to 39 are cleared
// before each parse except total_results and volume; row 40 is never cleared.
class TTaobao_Items : public TFetcher<Taobao_Items_Traits> {};
