// Category listing ("/aobao/tb_itemcats.php").
#pragma once

#include "service/Fetcher.h"

#include <array>
#include <string>

struct Tb_Itemcats_Cond {
    std::string pid;
    std::string url;
    std::string cids;
    std::string parent_cid;
};

struct Tb_Itemcats_Info {
    std::string cid;
    std::string name;
    std::string status;
    std::string is_parent;
    std::string sort_order;
    std::string parent_cid;
};

using ATb_Itemcats_Info = std::array<Tb_Itemcats_Info, 101>;

struct Taobao_Itemcats_Traits {
    using Cond = Tb_Itemcats_Cond;
    using Info = Tb_Itemcats_Info;
    static constexpr size_t Capacity = 101;
    static constexpr size_t ClearCount = 71;
    static constexpr const char* Marker = "item_cats";
    static constexpr const char* ListElement = "item_cats";
    static constexpr std::array<NameField<Info>, 6> Fields = {{
        {&Info::cid, "cid", FieldSource::ItemChild, true},
        {&Info::name, "name", FieldSource::ItemChild, true},
        {&Info::status, "status", FieldSource::ItemChild, true},
        {&Info::is_parent, "is_parent", FieldSource::ItemChild, true},
        {&Info::sort_order, "sort_order", FieldSource::ItemChild, true},
        {&Info::parent_cid, "parent_cid", FieldSource::ItemChild, true},
    }};
    static constexpr std::array<std::string Info::*, 6> ListOrder = {
        &Info::cid, &Info::name, &Info::status, &Info::is_parent, &Info::sort_order, &Info::parent_cid,
    };
    static constexpr std::array<CondParam<Cond>, 2> QueryParams = {{
        {&Cond::cids, "cids", SendRule::NonEmpty, false},
        {&Cond::parent_cid, "parent_cid", SendRule::NonEmpty, false},
    }};
    static constexpr std::array<CondParam<Cond>, 0> TailParams = {};
    static constexpr std::array<std::string Cond::*, 2> SignOrder = {
        &Cond::cids,
        &Cond::parent_cid,
    };
    static bool CheckOwn(const Cond& c) { return !c.cids.empty() || !c.parent_cid.empty(); }
};

// The categories below a parent category, or with given ids. Rows 0 to 70 are
// cleared before each parse; rows 71 to 100 keep what they held.
class TTaobao_Itemcats : public TFetcher<Taobao_Itemcats_Traits> {};
