// The HTML pages the proxy publishes: channel and event pages, the visit
// counter and the landing pages behind the click links. All built as UTF-8.
#pragma once

#include <cstdint>
#include <string>

#include "proxy/Catalogue.h"

namespace proxy {

// The channel page ("淘宝频道"): category channels with their best sellers.
// Declares charset utf-8.
std::string ChannelPage(const Catalogue& catalogue);
// The event page ("热门活动"): promotions with items. Declares charset gbk;
// the caller encodes it.
std::string EventPage(const Catalogue& catalogue);
// The invisible visit counter.
std::string CountPage(std::uint64_t visit);
// Landing page of an item's click link.
std::string ItemPage(const Catalogue& catalogue, const Item& item, const std::string& pid);
// Landing page of a shop's click link: the seller and their best items.
std::string ShopPage(const Catalogue& catalogue, const Seller& seller, const std::string& pid);

} // namespace proxy
