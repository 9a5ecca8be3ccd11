#include "search/ResultPages.h"

#include "search/HtmlSafe.h"

#include <initializer_list>
#include <string_view>

const char* const ListPageHead =
    R"HTML(<head> <meta http-equiv="Content-Type" content="text/html;charset=gb2312" /> <style type="text/css"> .item{MARGIN:0px;border:1px solid #dfe8f6;width:100%;padding-top:7px;padding-right:4px;padding-bottom:6px;padding-left:5px;cursor:default;}.li{height:80px;width:auto;}.h{color:#ff2900;}.div_pic{width:80px;height:80px;line-height:80px;border:1px solid #d9d9d9;overflow:hidden;position:relative;text-align:center;float:left;background-color:#FFFFFF;margin-right:8px;cursor:pointer;}.div_pic p{position:static;position:absolute;top:50%;vertical-align:middle}.div_pic img{position:static;position:relative;top:-50%;left:-50%;vertical-align:middle}.div_title{width:170px;padding-top:6px;font-size:13px;line-height:18px;float:left;margin-right:12px;}.div_title1{height:58px;cursor:pointer;}.div_price{width:80px;float:left;text-align:center;font-weight:bold;padding-top:30px;}.a{font-size:12px;color:#797979;}.b{font-size:14px;color:#FF2900;}.div_local{margin-right:10px;width:80px;padding-top:32px;font-size:12px;text-align:center;float:left}.div_30{width:100px;margin-right:8px;padding-top:32px;font-size:12px;float:left}.div_nick a{color:#555555;text-decoration:underline;}.div_nick a:hover{color:#0063DC}a{color:#0063DC;text-decoration:none;}a:hover{color:#ff6600;text-decoration:underline;}.div_credit{padding-top:30px;width:88px;text-align:center;} </style> <script language="javascript">function over(mydiv){mydiv.style.border="1px solid #99bbe8";mydiv.style.background= "#dfe8f6";}function out(mydiv){mydiv.style.border="1px solid #dfe8f6";mydiv.style.background= "";}function OnPic(index){window.open(click_url[index].href);}</script></head><body leftMargin=0  topMargin=0 scroll="no" style="color:#404040;font-size:12px;width:100%; border-width=0;">)HTML";

const char* const PicturePageHead =
    R"HTML(<head> <meta http-equiv="Content-Type" content="text/html; charset=gb2312" /><style>.li{width:210px;float:left;margin-top:6px;margin-right:1px;margin-bottom:10px;margin-left:5px;}.h{color:#ff2900;}.div_pic{width:210px;height:210px;line-height:210px;border:1px solid #d9d9d9;overflow:hidden;position:relative;text-align:center;float:left;background-color:#FFFFFF;cursor:pointer;}.div_pic p {position:static;position:absolute;top:50%;vertical-align:middle}.div_pic img {position:static;position:relative;top:-50%;left:-50%;vertical-align:middle}.div_title{width:210px;height:42px;padding-top:6px;line-height:18px;}a{color:#0063DC;text-decoration:none;}a:hover{color:#ff6600;text-decoration:underline;}.div_price{float:left;width:90px;padding-bottom:4px;}.b{font-weight:bold;font-size:16px;color:#FF2900;}.div_30{width:auto;padding-bottom:4px;padding-top:3px;text-align:right;color:#404040;}.div_nick{width:130px;float:left;}.div_local{width:auto;color:#404040;text-align:right;}</style> <script language="javascript">function OnPic(index){open(click_url[index].href);}</script></head><body leftMargin=0  topMargin=0 scroll="no" style="color:#404040;font-size:12px;width:100%; border-width=0;">)HTML";

namespace {

// Appends fmt with each "%s" or "%d" replaced by the next argument, in order.
void Append(std::string& out, std::string_view fmt, std::initializer_list<std::string_view> args) {
    auto arg = args.begin();
    size_t i = 0;
    while (i < fmt.size()) {
        if (fmt[i] == '%' && i + 1 < fmt.size() && (fmt[i + 1] == 's' || fmt[i + 1] == 'd') &&
            arg != args.end()) {
            out += *arg++;
            i += 2;
        } else {
            out += fmt[i++];
        }
    }
}

// The values of one item as they go into the page.
struct SafeItem {
    std::string index, pic, click, title, shop, nick, price, location, volume, icon;
    SafeItem(int i, const Tbk_Items_Info& item)
        : index(std::to_string(i)), pic(SafeUrl(item.pic_url)), click(SafeUrl(item.click_url)),
          title(SanitizeMarkup(item.title)), shop(SafeUrl(item.shop_click_url)), nick(HtmlEscape(item.nick)),
          price(HtmlEscape(item.price)), location(HtmlEscape(item.item_location)),
          volume(HtmlEscape(item.volume)), icon(HtmlEscape(CreditIconUrl(item.seller_credit_score))) {}
};

template <class Fragments> std::string BuildPage(const TAB& tab, const char* head, Fragments fragments) {
    std::string page = head;
    page.reserve(page.size() + 1200 * TabItemCount);
    for (int i = 0; i < TabItemCount; ++i) {
        const Tbk_Items_Info& item = tab.Items[i];
        if (item.title.empty()) break;
        fragments(page, SafeItem(i, item));
    }
    page += "</body>";
    return page;
}

} // namespace

std::string BuildListPage(const TAB& tab) {
    return BuildPage(tab, ListPageHead, [](std::string& p, const SafeItem& v) {
        Append(
            p,
            R"HTML(<div class="item" onMouseOver="over(this);" onMouseOut="out(this)"><div class="li">)HTML",
            {});
        Append(p, R"HTML(<div class="div_pic" onClick="OnPic(%d)"><p><img src="%s_sum.jpg" /></p></div>)HTML",
               {v.index, v.pic});
        Append(
            p,
            R"HTML(<div class="div_title"><a id="click_url" href="%s" target="_blank"><span class="div_title1">%s</span></a>)HTML",
            {v.click, v.title});
        Append(p, R"HTML(<div class="div_nick"><a href="%s" target="_blank">%s</a></div></div>)HTML",
               {v.shop, v.nick});
        Append(p,
               R"HTML(<div class="div_price"><span class="a">￥</span><span class="b">%s</span></div>)HTML",
               {v.price});
        Append(p, R"HTML(<div class="div_local">%s</div>)HTML", {v.location});
        Append(p, R"HTML(<div class="div_30">30天售出 %s 件</div>)HTML", {v.volume});
        Append(p, R"HTML(<div class="div_credit"><img src="%s"/></div>)HTML", {v.icon});
        Append(p, R"HTML(</div></div>)HTML", {});
    });
}

std::string BuildPicturePage(const TAB& tab) {
    return BuildPage(tab, PicturePageHead, [](std::string& p, const SafeItem& v) {
        Append(p, R"HTML(<div class="li">)HTML", {});
        Append(
            p,
            R"HTML(<div class="div_pic" onclick="OnPic(%d)"><p><img src="%s_160x160.jpg" /></p></div>)HTML",
            {v.index, v.pic});
        Append(p,
               R"HTML(<div class="div_title"><a id="click_url" href="%s" target="_blank">%s</a></div>)HTML",
               {v.click, v.title});
        Append(p, R"HTML(<div class="div_price">￥<span class="b">%s</span></div>)HTML", {v.price});
        Append(p, R"HTML(<div class="div_30">30天已售出 %s 件</div>)HTML", {v.volume});
        Append(
            p,
            R"HTML(<div class="div_nick"><a href="%s" target="_blank">%s</a><br /><img src="%s" /></div>)HTML",
            {v.shop, v.nick, v.icon});
        Append(p, R"HTML(<div class="div_local">%s</div>)HTML", {v.location});
        Append(p, R"HTML(</div>)HTML", {});
    });
}

std::string BuildResultPage(const TAB& tab, int displayMode) {
    return displayMode == 1 ? BuildListPage(tab) : BuildPicturePage(tab);
}
