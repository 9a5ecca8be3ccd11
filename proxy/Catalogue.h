// The sample catalogue of the reference proxy: a category tree, sellers and
// items, generated deterministically from a seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace proxy {

struct Category {
    std::int64_t cid = 0;
    std::int64_t parent_cid = 0; // 0 for the top level
    std::string name;
    int sort_order = 0; // position among its siblings, from 1
    int depth = 1;      // 1 for the top level
    std::vector<std::int64_t> children;
    bool is_parent() const { return !children.empty(); }
};

struct Seller {
    std::size_t id = 0; // index in Catalogue::sellers()
    std::string nick;
    int credit = 1; // seller_credit_score, 1 to 20
    std::string state;
    std::string city;
    bool guarantee = false; // consumer-protection pledge
    // "浙江 杭州"; a single name where state and city coincide ("上海").
    std::string location() const { return city.empty() || city == state ? state : state + " " + city; }
};

struct Item {
    std::uint64_t num_iid = 0;
    std::string title;
    std::int64_t cid = 0; // a leaf category
    std::size_t seller = 0;
    std::int64_t price_cents = 0;
    int volume = 0;             // sold in the last 30 days
    int stock = 0;              // "num"
    int commission_rate_bp = 0; // 1/100 percent: 550 = 5.50 %
    std::int64_t commission_cents = 0;
    int commission_num = 0; // affiliate sales in the last 30 days
    std::int64_t commission_volume_cents = 0;
    std::int64_t post_fee_cents = 0;
    std::int64_t express_fee_cents = 0;
    std::int64_t ems_fee_cents = 0;
    std::int64_t list_time = 0; // seconds since 1970, UTC+8 wall clock
    bool has_discount = false;
    bool has_invoice = false;
    bool has_showcase = false;
    bool has_warranty = false;
};

// Money in cents as the platform writes it: "128.00".
std::string FormatCents(std::int64_t cents);
// Seconds since 1970 (UTC) as Beijing wall-clock time, "2010-09-20 10:00:00".
std::string FormatTime(std::int64_t seconds);

class Catalogue {
public:
    static constexpr std::size_t kPageSize = 40;

    struct Shape {
        std::size_t items = 6000;
        std::size_t sellers = 360;
    };

    // Generated from the seed; the same seed always gives the same catalogue.
    explicit Catalogue(std::uint64_t seed);
    Catalogue(std::uint64_t seed, Shape shape);
    // A hand-made catalogue (test fixtures). Items must reference existing
    // sellers and categories; parents must precede their children.
    Catalogue(std::vector<Category> categories, std::vector<Seller> sellers, std::vector<Item> items);

    const std::vector<Category>& categories() const { return categories_; }
    const std::vector<Seller>& sellers() const { return sellers_; }
    const std::vector<Item>& items() const { return items_; }

    const Category* FindCategory(std::int64_t cid) const;
    // The categories directly below parent_cid (0: the top level), in sort order.
    std::vector<const Category*> Children(std::int64_t parent_cid) const;
    // True when cid is ancestor_cid or lies below it; every cid lies below 0.
    bool InSubtree(std::int64_t cid, std::int64_t ancestor_cid) const;
    const Item* FindItem(std::uint64_t num_iid) const;
    const Seller* FindSeller(const std::string& nick) const;
    const Seller& SellerOf(const Item& item) const { return sellers_[item.seller]; }

private:
    void Index();
    void Generate(std::uint64_t seed, Shape shape);

    std::vector<Category> categories_;
    std::vector<Seller> sellers_;
    std::vector<Item> items_;
    std::unordered_map<std::int64_t, std::size_t> category_index_;
    std::unordered_map<std::uint64_t, std::size_t> item_index_;
    std::unordered_map<std::string, std::size_t> seller_index_;
};

} // namespace proxy
