#include "proxy/Answers.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <optional>

#include <iconv.h>

namespace proxy {

namespace {

class XmlOut {
public:
    void Open(std::string_view name) {
        out_ += '<';
        out_ += name;
        out_ += '>';
    }
    void Close(std::string_view name) {
        out_ += "</";
        out_ += name;
        out_ += '>';
    }
    void Leaf(std::string_view name, std::string_view text) {
        Open(name);
        out_ += XmlEscape(text);
        Close(name);
    }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

const char* Bool(bool b) {
    return b ? "true" : "false";
}

// Requested names we know, in the order requested; all of them when none is given.
std::vector<std::string> Selected(const std::vector<std::string>& requested,
                                  const std::vector<std::string>& known) {
    if (requested.empty()) return known;
    std::vector<std::string> out;
    for (const auto& name : requested)
        if (std::find(known.begin(), known.end(), name) != known.end() &&
            std::find(out.begin(), out.end(), name) == out.end())
            out.push_back(name);
    return out;
}

std::optional<std::string> TbkValue(const std::string& name, const Catalogue& catalogue, const Item& item,
                                    const std::vector<std::string>& terms, const AnswerContext& ctx) {
    const Seller& seller = catalogue.SellerOf(item);
    if (name == "nick") return seller.nick;
    if (name == "title") return HighlightTitle(item.title, terms);
    if (name == "price") return FormatCents(item.price_cents);
    if (name == "pic_url") return PicUrl(ctx.base_url, item);
    if (name == "num_iid") return std::to_string(item.num_iid);
    if (name == "click_url") return ItemClickUrl(ctx.base_url, item, ctx.pid);
    if (name == "commission") return FormatCents(item.commission_cents);
    if (name == "commission_num") return std::to_string(item.commission_num);
    if (name == "commission_rate") return FormatCents(item.commission_rate_bp);
    if (name == "commission_volume") return FormatCents(item.commission_volume_cents);
    if (name == "shop_click_url") return ShopClickUrl(ctx.base_url, seller, ctx.pid);
    if (name == "seller_credit_score") return std::to_string(seller.credit);
    if (name == "item_location") return seller.location();
    if (name == "volume") return std::to_string(item.volume);
    return std::nullopt;
}

void WriteTbkItems(XmlOut& x, const Catalogue& catalogue, const std::vector<const Item*>& items,
                   const std::vector<std::string>& terms, const AnswerContext& ctx) {
    const auto names = Selected(ctx.fields, TbkItemFieldNames());
    x.Open("taobaoke_items");
    for (const Item* item : items) {
        x.Open("taobaoke_item");
        for (const auto& name : names)
            if (auto v = TbkValue(name, catalogue, *item, terms, ctx)) x.Leaf(name, *v);
        x.Close("taobaoke_item");
    }
    x.Close("taobaoke_items");
}

} // namespace

const std::vector<std::string>& TbkItemFieldNames() {
    static const std::vector<std::string> names = {"nick",
                                                   "title",
                                                   "price",
                                                   "pic_url",
                                                   "num_iid",
                                                   "click_url",
                                                   "commission",
                                                   "commission_num",
                                                   "commission_rate",
                                                   "commission_volume",
                                                   "shop_click_url",
                                                   "seller_credit_score",
                                                   "item_location",
                                                   "volume"};
    return names;
}

const std::vector<std::string>& TbItemFieldNames() {
    static const std::vector<std::string> names = {"volume",        "cid",
                                                   "num",           "desc",
                                                   "nick",          "title",
                                                   "type",          "is_ex",
                                                   "is_3D",         "price",
                                                   "props",         "ems_fee",
                                                   "num_iid",       "pic_url",
                                                   "location",      "modified",
                                                   "post_fee",      "list_time",
                                                   "is_taobao",     "is_timing",
                                                   "input_str",     "detail_url",
                                                   "input_pids",    "is_virtual",
                                                   "postage_id",    "valid_thru",
                                                   "one_station",   "delist_time",
                                                   "seller_cids",   "express_fee",
                                                   "has_invoice",   "has_showcase",
                                                   "stuff_status",  "has_discount",
                                                   "has_warranty",  "auction_point",
                                                   "freight_payer", "property_alias",
                                                   "approve_status"};
    return names;
}

const std::vector<std::string>& ItemcatFieldNames() {
    static const std::vector<std::string> names = {"cid",       "name",       "status",
                                                   "is_parent", "sort_order", "parent_cid"};
    return names;
}

std::string ItemClickUrl(const std::string& base_url, const Item& item, const std::string& pid) {
    return base_url + "/click/item/" + std::to_string(item.num_iid) + "?pid=" + pid;
}

std::string ShopClickUrl(const std::string& base_url, const Seller& seller, const std::string& pid) {
    return base_url + "/click/shop/" + std::to_string(seller.id + 1) + "?pid=" + pid;
}

std::string PicUrl(const std::string& base_url, const Item& item) {
    return base_url + "/pic/" + std::to_string(item.num_iid);
}

std::string TbkItemsAnswer(const Catalogue& catalogue, const Page& page,
                           const std::vector<std::string>& terms, const AnswerContext& ctx) {
    XmlOut x;
    x.Open("taobaoke_items_get_response");
    WriteTbkItems(x, catalogue, page.items, terms, ctx);
    x.Leaf("total_results", std::to_string(page.total));
    x.Close("taobaoke_items_get_response");
    return x.Take();
}

std::string ConvertAnswer(const Catalogue& catalogue, const std::vector<const Item*>& items,
                          const AnswerContext& ctx) {
    XmlOut x;
    x.Open("taobaoke_items_convert_response");
    WriteTbkItems(x, catalogue, items, {}, ctx);
    x.Leaf("total_results", std::to_string(items.size()));
    x.Close("taobaoke_items_convert_response");
    return x.Take();
}

std::string TbItemsAnswer(const Catalogue& catalogue, const Page& page, const AnswerContext& ctx) {
    const auto names = Selected(ctx.fields, TbItemFieldNames());
    XmlOut x;
    x.Open("items_get_response");
    x.Open("items");
    for (const Item* item : page.items) {
        const Seller& seller = catalogue.SellerOf(*item);
        const std::string id = std::to_string(item->num_iid);
        const std::function<std::optional<std::string>(const std::string&)> value =
            [&](const std::string& n) -> std::optional<std::string> {
            if (n == "volume") return std::to_string(item->volume);
            if (n == "cid") return std::to_string(item->cid);
            if (n == "num") return std::to_string(item->stock);
            if (n == "desc") return "<p>" + item->title + "</p><p>" + seller.nick + "</p>";
            if (n == "nick") return seller.nick;
            if (n == "title") return item->title;
            if (n == "type") return "fixed";
            if (n == "is_ex" || n == "is_3D" || n == "is_timing" || n == "is_virtual" || n == "one_station")
                return "false";
            if (n == "price") return FormatCents(item->price_cents);
            if (n == "props" || n == "input_str" || n == "input_pids" || n == "seller_cids" ||
                n == "property_alias")
                return "";
            if (n == "ems_fee") return FormatCents(item->ems_fee_cents);
            if (n == "num_iid") return id;
            if (n == "pic_url") return PicUrl(ctx.base_url, *item);
            if (n == "modified") return FormatTime(item->list_time + 3600);
            if (n == "post_fee") return FormatCents(item->post_fee_cents);
            if (n == "list_time") return FormatTime(item->list_time);
            if (n == "delist_time") return FormatTime(item->list_time + 14 * 86400);
            if (n == "is_taobao") return "true";
            if (n == "detail_url") return ctx.base_url + "/item/" + id;
            if (n == "postage_id") return "0";
            if (n == "valid_thru") return "14";
            if (n == "express_fee") return FormatCents(item->express_fee_cents);
            if (n == "has_invoice") return Bool(item->has_invoice);
            if (n == "has_showcase") return Bool(item->has_showcase);
            if (n == "stuff_status") return "new";
            if (n == "has_discount") return Bool(item->has_discount);
            if (n == "has_warranty") return Bool(item->has_warranty);
            if (n == "auction_point") return "0";
            if (n == "freight_payer") return item->post_fee_cents == 0 ? "seller" : "buyer";
            if (n == "approve_status") return "onsale";
            return std::nullopt;
        };
        x.Open("item");
        for (const auto& name : names) {
            if (name == "location") {
                x.Open("location");
                x.Leaf("city", seller.city);
                x.Leaf("state", seller.state);
                x.Close("location");
            } else if (auto v = value(name)) {
                x.Leaf(name, *v);
            }
        }
        x.Close("item");
    }
    x.Close("items");
    x.Leaf("total_results", std::to_string(page.total));
    x.Close("items_get_response");
    return x.Take();
}

std::string ItemcatsAnswer(const std::vector<const Category*>& categories, const AnswerContext& ctx) {
    const auto names = Selected(ctx.fields, ItemcatFieldNames());
    XmlOut x;
    x.Open("itemcats_get_response");
    x.Open("item_cats");
    for (const Category* c : categories) {
        x.Open("item_cat");
        for (const auto& n : names) {
            if (n == "cid")
                x.Leaf(n, std::to_string(c->cid));
            else if (n == "name")
                x.Leaf(n, c->name);
            else if (n == "status")
                x.Leaf(n, "normal");
            else if (n == "is_parent")
                x.Leaf(n, Bool(c->is_parent()));
            else if (n == "sort_order")
                x.Leaf(n, std::to_string(c->sort_order));
            else if (n == "parent_cid")
                x.Leaf(n, std::to_string(c->parent_cid));
        }
        x.Close("item_cat");
    }
    x.Close("item_cats");
    x.Close("itemcats_get_response");
    return x.Take();
}

std::string ErrorAnswer(int code, std::string_view msg, std::string_view sub_msg) {
    XmlOut x;
    x.Open("error_response");
    x.Leaf("code", std::to_string(code));
    x.Leaf("msg", msg);
    if (!sub_msg.empty()) x.Leaf("sub_msg", sub_msg);
    x.Close("error_response");
    return x.Take();
}

std::string FinishXml(const std::string& body_utf8, bool gbk) {
    if (!gbk) return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n" + body_utf8;
    return "<?xml version=\"1.0\" encoding=\"GBK\" ?>\n" + Utf8ToGbk(body_utf8);
}

std::string XmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            // Control characters other than tab and line breaks are not allowed in XML.
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                out += '?';
            else
                out += ch;
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int n = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        for (int k = 1; k <= n; ++k) {
            if (i + k >= s.size()) return false;
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(n) + 1;
    }
    return true;
}

std::string Utf8ToGbk(std::string_view text) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    char* in = const_cast<char*>(text.data());
    std::size_t in_left = text.size();
    char buf[4096];
    while (in_left > 0) {
        char* o = buf;
        std::size_t o_left = sizeof buf;
        const std::size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out.append(buf, static_cast<std::size_t>(o - buf));
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // A character GBK cannot hold, or broken UTF-8: one "?" per character.
            out += '?';
            std::size_t skip = 1;
            while (skip < in_left && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80)
                ++skip;
            in += skip;
            in_left -= skip;
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace proxy
