#include "proxy/Search.h"

#include <algorithm>
#include <cctype>

#include "proxy/Tables.h"

namespace proxy {

namespace {

template <class Key> void SortBy(std::vector<const Item*>& v, Key key) {
    // Ties by item id, so equal keys still give a stable, repeatable order.
    std::sort(v.begin(), v.end(), [&](const Item* a, const Item* b) {
        auto ka = key(*a), kb = key(*b);
        if (ka != kb) return ka < kb;
        return a->num_iid < b->num_iid;
    });
}

bool PriceIn(const Item& item, const std::optional<std::int64_t>& lo, const std::optional<std::int64_t>& hi) {
    return (!lo || item.price_cents >= *lo) && (!hi || item.price_cents <= *hi);
}

std::string_view Trim(std::string_view s) {
    static constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
    for (;;) {
        if (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
            s.remove_prefix(1);
        else if (s.substr(0, 3) == kIdeographicSpace)
            s.remove_prefix(3);
        else if (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
            s.remove_suffix(1);
        else if (s.size() >= 3 && s.substr(s.size() - 3) == kIdeographicSpace)
            s.remove_suffix(3);
        else
            return s;
    }
}

} // namespace

Searcher::Searcher(const Catalogue& catalogue) : catalogue_(catalogue) {
    std::vector<const Item*> all;
    for (const auto& item : catalogue.items())
        all.push_back(&item);
    const auto& sellers = catalogue.sellers();
    orders_.resize(6, all);
    SortBy(orders_[static_cast<int>(SortKey::CommissionVolumeDesc)],
           [](const Item& i) { return -i.commission_volume_cents; });
    SortBy(orders_[static_cast<int>(SortKey::PriceAsc)], [](const Item& i) { return i.price_cents; });
    SortBy(orders_[static_cast<int>(SortKey::PriceDesc)], [](const Item& i) { return -i.price_cents; });
    SortBy(orders_[static_cast<int>(SortKey::CreditDesc)],
           [&](const Item& i) { return -static_cast<std::int64_t>(sellers[i.seller].credit); });
    SortBy(orders_[static_cast<int>(SortKey::CommissionNumDesc)],
           [](const Item& i) { return -static_cast<std::int64_t>(i.commission_num); });
    SortBy(orders_[static_cast<int>(SortKey::VolumeDesc)],
           [](const Item& i) { return -static_cast<std::int64_t>(i.volume); });
}

const std::vector<const Item*>& Searcher::Order(SortKey key) const {
    return orders_[static_cast<int>(key)];
}

template <class Pred> static Page Collect(const std::vector<const Item*>& order, int page_no, Pred matches) {
    Page page;
    const std::size_t first = static_cast<std::size_t>(page_no - 1) * Catalogue::kPageSize;
    for (const Item* item : order) {
        if (!matches(*item)) continue;
        if (page.total >= first && page.items.size() < Catalogue::kPageSize) page.items.push_back(item);
        ++page.total;
    }
    return page;
}

Page Searcher::Search(const SearchQuery& q) const {
    return Collect(Order(q.sort), q.page_no, [&](const Item& item) {
        const Seller& seller = catalogue_.SellerOf(item);
        if (seller.credit < q.start_credit || seller.credit > q.end_credit) return false;
        if (q.guarantee && !seller.guarantee) return false;
        if (!PriceIn(item, q.start_price_cents, q.end_price_cents)) return false;
        if (!q.areas.empty()) {
            const std::string location = seller.location();
            if (std::none_of(q.areas.begin(), q.areas.end(),
                             [&](const std::string& a) { return location.find(a) != std::string::npos; }))
                return false;
        }
        if (!TitleMatches(item.title, q.terms)) return false;
        return catalogue_.InSubtree(item.cid, q.cid);
    });
}

Page Searcher::ListShop(const ShopQuery& q) const {
    std::vector<std::size_t> sellers;
    for (const auto& nick : q.nicks) {
        if (const Seller* s = catalogue_.FindSeller(nick)) sellers.push_back(s->id);
    }
    if (!q.nicks.empty() && sellers.empty()) return {};
    return Collect(Order(q.sort), q.page_no, [&](const Item& item) {
        if (!sellers.empty() && std::find(sellers.begin(), sellers.end(), item.seller) == sellers.end())
            return false;
        if (!PriceIn(item, q.start_price_cents, q.end_price_cents)) return false;
        if (!TitleMatches(item.title, q.terms)) return false;
        return catalogue_.InSubtree(item.cid, q.cid);
    });
}

std::optional<std::int64_t> ParsePrice(std::string_view text) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    std::int64_t yuan = 0, cents = 0;
    std::size_t i = 0;
    bool digits = false;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, digits = true)
        yuan = yuan * 10 + (text[i] - '0');
    if (i < text.size()) {
        if (text[i] != '.') return std::nullopt;
        ++i;
        int places = 0;
        for (; i < text.size(); ++i, ++places) {
            if (!std::isdigit(static_cast<unsigned char>(text[i])) || places >= 2) return std::nullopt;
            cents = cents * 10 + (text[i] - '0');
            digits = true;
        }
        if (places == 1) cents *= 10;
    }
    if (!digits) return std::nullopt;
    return yuan * 100 + cents;
}

std::optional<std::int64_t> ParseInt(std::string_view text, std::int64_t lo, std::int64_t hi) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::int64_t v = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v < lo || v > hi) return std::nullopt;
    return v;
}

std::optional<int> ParseCredit(std::string_view text) {
    const auto& names = tables::CreditNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == text) return static_cast<int>(i) + 1;
    return std::nullopt;
}

std::optional<SortKey> ParseSearchSort(std::string_view text) {
    static constexpr SortKey kKeys[] = {SortKey::CommissionVolumeDesc, SortKey::PriceAsc, SortKey::PriceDesc,
                                        SortKey::CreditDesc, SortKey::CommissionNumDesc};
    const auto& names = tables::SortKeys();
    for (std::size_t i = 0; i < names.size() && i < std::size(kKeys); ++i)
        if (names[i] == text) return kKeys[i];
    return std::nullopt;
}

std::optional<SortKey> ParseShopOrder(std::string_view text) {
    if (text == "volume" || text == "volume:desc") return SortKey::VolumeDesc;
    if (text == "price:asc") return SortKey::PriceAsc;
    if (text == "price:desc") return SortKey::PriceDesc;
    return std::nullopt;
}

std::vector<std::string> SplitList(std::string_view text, char separator) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view part = Trim(text.substr(start, end - start));
        if (!part.empty()) out.emplace_back(part);
        start = end + 1;
    }
    return out;
}

std::vector<std::string> SplitTerms(std::string_view keyword) {
    std::vector<std::string> out;
    for (auto& part : SplitList(keyword, ' ')) {
        // An ideographic space separates terms as well.
        std::size_t start = 0;
        for (;;) {
            std::size_t pos = part.find("\xE3\x80\x80", start);
            std::string_view piece = Trim(std::string_view(part).substr(
                start, pos == std::string::npos ? std::string::npos : pos - start));
            if (!piece.empty()) out.emplace_back(piece);
            if (pos == std::string::npos) break;
            start = pos + 3;
        }
    }
    return out;
}

std::size_t FindNoCase(std::string_view hay, std::string_view needle, std::size_t from) {
    if (needle.empty() || needle.size() > hay.size()) return std::string_view::npos;
    // Without ASCII letters case does not matter, and the plain search is much faster.
    if (std::none_of(needle.begin(), needle.end(),
                     [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
        return hay.find(needle, from);
    auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    for (std::size_t i = from; i + needle.size() <= hay.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && lower(hay[i + k]) == lower(needle[k]))
            ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

bool TitleMatches(std::string_view title, const std::vector<std::string>& terms) {
    for (const auto& t : terms)
        if (FindNoCase(title, t) == std::string_view::npos) return false;
    return true;
}

std::string HighlightTitle(std::string_view title, const std::vector<std::string>& terms) {
    if (terms.empty()) return std::string(title);
    // Mark the covered bytes first, so overlapping terms give one span.
    std::vector<bool> covered(title.size(), false);
    for (const auto& t : terms) {
        for (std::size_t pos = FindNoCase(title, t); pos != std::string_view::npos;
             pos = FindNoCase(title, t, pos + t.size()))
            std::fill(covered.begin() + pos, covered.begin() + pos + t.size(), true);
    }
    std::string out;
    for (std::size_t i = 0; i < title.size(); ++i) {
        if (covered[i] && (i == 0 || !covered[i - 1])) out += "<span class=H>";
        out += title[i];
        if (covered[i] && (i + 1 == title.size() || !covered[i + 1])) out += "</span>";
    }
    return out;
}

} // namespace proxy
