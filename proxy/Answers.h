// The XML answers of the four catalogue services and the error answer, plus
// the text helpers they need (escaping, UTF-8 checks, GBK output).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "proxy/Catalogue.h"
#include "proxy/Search.h"

namespace proxy {

// What every answer needs to know about the request it answers.
struct AnswerContext {
    std::string base_url;            // "http://127.0.0.1:18080", from the request's Host
    std::string pid;                 // the publisher id, carried into the click links
    std::vector<std::string> fields; // requested element names; empty: all
};

// Item fields of the affiliate search and the conversion, in their default order.
const std::vector<std::string>& TbkItemFieldNames();
// Item fields of the seller listing, in the order of its fields list ("location" included).
const std::vector<std::string>& TbItemFieldNames();
// Category fields.
const std::vector<std::string>& ItemcatFieldNames();

std::string TbkItemsAnswer(const Catalogue& catalogue, const Page& page,
                           const std::vector<std::string>& terms, const AnswerContext& ctx);
std::string ConvertAnswer(const Catalogue& catalogue, const std::vector<const Item*>& items,
                          const AnswerContext& ctx);
std::string TbItemsAnswer(const Catalogue& catalogue, const Page& page, const AnswerContext& ctx);
std::string ItemcatsAnswer(const std::vector<const Category*>& categories, const AnswerContext& ctx);
// The platform's error shape: <error_response><code/><msg/><sub_msg/></error_response>.
std::string ErrorAnswer(int code, std::string_view msg, std::string_view sub_msg = {});

// The finished document: XML declaration plus body, UTF-8 or GBK-encoded.
std::string FinishXml(const std::string& body_utf8, bool gbk);

// Link targets handed out with the items.
std::string ItemClickUrl(const std::string& base_url, const Item& item, const std::string& pid);
std::string ShopClickUrl(const std::string& base_url, const Seller& seller, const std::string& pid);
std::string PicUrl(const std::string& base_url, const Item& item);

// ---- text ----
std::string XmlEscape(std::string_view text); // also good for HTML text and attributes
bool IsValidUtf8(std::string_view text);
// UTF-8 to GBK; characters GBK lacks become "?".
std::string Utf8ToGbk(std::string_view text);

} // namespace proxy
