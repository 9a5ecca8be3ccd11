#include "proxy/Catalogue.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <stdexcept>

#include "proxy/Tables.h"

namespace proxy {

namespace {

// splitmix64: small, fast and the same on every platform (the standard
// distributions are not, so they are not used here).
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi].
    std::int64_t Range(std::int64_t lo, std::int64_t hi) {
        return lo + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
    bool Chance(int percent) { return Range(0, 99) < percent; }
    template <class T> const T& Pick(const std::vector<T>& v) { return v[Next() % v.size()]; }
    template <class T, std::size_t N> const T& Pick(const std::array<T, N>& v) { return v[Next() % N]; }

private:
    std::uint64_t state_;
};

std::vector<std::string> SplitSlash(const std::string& s) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= s.size()) {
        std::size_t end = s.find('/', start);
        if (end == std::string::npos) end = s.size();
        if (end > start) out.push_back(s.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

struct Place {
    const char* state;
    const char* city;
    int weight;
};

// Seller regions. Every place name of the region selector is found in at
// least one of these as a substring of "state city".
const std::array<Place, 57> kPlaces = {{
    {"浙江", "杭州", 9},     {"浙江", "宁波", 3},     {"浙江", "温州", 3},   {"浙江", "义乌", 2},
    {"江苏", "南京", 3},     {"江苏", "苏州", 3},     {"江苏", "无锡", 2},   {"江苏", "常州", 2},
    {"上海", "上海", 8},     {"北京", "北京", 6},     {"天津", "天津", 2},   {"重庆", "重庆", 2},
    {"广东", "广州", 6},     {"广东", "深圳", 6},     {"广东", "东莞", 2},   {"广东", "佛山", 2},
    {"广东", "珠海", 1},     {"广东", "中山", 1},     {"广东", "惠州", 1},   {"湖北", "武汉", 2},
    {"四川", "成都", 2},     {"黑龙江", "哈尔滨", 1}, {"山东", "济南", 1},   {"山东", "青岛", 2},
    {"辽宁", "沈阳", 1},     {"辽宁", "大连", 1},     {"福建", "福州", 2},   {"福建", "厦门", 2},
    {"陕西", "西安", 1},     {"湖南", "长沙", 2},     {"安徽", "合肥", 1},   {"广西", "南宁", 1},
    {"江西", "南昌", 1},     {"河南", "郑州", 1},     {"河北", "石家庄", 1}, {"甘肃", "兰州", 1},
    {"贵州", "贵阳", 1},     {"海南", "海口", 1},     {"吉林", "长春", 1},   {"内蒙古", "呼和浩特", 1},
    {"宁夏", "银川", 1},     {"青海", "西宁", 1},     {"山西", "太原", 1},   {"新疆", "乌鲁木齐", 1},
    {"西藏", "拉萨", 1},     {"云南", "昆明", 1},     {"香港", "香港", 2},   {"澳门", "澳门", 1},
    {"台湾", "台北", 1},     {"美国", "纽约", 1},     {"日本", "东京", 1},   {"韩国", "首尔", 1},
    {"英国", "伦敦", 1},     {"法国", "巴黎", 1},     {"澳洲", "悉尼", 1},   {"德国", "柏林", 1},
    {"其它国家", "迪拜", 1},
}};

const std::array<const char*, 24> kNickHeads = {
    "阳光", "小燕子", "快乐", "星空", "蓝天", "开心", "甜蜜", "海洋", "金牌", "诚信", "优品", "尚品",
    "美美", "淘淘",   "乐乐", "天天", "好运", "小猪", "糖果", "花语", "木棉", "青青", "果果", "馨馨"};
const std::array<const char*, 16> kNickTails = {"数码",   "小屋", "商城",   "旗舰店", "专卖",   "精品店",
                                                "家居",   "衣橱", "杂货铺", "生活馆", "皇冠店", "特卖",
                                                "工作室", "百货", "小铺",   "批发"};
const std::array<const char*, 10> kAsciiNicks = {"abc",      "Tom",     "tom",     "sunny_shop", "hz2010",
                                                 "best-buy", "Lily123", "mocha88", "zj_store",   "KK"};

const std::array<const char*, 14> kTitleLeads = {"2010新款", "正品", "特价", "热卖", "限量", "专柜", "原装",
                                                 "品牌",     "外贸", "秒杀", "清仓", "新品", "皇冠", "爆款"};
const std::array<const char*, 16> kTitleStyles = {"韩版", "欧美", "日系", "简约", "时尚", "经典",
                                                  "复古", "休闲", "商务", "可爱", "潮流", "百搭",
                                                  "精致", "实用", "豪华", "迷你"};
const std::array<const char*, 12> kTitleSpecs = {"大号",   "小号",     "加厚", "超薄", "升级版", "套装",
                                                 "礼盒装", "多色可选", "高清", "耐用", "轻便",   "防水"};
const std::array<const char*, 10> kTitleTails = {"包邮",     "现货",     "促销",     "特惠",     "送礼",
                                                 "买一送一", "正品保证", "假一赔三", "全国联保", "七天退换"};

// Everyday product words for some top-level categories, keyed by the first
// part of the category name, so titles read like real listings.
struct Products {
    const char* top;
    std::vector<const char*> words;
};
const std::vector<Products> kProducts = {
    {"女装", {"连衣裙", "T恤", "外套", "毛衣", "牛仔裤", "半身裙", "风衣"}},
    {"男装", {"衬衫", "夹克", "西装", "休闲裤", "卫衣", "POLO衫"}},
    {"女鞋", {"高跟鞋", "靴子", "凉鞋", "单鞋", "雪地靴"}},
    {"流行男鞋", {"皮鞋", "休闲鞋", "板鞋", "帆布鞋"}},
    {"运动鞋", {"跑步鞋", "篮球鞋", "网球鞋", "登山鞋"}},
    {"箱包皮具", {"双肩包", "钱包", "拉杆箱", "单肩包", "手提包"}},
    {"手机", {"智能手机", "手机壳", "蓝牙耳机", "充电器", "贴膜"}},
    {"笔记本电脑", {"笔记本", "上网本", "电脑包", "散热器"}},
    {"数码相机", {"单反", "卡片机", "镜头", "三脚架", "存储卡"}},
    {"MP3", {"MP3", "MP4", "iPod", "录音笔", "耳机"}},
    {"零食", {"坚果", "茶叶", "牛肉干", "巧克力", "饼干"}},
    {"彩妆", {"香水", "口红", "睫毛膏", "粉底液"}},
    {"美容护肤", {"面膜", "洗面奶", "爽肤水", "精华液"}},
    {"床上用品", {"四件套", "被子", "枕头", "毛巾", "靠垫"}},
    {"童装", {"童鞋", "孕妇装", "宝宝衣服", "儿童外套"}},
    {"品牌手表", {"机械表", "石英表", "情侣表", "电子表"}},
    {"饰品", {"项链", "耳环", "手链", "戒指", "发饰"}},
    {"书籍", {"小说", "教材", "杂志", "绘本", "字典"}},
};

const std::array<const char*, 5> kLevel2Extras = {"精选", "新品", "特价", "品牌", "配件"};
const std::array<const char*, 6> kLevel3Qualifiers = {"品牌专区", "新款上市", "特价清仓",
                                                      "进口",     "国产",     "热销"};
const std::array<const char*, 3> kLevel4Qualifiers = {"高端", "中端", "入门"};

} // namespace

std::string FormatCents(std::int64_t cents) {
    char buf[32];
    const char* sign = cents < 0 ? "-" : "";
    std::int64_t a = cents < 0 ? -cents : cents;
    std::snprintf(buf, sizeof buf, "%s%lld.%02lld", sign, static_cast<long long>(a / 100),
                  static_cast<long long>(a % 100));
    return buf;
}

std::string FormatTime(std::int64_t seconds) {
    // Shown as Beijing time (UTC+8), like the platform's own stamps.
    std::time_t t = static_cast<std::time_t>(seconds + 8 * 3600);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

Catalogue::Catalogue(std::uint64_t seed) : Catalogue(seed, Shape{}) {}

Catalogue::Catalogue(std::uint64_t seed, Shape shape) {
    Generate(seed, shape);
    Index();
}

Catalogue::Catalogue(std::vector<Category> categories, std::vector<Seller> sellers, std::vector<Item> items)
    : categories_(std::move(categories)), sellers_(std::move(sellers)), items_(std::move(items)) {
    for (std::size_t i = 0; i < sellers_.size(); ++i)
        sellers_[i].id = i;
    Index();
    // Rebuild the child lists from the parent links so fixtures only give parents.
    for (auto& c : categories_)
        c.children.clear();
    for (const auto& c : categories_) {
        if (c.parent_cid == 0) continue;
        auto it = category_index_.find(c.parent_cid);
        if (it == category_index_.end()) throw std::invalid_argument("category without parent");
        categories_[it->second].children.push_back(c.cid);
    }
    for (const auto& item : items_) {
        if (item.seller >= sellers_.size() || !FindCategory(item.cid))
            throw std::invalid_argument("item with unknown seller or category");
    }
}

void Catalogue::Index() {
    category_index_.clear();
    item_index_.clear();
    seller_index_.clear();
    for (std::size_t i = 0; i < categories_.size(); ++i)
        category_index_.emplace(categories_[i].cid, i);
    for (std::size_t i = 0; i < items_.size(); ++i)
        item_index_.emplace(items_[i].num_iid, i);
    for (std::size_t i = 0; i < sellers_.size(); ++i)
        seller_index_.emplace(sellers_[i].nick, i);
}

void Catalogue::Generate(std::uint64_t seed, Shape shape) {
    Rng rng(seed ^ 0x5EEDC0FFEEull);

    // Category tree: the platform's top level, then up to three levels below.
    const auto& tops = tables::TopCategoryNames();
    std::int64_t next_deep_cid = 50000001;
    std::vector<std::int64_t> leaves;
    auto add = [&](std::int64_t cid, std::int64_t parent, std::string name, int order, int depth) {
        Category c;
        c.cid = cid;
        c.parent_cid = parent;
        c.name = std::move(name);
        c.sort_order = order;
        c.depth = depth;
        categories_.push_back(std::move(c));
        if (parent != 0) {
            for (auto& p : categories_)
                if (p.cid == parent) p.children.push_back(cid);
        }
    };
    for (std::size_t k = 0; k < tops.size(); ++k) {
        const std::int64_t top_cid = 16 + static_cast<std::int64_t>(k) * 7;
        add(top_cid, 0, tops[k], static_cast<int>(k) + 1, 1);
        std::vector<std::string> level2 = SplitSlash(tops[k]);
        if (level2.size() < 3) {
            const std::string base = level2.empty() ? tops[k] : level2.front();
            level2.clear();
            for (std::size_t e = 0, n = static_cast<std::size_t>(rng.Range(3, 5)); e < n; ++e)
                level2.push_back(base + kLevel2Extras[e]);
        }
        int order2 = 0;
        for (const auto& name2 : level2) {
            const std::int64_t cid2 = next_deep_cid++;
            add(cid2, top_cid, name2, ++order2, 2);
            if (!rng.Chance(60)) {
                leaves.push_back(cid2);
                continue;
            }
            const int n3 = static_cast<int>(rng.Range(2, 4));
            const std::size_t first = rng.Next() % kLevel3Qualifiers.size();
            for (int j = 0; j < n3; ++j) {
                const std::int64_t cid3 = next_deep_cid++;
                add(cid3, cid2, name2 + kLevel3Qualifiers[(first + j) % kLevel3Qualifiers.size()], j + 1, 3);
                if (!rng.Chance(25)) {
                    leaves.push_back(cid3);
                    continue;
                }
                for (int m = 0; m < 3; ++m) {
                    const std::int64_t cid4 = next_deep_cid++;
                    add(cid4, cid3, std::string(kLevel4Qualifiers[m]) + name2, m + 1, 4);
                    leaves.push_back(cid4);
                }
            }
        }
    }

    // Sellers: Chinese nicks, unique, plus a handful of ASCII ones.
    int total_weight = 0;
    for (const auto& p : kPlaces)
        total_weight += p.weight;
    auto pick_place = [&]() -> const Place& {
        int w = static_cast<int>(rng.Range(0, total_weight - 1));
        for (const auto& p : kPlaces) {
            if (w < p.weight) return p;
            w -= p.weight;
        }
        return kPlaces.front();
    };
    std::unordered_map<std::string, int> used;
    for (const char* n : kAsciiNicks)
        used.emplace(n, 1);
    for (std::size_t s = 0; s < shape.sellers; ++s) {
        Seller seller;
        seller.id = s;
        if (s < kAsciiNicks.size()) {
            seller.nick = kAsciiNicks[s];
        } else {
            std::string nick = std::string(rng.Pick(kNickHeads)) + rng.Pick(kNickTails);
            if (rng.Chance(30)) nick += std::to_string(rng.Range(1, 999));
            const std::string base = nick;
            for (int n = 2; used.count(nick); ++n)
                nick = base + std::to_string(n);
            used.emplace(nick, 1);
            seller.nick = nick;
        }
        // Credit skewed toward the lower levels, as on the platform.
        const double u = rng.Unit();
        seller.credit = 1 + static_cast<int>(std::floor(u * u * 20.0));
        // The first sellers cover every place once, so every region finds someone.
        const Place& place = s < kPlaces.size() ? kPlaces[s] : pick_place();
        seller.state = place.state;
        seller.city = place.city;
        seller.guarantee = rng.Chance(55);
        sellers_.push_back(std::move(seller));
    }

    // Items on the leaf categories.
    std::unordered_map<std::int64_t, std::size_t> index;
    for (std::size_t i = 0; i < categories_.size(); ++i)
        index.emplace(categories_[i].cid, i);
    auto top_of = [&](std::int64_t cid) -> const Category& {
        const Category* c = &categories_[index.at(cid)];
        while (c->parent_cid != 0)
            c = &categories_[index.at(c->parent_cid)];
        return *c;
    };
    const std::int64_t base_time = 1285372800; // 2010-09-25 08:00 (UTC+8)
    std::uint64_t num_iid = 2010000000ull + static_cast<std::uint64_t>(rng.Range(0, 99999));
    for (std::size_t i = 0; i < shape.items; ++i) {
        Item item;
        num_iid += static_cast<std::uint64_t>(rng.Range(1, 997));
        item.num_iid = num_iid;
        item.cid = leaves[rng.Next() % leaves.size()];
        // A quarter of the items belong to a dozen large shops, so that shops
        // with several pages exist beside the many small ones.
        const std::size_t big_shops = std::min<std::size_t>(12, sellers_.size());
        item.seller =
            static_cast<std::size_t>(rng.Chance(25) ? rng.Next() % big_shops : rng.Next() % sellers_.size());

        const Category& leaf = categories_[index.at(item.cid)];
        const std::vector<std::string> top_parts = SplitSlash(top_of(item.cid).name);
        std::string noun = rng.Chance(50) || top_parts.empty() ? leaf.name : rng.Pick(top_parts);
        for (const auto& p : kProducts) {
            if (!top_parts.empty() && top_parts.front() == p.top && rng.Chance(70)) {
                noun = rng.Pick(p.words);
                if (rng.Chance(40)) noun = top_parts.front() + noun;
            }
        }
        std::string title;
        if (rng.Chance(70)) title += rng.Pick(kTitleLeads);
        title += rng.Pick(kTitleStyles);
        if (rng.Chance(40)) {
            const char* second = rng.Pick(kTitleStyles);
            if (title.find(second) == std::string::npos) title += second;
        }
        title += noun;
        if (rng.Chance(60)) title += rng.Pick(kTitleSpecs);
        title += " ";
        title += rng.Pick(kTitleTails);
        item.title = std::move(title);

        // Log-uniform price from 1 to 5000 yuan.
        item.price_cents =
            static_cast<std::int64_t>(std::exp(rng.Unit() * std::log(5000.0)) * 100.0) / 10 * 10 +
            rng.Range(0, 9);
        if (item.price_cents < 100) item.price_cents = 100 + rng.Range(0, 99);
        const double v = rng.Unit();
        item.volume = static_cast<int>(v * v * v * 5000.0);
        item.stock = static_cast<int>(rng.Range(1, 999));
        item.commission_rate_bp = static_cast<int>(rng.Range(1, 80)) * 50; // 0.50 % to 40.00 %
        item.commission_cents = item.price_cents * item.commission_rate_bp / 10000;
        item.commission_num = item.volume == 0 ? 0 : static_cast<int>(rng.Range(0, item.volume));
        item.commission_volume_cents = item.commission_cents * item.commission_num;
        item.post_fee_cents = rng.Chance(40) ? 0 : rng.Range(5, 20) * 100;
        item.express_fee_cents = item.post_fee_cents == 0 ? 0 : item.post_fee_cents + 500;
        item.ems_fee_cents = item.post_fee_cents == 0 ? 0 : item.post_fee_cents + 1500;
        item.list_time = base_time - rng.Range(0, 14 * 86400);
        item.has_discount = rng.Chance(30);
        item.has_invoice = rng.Chance(20);
        item.has_showcase = rng.Chance(15);
        item.has_warranty = rng.Chance(50);
        items_.push_back(std::move(item));
    }
}

const Category* Catalogue::FindCategory(std::int64_t cid) const {
    auto it = category_index_.find(cid);
    return it == category_index_.end() ? nullptr : &categories_[it->second];
}

std::vector<const Category*> Catalogue::Children(std::int64_t parent_cid) const {
    std::vector<const Category*> out;
    if (parent_cid == 0) {
        for (const auto& c : categories_)
            if (c.parent_cid == 0) out.push_back(&c);
    } else if (const Category* parent = FindCategory(parent_cid)) {
        for (std::int64_t cid : parent->children)
            out.push_back(FindCategory(cid));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Category* a, const Category* b) { return a->sort_order < b->sort_order; });
    return out;
}

bool Catalogue::InSubtree(std::int64_t cid, std::int64_t ancestor_cid) const {
    if (ancestor_cid == 0) return true;
    for (const Category* c = FindCategory(cid); c; c = FindCategory(c->parent_cid)) {
        if (c->cid == ancestor_cid) return true;
        if (c->parent_cid == 0) break;
    }
    return false;
}

const Item* Catalogue::FindItem(std::uint64_t num_iid) const {
    auto it = item_index_.find(num_iid);
    return it == item_index_.end() ? nullptr : &items_[it->second];
}

const Seller* Catalogue::FindSeller(const std::string& nick) const {
    auto it = seller_index_.find(nick);
    return it == seller_index_.end() ? nullptr : &sellers_[it->second];
}

} // namespace proxy
