// The pages of the seller panel and the seller shop, and the bookkeeping of the
// seller records they are built from. No Qt: the window only writes the pages.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "browse/Seller.h"
#include "service/Taobao_Items.h"
#include "service/Taobaoke_Items.h"
#include "service/Taobaoke_Items_Convert.h"

// "#RRGGBB " (upper-case hexadecimal, one trailing space) for a colour.
std::string ColorToHtml(uint8_t red, uint8_t green, uint8_t blue);

// Head of the seller list page, with the text colour put in.
std::string SellerListHead(std::string_view color);

// Puts every seller back on page 1 and forgets its nick and its cached page.
void ClearSellers(ASHOP_ITEM& sellers);

// Rebuilds the seller records from a result page (distinct nicks, in order of
// first appearance, up to the first item without a nick) and returns the seller
// list page. `listed` receives the number of sellers filled in.
std::string BuildSellerList(std::span<const Tbk_Items_Info> items, std::string_view color,
                            ASHOP_ITEM& sellers, int* listed = nullptr);

// The shop page of a seller in list form and in big-picture form.
std::string ShopListPageHtml(const SHOP_ITEM& shop);
std::string ShopPicturePageHtml(const SHOP_ITEM& shop);

// Number of shop pages of 40 items for a total given as text; 0 for a total
// that is not a non-negative decimal number. Capped at MaxShopPages.
inline constexpr int32_t MaxShopPages = 10000;
int32_t ShopPageCount(std::string_view total);

// Which of the shop pager's labels are enabled.
struct ShopPagerState {
    bool first = false;
    bool previous = false;
    bool next = false;
    bool last = false;
};
ShopPagerState ShopPagerFor(int32_t pageNo, int32_t pageCount);

// Copies a shop answer into the seller's page (at most 40 items, up to the first
// row without a title), sets the end mark (emptying every position after the
// copied items) and the page count. An answer without
// items gives an empty page and a page count of 0. Returns the items copied.
int CopyShopRows(const ATb_Items_Info& rows, SHOP_ITEM& shop);

// The item ids of the page, each followed by "," (the list ends with a comma).
std::string ShopIdList(const SHOP_ITEM& shop);

// Gives each item of the page the click link of the converted row with its own
// num_iid, whatever the order of the rows.
void ApplyConvertedLinks(const ATbk_Items_Convert_Info& rows, SHOP_ITEM& shop);

// What a navigation of a generated page asks for, read from the last two
// characters of its address: "nk" (about:blank) passes, a two-digit position
// below 40 names an entry, anything else is cancelled with nothing to do.
struct LinkAction {
    bool pass = false;
    int position = -1; // 0 to 39, or -1
};
LinkAction ReadLinkAction(std::string_view url);
