#include "search/Tab.h"

#include <algorithm>

int32_t PageCountOf(const std::string& totalResults) {
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    size_t b = 0, e = totalResults.size();
    while (b < e && isSpace(totalResults[b]))
        ++b;
    while (e > b && isSpace(totalResults[e - 1]))
        --e;
    if (b == e) return 0;
    long long total = 0;
    for (size_t i = b; i < e; ++i) {
        char c = totalResults[i];
        if (c < '0' || c > '9') return 0;
        if (total < 1000000000000LL) total = total * 10 + (c - '0'); // beyond that it is "many" anyway
    }
    return static_cast<int32_t>(std::min<long long>(total / TabItemCount, MaxPageCount));
}

void CopyRowsToTab(const ATbk_Items_Info* rows, TAB& tab) {
    for (Tbk_Items_Info& item : tab.Items)
        item = Tbk_Items_Info{};
    if (!rows) {
        tab.PageCount = 0;
        return;
    }
    tab.PageCount = PageCountOf((*rows)[0].total_results);
    for (int i = 0; i < TabItemCount; ++i) {
        const Tbk_Items_Info& row = (*rows)[i];
        if (row.title.empty()) break;
        Tbk_Items_Info& item = tab.Items[i];
        item.nick = row.nick;
        item.title = row.title;
        item.price = row.price;
        item.pic_url = row.pic_url;
        item.click_url = row.click_url;
        item.shop_click_url = row.shop_click_url;
        item.seller_credit_score = row.seller_credit_score;
        item.item_location = row.item_location;
        item.volume = row.volume;
    }
}
