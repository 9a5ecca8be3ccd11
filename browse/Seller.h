// The sellers behind the result page that is shown, each with the one page of
// its shop that was loaded last. Plain records, no Qt.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// Items per shop page, and the seller slots the list may fill (0 to 39).
inline constexpr int ShopPageSize = 40;
inline constexpr int SellerListSize = 40;

// One item of a seller's shop page, fields named after the answer's elements.
struct ITEM {
    std::string click_url; // affiliate click link, filled on the first item click
    std::string title;
    std::string price;
    std::string num_iid;
    std::string pic_url;
    std::string volume;
};

// One listed seller with its cached shop page. The item list ends at the first
// item whose title is empty, so a full page of 40 still ends at position 40.
struct SHOP_ITEM {
    int32_t PageNo = 1;
    std::string Nick;
    std::string ShopUrl;
    std::string CreditIcon;
    std::string Location;
    int32_t PageCount = 0;
    std::array<ITEM, 41> Items;
};

using ASHOP_ITEM = std::array<SHOP_ITEM, 41>;
