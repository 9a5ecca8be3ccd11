#include "browse/SellerPages.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

#include "search/HtmlSafe.h"
#include "search/ResultPages.h"

namespace {

// The head of the seller list; the four %s take the text colour.
constexpr std::string_view SellerHeadParts[] = {
    "<head> <meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" /> <style> "
    ".item{MARGIN: 0px;cursor:pointer;border:1px solid #dddddd;width:242px;padding-top: 7px;padding-right: "
    "4px;padding-bottom: 2px;padding-left: 5px;}a{text-decoration: none;} .mytitle{COLOR:",
    ";DISPLAY: block;TEXT-ALIGN: left;padding-bottom: 2px;float: left;padding-right: 4px;}.mylocal{COLOR:",
    ";DISPLAY: block;TEXT-ALIGN:right;padding-bottom: 2px;}.mycredit{COLOR:",
    ";DISPLAY: block;float: left;padding-top: 2px;}img {border-top-width: 0px;border-right-width: "
    "0px;border-bottom-width: 0px;border-left-width: 0px;}</style> <script language=JavaScript> function "
    "over(mydiv) {mydiv.style.border=\"1px solid #99bbe8\";mydiv.style.background= \"#dfe8f6\";}function "
    "out(mydiv) {mydiv.style.border=\"1px solid #dddddd\";mydiv.style.background= \"\";}</script> "
    "</head><body leftMargin=0  topMargin=0 scroll=\"no\" style=\"color:",
    ";font-size:12px;width:100%; border-width=0;\">",
};

// A position as at least two decimal digits (00 to 39).
std::string Position(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2d", i);
    return buf;
}

// Strict decimal reading of a whole text; nothing for anything else.
bool ReadInt64(std::string_view text, long long& value) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Items of a shop page, up to the end mark, at most 40.
int ShopItemCount(const SHOP_ITEM& shop) {
    int n = 0;
    while (n < ShopPageSize && !shop.Items[n].title.empty())
        ++n;
    return n;
}

} // namespace

std::string ColorToHtml(uint8_t red, uint8_t green, uint8_t blue) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%.2X%.2X%.2X ", red, green, blue);
    return buf;
}

std::string SellerListHead(std::string_view color) {
    std::string head(SellerHeadParts[0]);
    for (size_t k = 1; k < std::size(SellerHeadParts); ++k) {
        head += color;
        head += SellerHeadParts[k];
    }
    return head;
}

void ClearSellers(ASHOP_ITEM& sellers) {
    for (SHOP_ITEM& s : sellers) {
        s.PageNo = 1;
        s.Nick.clear();
        for (int i = 0; i < ShopPageSize; ++i)
            s.Items[i] = ITEM{};
    }
}

std::string BuildSellerList(std::span<const Tbk_Items_Info> items, std::string_view color,
                            ASHOP_ITEM& sellers, int* listed) {
    ClearSellers(sellers);
    std::vector<std::string_view> seen;
    int p = 0;
    std::string page = SellerListHead(color);
    const size_t n = std::min<size_t>(items.size(), SellerListSize);
    for (size_t i = 0; i < n && p < SellerListSize; ++i) {
        const Tbk_Items_Info& item = items[i];
        if (item.nick.empty()) break;
        if (std::find(seen.begin(), seen.end(), item.nick) != seen.end()) continue;
        SHOP_ITEM& s = sellers[p];
        s.Nick = item.nick;
        s.ShopUrl = item.shop_click_url;
        s.CreditIcon = CreditIconUrl(item.seller_credit_score);
        s.Location = item.item_location;

        page += "<a href=\"#" + Position(p) +
                "\"><DIV class=\"item\" onMouseOver=\"over(this)\" onMouseOut=\"out(this)\">";
        page += "<DIV class=\"mytitle\">卖家：" + HtmlEscape(s.Nick) + "</DIV>";
        page += "<div class=\"mylocal\">地区：" + HtmlEscape(s.Location) + "</div>";
        page += "<div class=\"mycredit\">信用：</div><img src=\"" + SafeUrl(s.CreditIcon) + "\"/></DIV></a>";
        seen.push_back(item.nick);
        ++p;
    }
    page += "</body>";
    if (listed) *listed = p;
    return page;
}

std::string ShopListPageHtml(const SHOP_ITEM& shop) {
    const std::string shopUrl = SafeUrl(shop.ShopUrl);
    const std::string nick = HtmlEscape(shop.Nick);
    const std::string location = HtmlEscape(shop.Location);
    const std::string credit = SafeUrl(shop.CreditIcon);
    std::string page(ListPageHead);
    const int n = ShopItemCount(shop);
    for (int i = 0; i < n; ++i) {
        const ITEM& it = shop.Items[i];
        const std::string pos = Position(i);
        page += "<div class=\"item\" onMouseOver=\"over(this);\" onMouseOut=\"out(this)\"><div class=\"li\">";
        page += "<div class=\"div_pic\"><p><a href=\"" + pos + "\"><img src=\"" + SafeUrl(it.pic_url) +
                "_sum.jpg\" /></a></p></div>";
        page += "<div class=\"div_title\"><a href=\"" + pos + "\"><span class=\"div_title1\">" +
                SanitizeMarkup(it.title) + "</span></a>";
        page += "<div class=\"div_nick\"><a href=\"" + shopUrl + "\" target=\"_blank\">" + nick +
                "</a></div></div>";
        page += "<div class=\"div_price\"><span class=\"a\">￥</span><span class=\"b\">" +
                HtmlEscape(it.price) + "</span></div>";
        page += "<div class=\"div_local\">" + location + "</div>";
        page += "<div class=\"div_30\">30天售出 " + HtmlEscape(it.volume) + " 件</div>";
        page += "<div class=\"div_credit\"><img src=\"" + credit + "\"/></div>";
        page += "</div></div>";
    }
    page += "</body>";
    return page;
}

std::string ShopPicturePageHtml(const SHOP_ITEM& shop) {
    const std::string shopUrl = SafeUrl(shop.ShopUrl);
    const std::string nick = HtmlEscape(shop.Nick);
    const std::string location = HtmlEscape(shop.Location);
    const std::string credit = SafeUrl(shop.CreditIcon);
    std::string page(PicturePageHead);
    const int n = ShopItemCount(shop);
    for (int i = 0; i < n; ++i) {
        const ITEM& it = shop.Items[i];
        const std::string pos = Position(i);
        page += "<div class=\"li\">";
        page += "<a href=\"" + pos + "\"><div class=\"div_pic\"><p><img src=\"" + SafeUrl(it.pic_url) +
                "_160x160.jpg\" /></p></div></a>";
        page += "<div class=\"div_title\"><a href=\"" + pos + "\">" + SanitizeMarkup(it.title) + "</a></div>";
        page += "<div class=\"div_price\">￥<span class=\"b\">" + HtmlEscape(it.price) + "</span></div>";
        page += "<div class=\"div_30\">30天已售出 " + HtmlEscape(it.volume) + " 件</div>";
        page += "<div class=\"div_nick\"><a href=\"" + shopUrl + "\" target=\"_blank\">" + nick +
                "</a><br/><img src=\"" + credit + "\" /></div>";
        page += "<div class=\"div_local\">" + location + "</div>";
        page += "</div>";
    }
    page += "</body>";
    return page;
}

int32_t ShopPageCount(std::string_view total) {
    long long t = 0;
    if (!ReadInt64(total, t) || t <= 0) return 0;
    const long long pages = t / ShopPageSize + (t % ShopPageSize > 0 ? 1 : 0);
    return static_cast<int32_t>(std::min<long long>(pages, MaxShopPages));
}

ShopPagerState ShopPagerFor(int32_t pageNo, int32_t pageCount) {
    ShopPagerState s;
    if (pageCount <= 1) return s;
    s.first = s.previous = s.next = s.last = true;
    if (pageNo == 1) {
        s.first = s.previous = false;
    } else if (pageNo == pageCount) {
        s.next = s.last = false;
    }
    return s;
}

int CopyShopRows(const ATb_Items_Info& rows, SHOP_ITEM& shop) {
    int n = 0;
    while (n < ShopPageSize && !rows[n].title.empty()) {
        const Tb_Items_Info& row = rows[n];
        ITEM& it = shop.Items[n];
        it.click_url.clear();
        it.title = row.title;
        it.price = row.price;
        it.pic_url = row.pic_url;
        it.num_iid = row.num_iid;
        it.volume = row.volume;
        ++n;
    }
    // The end mark, and nothing of an earlier, longer page left behind it.
    for (int i = n; i <= ShopPageSize; ++i)
        shop.Items[i] = ITEM{};
    // Without items the answer's rows hold nothing of this answer to count from.
    shop.PageCount = n == 0 ? 0 : std::max(1, ShopPageCount(rows[0].total_results));
    return n;
}

std::string ShopIdList(const SHOP_ITEM& shop) {
    std::string ids;
    for (int i = 0; i < ShopPageSize; ++i) {
        if (shop.Items[i].title.empty()) continue;
        ids += shop.Items[i].num_iid;
        ids += ',';
    }
    return ids;
}

void ApplyConvertedLinks(const ATbk_Items_Convert_Info& rows, SHOP_ITEM& shop) {
    for (int i = 0; i < ShopPageSize; ++i) {
        ITEM& it = shop.Items[i];
        if (it.title.empty()) continue;
        for (int r = 0; r < ShopPageSize && !rows[r].num_iid.empty(); ++r) {
            if (rows[r].num_iid == it.num_iid) {
                it.click_url = rows[r].click_url;
                break;
            }
        }
    }
}

LinkAction ReadLinkAction(std::string_view url) {
    LinkAction a;
    if (url.size() < 2) return a;
    const std::string_view tail = url.substr(url.size() - 2);
    if (tail == "nk") {
        a.pass = true;
        return a;
    }
    if (tail[0] >= '0' && tail[0] <= '9' && tail[1] >= '0' && tail[1] <= '9') {
        const int n = (tail[0] - '0') * 10 + (tail[1] - '0');
        if (n < SellerListSize) a.position = n;
    }
    return a;
}
