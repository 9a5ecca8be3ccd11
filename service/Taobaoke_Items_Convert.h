// Click-link conversion ("/aobao/tbk_items_convert.php").
#pragma once

#include "service/Fetcher.h"
#include "service/Taobaoke_Items.h"

#include <array>
#include <string>

struct Tbk_Items_Convert_Cond {
    std::string pid;
    std::string url;
    std::string num_iids;
};

// The conversion answers with the search's item record: the same fields, in
// the same order, under the same element names.
struct Tbk_Items_Convert_Info : Tbk_Items_Info {};

using ATbk_Items_Convert_Info = std::array<Tbk_Items_Convert_Info, 64>;

struct Taobaoke_Items_Convert_Traits {
    using Cond = Tbk_Items_Convert_Cond;
    using Info = Tbk_Items_Convert_Info;
    static constexpr size_t Capacity = 64;
    static constexpr size_t ClearCount = 53;
    static constexpr const char* Marker = "total_results";
    static constexpr const char* ListElement = "taobaoke_items";
    static constexpr auto Fields = TbkItemNames<Info>::Fields;
    static constexpr auto ListOrder = TbkItemNames<Info>::ListOrder;
    static constexpr std::array<CondParam<Cond>, 0> QueryParams = {};
    static constexpr std::array<CondParam<Cond>, 1> TailParams = {{
        {&Cond::num_iids, "num_iids", SendRule::Always, false},
    }};
    static constexpr std::array<std::string Cond::*, 1> SignOrder = {
        &Cond::num_iids,
    };
    static bool CheckOwn(const Cond& c) { return !c.num_iids.empty(); }
};

// Affiliate records (click links) of items given by id. Rows 0 to 52 are
// cleared before each parse.
class TTaobaoke_Items_Convert : public TFetcher<Taobaoke_Items_Convert_Traits> {};
