// One result tab: the conditions of its search, the page it holds and that
// page's items. Plain record; the tree node is only referred to.
#pragma once

#include "service/Taobaoke_Items.h"

#include <array>
#include <cstdint>
#include <string>

class QTreeWidgetItem;

// Items a tab keeps of one answer.
inline constexpr int TabItemCount = 40;
// Most pages a search offers.
inline constexpr int MaxPageCount = 99;

struct TAB {
    std::string Key;                 // TabKey of the search
    QTreeWidgetItem* Node = nullptr; // category node of the search, not owned
    int32_t SortIndex = 0;
    int32_t PageNo = 0;
    std::string Keyword;
    std::string StartPrice;
    std::string EndPrice;
    bool Guarantee = false;
    int32_t PageCount = 0;
    int32_t StartCreditIndex = 0;
    int32_t EndCreditIndex = 0;
    int32_t AreaIndex = 0;
    int32_t DisplayMode = 0; // 0 big pictures, 1 list
    // The list ends at the first item with an empty title. Of each item only
    // nick, title, price, pic_url, click_url, shop_click_url,
    // seller_credit_score, item_location and volume are kept.
    std::array<Tbk_Items_Info, TabItemCount> Items;
};

// Page count of an answer's total: whole pages of 40, at most 99; 0 when the
// total is not a decimal number.
int32_t PageCountOf(const std::string& totalResults);

// Replaces the tab's items with rows up to the first without a title (at most
// 40) and sets PageCount from the total of row 0. Rows may be null (no answer
// rows at all): the tab then holds no items and no pages.
void CopyRowsToTab(const ATbk_Items_Info* rows, TAB& tab);
