#include "proxy/Pages.h"

#include <algorithm>
#include <vector>

#include "proxy/Answers.h"
#include "proxy/Tables.h"

namespace proxy {

namespace {

const char* kStyle =
    "<style>body{font-family:'Microsoft YaHei',SimSun,sans-serif;font-size:12px;color:#404040;"
    "margin:0;padding:8px}h1{font-size:16px;color:#ff6600;margin:4px 0 10px}"
    "h2{font-size:14px;color:#0063dc;border-bottom:1px solid #dfe8f6;padding-bottom:3px}"
    ".box{border:1px solid #dddddd;margin:0 0 12px;padding:6px}"
    ".it{display:inline-block;width:96px;margin:4px;vertical-align:top;text-align:center}"
    ".it img{width:80px;height:80px;border:1px solid #d9d9d9}"
    ".p{color:#ff2900;font-weight:bold}a{color:#0063dc;text-decoration:none}"
    "a:hover{color:#ff6600;text-decoration:underline}</style>";

std::string Head(const char* charset, const std::string& title) {
    return std::string("<!DOCTYPE html>\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                       "charset=") +
           charset + "\"><title>" + XmlEscape(title) + "</title>" + kStyle +
           // The client scrolls these pages with its own bars, as it does its own pages.
           "</head><body scroll=\"no\">";
}

std::string ItemCell(const Catalogue& catalogue, const Item& item) {
    const std::string id = std::to_string(item.num_iid);
    std::string title = item.title;
    (void)catalogue;
    return "<div class=\"it\"><a href=\"/item/" + id + "\"><img src=\"/pic/" + id +
           "_sum.jpg\" alt=\"\"><br>" + XmlEscape(title) + "</a><br><span class=\"p\">" +
           FormatCents(item.price_cents) + "</span></div>";
}

// The best-selling items below a top-level category.
std::vector<const Item*> BestIn(const Catalogue& catalogue, std::int64_t top_cid, std::size_t n) {
    std::vector<const Item*> found;
    for (const auto& item : catalogue.items())
        if (catalogue.InSubtree(item.cid, top_cid)) found.push_back(&item);
    std::stable_sort(found.begin(), found.end(),
                     [](const Item* a, const Item* b) { return a->volume > b->volume; });
    if (found.size() > n) found.resize(n);
    return found;
}

} // namespace

std::string ChannelPage(const Catalogue& catalogue) {
    std::string html = Head("utf-8", "淘宝频道");
    html += "<h1>淘宝频道</h1><p>精选类目频道，每日更新热卖宝贝。</p>";
    int shown = 0;
    for (const Category* top : catalogue.Children(0)) {
        if (shown++ == 12) break;
        html += "<div class=\"box\"><h2>" + XmlEscape(top->name) + "</h2><p>";
        for (const Category* sub : catalogue.Children(top->cid))
            html += XmlEscape(sub->name) + " &nbsp; ";
        html += "</p>";
        for (const Item* item : BestIn(catalogue, top->cid, 6))
            html += ItemCell(catalogue, *item);
        html += "</div>";
    }
    html += "</body></html>";
    return html;
}

std::string EventPage(const Catalogue& catalogue) {
    static const char* kEvents[] = {"秋季新品上市 全场包邮", "皇冠店铺联合促销", "数码家电 限时秒杀",
                                    "国庆黄金周 特价专场",   "品牌女装 五折起",  "居家日用 满百减二十"};
    std::string html = Head("gbk", "热门活动");
    html += "<h1>热门活动</h1>";
    const auto& items = catalogue.items();
    for (std::size_t e = 0; e < std::size(kEvents); ++e) {
        html += "<div class=\"box\"><h2>" + std::string(kEvents[e]) +
                "</h2><p>活动时间：2010年9月25日至10月7日</p>";
        for (std::size_t k = 0; k < 8 && !items.empty(); ++k)
            html += ItemCell(catalogue, items[(e * 131 + k * 17) % items.size()]);
        html += "</div>";
    }
    html += "</body></html>";
    return html;
}

std::string CountPage(std::uint64_t visit) {
    return "<!DOCTYPE html>\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
           "charset=utf-8\">"
           "<title>count</title></head><body><!-- visit " +
           std::to_string(visit) + " --></body></html>";
}

std::string ItemPage(const Catalogue& catalogue, const Item& item, const std::string& pid) {
    const Seller& seller = catalogue.SellerOf(item);
    const std::string id = std::to_string(item.num_iid);
    std::string html = Head("utf-8", item.title);
    html += "<h1>" + XmlEscape(item.title) + "</h1><div class=\"box\"><img src=\"/pic/" + id +
            "_310x310.jpg\" alt=\"\" style=\"float:left;margin-right:12px\">";
    html += "<p>价格：<span class=\"p\">￥" + FormatCents(item.price_cents) + "</span></p>";
    html += "<p>30天售出 " + std::to_string(item.volume) + " 件</p>";
    html += "<p>卖家：<a href=\"/click/shop/" + std::to_string(seller.id + 1) + "?pid=" + XmlEscape(pid) +
            "\">" + XmlEscape(seller.nick) + "</a> (" + XmlEscape(seller.location()) + ")</p>";
    html += "<p>宝贝编号：" + id + "</p>";
    if (!pid.empty()) html += "<p>推广者：" + XmlEscape(pid) + "</p>";
    html += "<div style=\"clear:both\"></div></div></body></html>";
    return html;
}

std::string ShopPage(const Catalogue& catalogue, const Seller& seller, const std::string& pid) {
    std::string html = Head("utf-8", seller.nick + "的店铺");
    const auto& icons = tables::CreditIcons();
    html += "<h1>" + XmlEscape(seller.nick) + "的店铺</h1><div class=\"box\"><p>所在地：" +
            XmlEscape(seller.location()) + " &nbsp; 信用：<img src=\"/newrank/" +
            icons[static_cast<std::size_t>(seller.credit - 1)] + "\" alt=\"\"></p>";
    if (seller.guarantee) html += "<p>已加入消费者保障服务</p>";
    if (!pid.empty()) html += "<p>推广者：" + XmlEscape(pid) + "</p>";
    std::vector<const Item*> own;
    for (const auto& item : catalogue.items())
        if (item.seller == seller.id) own.push_back(&item);
    std::stable_sort(own.begin(), own.end(),
                     [](const Item* a, const Item* b) { return a->volume > b->volume; });
    if (own.size() > 20) own.resize(20);
    for (const Item* item : own)
        html += ItemCell(catalogue, *item);
    html += "</div></body></html>";
    return html;
}

} // namespace proxy
