// Queries over the sample catalogue: the affiliate search, one seller's items
// and the parsing of the request values that drive them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "proxy/Catalogue.h"

namespace proxy {

enum class SortKey { CommissionVolumeDesc, PriceAsc, PriceDesc, CreditDesc, CommissionNumDesc, VolumeDesc };

struct SearchQuery {
    std::vector<std::string> terms; // every term must occur in the title
    std::int64_t cid = 0;           // 0: all categories
    std::optional<std::int64_t> start_price_cents, end_price_cents;
    int start_credit = 1, end_credit = 20;
    std::vector<std::string> areas; // any of them in item_location
    bool guarantee = false;
    SortKey sort = SortKey::CommissionVolumeDesc;
    int page_no = 1;
};

struct ShopQuery {
    std::vector<std::string> nicks; // exact seller nicks; empty: any seller
    std::vector<std::string> terms; // q
    std::int64_t cid = 0;
    std::optional<std::int64_t> start_price_cents, end_price_cents;
    SortKey sort = SortKey::VolumeDesc;
    int page_no = 1;
};

struct Page {
    std::size_t total = 0;
    std::vector<const Item*> items; // at most Catalogue::kPageSize
};

// Keeps one ordering of the catalogue per sort key, so a page is one filtered
// pass without sorting.
class Searcher {
public:
    explicit Searcher(const Catalogue& catalogue);
    Page Search(const SearchQuery& q) const;
    Page ListShop(const ShopQuery& q) const;
    const Catalogue& catalogue() const { return catalogue_; }

private:
    const std::vector<const Item*>& Order(SortKey key) const;
    const Catalogue& catalogue_;
    std::vector<std::vector<const Item*>> orders_;
};

// ---- request values ----

// Decimal money ("10", "10.5", "10.50") in cents; nullopt when malformed.
std::optional<std::int64_t> ParsePrice(std::string_view text);
// Positive decimal integer within [lo, hi]; nullopt otherwise.
std::optional<std::int64_t> ParseInt(std::string_view text, std::int64_t lo, std::int64_t hi);
// A CreditNames entry ("3heart") as a level 1 to 20; nullopt otherwise.
std::optional<int> ParseCredit(std::string_view text);
// A SortKeys entry; nullopt otherwise.
std::optional<SortKey> ParseSearchSort(std::string_view text);
// The seller listing's order_by: "volume", "volume:desc", "price:asc", "price:desc".
std::optional<SortKey> ParseShopOrder(std::string_view text);
// Splits on the separator, trims ASCII and ideographic spaces, drops empty parts.
std::vector<std::string> SplitList(std::string_view text, char separator);
// Keyword terms: split on spaces.
std::vector<std::string> SplitTerms(std::string_view keyword);

// ---- titles ----

// Position of needle in hay, ASCII letters compared without case; npos if absent.
std::size_t FindNoCase(std::string_view hay, std::string_view needle, std::size_t from = 0);
// True when every term occurs in the title.
bool TitleMatches(std::string_view title, const std::vector<std::string>& terms);
// The title with every occurrence of every term wrapped in <span class=H>...</span>.
std::string HighlightTitle(std::string_view title, const std::vector<std::string>& terms);

} // namespace proxy
