// The generated catalogue and the pictures the proxy draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include <zlib.h>

#include "proxy/Catalogue.h"
#include "proxy/Images.h"
#include "service/Data.h"

using namespace proxy;

namespace {

const Catalogue& Sample() {
    static const Catalogue c(1);
    return c;
}

std::uint32_t Be32(const std::string& s, std::size_t at) {
    return (std::uint32_t(std::uint8_t(s[at])) << 24) | (std::uint32_t(std::uint8_t(s[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(s[at + 2])) << 8) | std::uint32_t(std::uint8_t(s[at + 3]));
}
unsigned Le16(const std::string& s, std::size_t at) {
    return std::uint8_t(s[at]) | (std::uint8_t(s[at + 1]) << 8);
}

// Decodes the first image of a GIF into palette indices (enough LZW for the
// files under test, variable code width included).
std::vector<std::uint8_t> DecodeGif(const std::string& gif, int& w, int& h) {
    w = static_cast<int>(Le16(gif, 6));
    h = static_cast<int>(Le16(gif, 8));
    const int flags = std::uint8_t(gif[10]);
    std::size_t at = 13 + ((flags & 0x80) ? 3u * (1u << ((flags & 7) + 1)) : 0u);
    while (gif[at] == '\x21') { // extensions
        at += 2;
        while (gif[at] != 0)
            at += std::uint8_t(gif[at]) + 1;
        ++at;
    }
    EXPECT_EQ(gif[at], '\x2C');
    at += 10;
    const int min_code = gif[at++];
    std::string data;
    while (gif[at] != 0) {
        data.append(gif, at + 1, std::uint8_t(gif[at]));
        at += std::uint8_t(gif[at]) + 1;
    }
    EXPECT_EQ(gif.back(), '\x3B');
    const unsigned clear = 1u << min_code, end = clear + 1;
    std::vector<std::vector<std::uint8_t>> table;
    auto reset = [&] {
        table.clear();
        for (unsigned i = 0; i < clear + 2; ++i)
            table.push_back({static_cast<std::uint8_t>(i)});
    };
    reset();
    int width = min_code + 1;
    std::size_t bitpos = 0;
    std::vector<std::uint8_t> out, prev;
    for (;;) {
        unsigned code = 0;
        for (int b = 0; b < width; ++b, ++bitpos)
            if (std::uint8_t(data.at(bitpos / 8)) >> (bitpos % 8) & 1) code |= 1u << b;
        if (code == clear) {
            reset();
            width = min_code + 1;
            prev.clear();
            continue;
        }
        if (code == end) break;
        std::vector<std::uint8_t> entry;
        if (code < table.size())
            entry = table[code];
        else {
            entry = prev;
            entry.push_back(prev.at(0));
        }
        out.insert(out.end(), entry.begin(), entry.end());
        if (!prev.empty()) {
            auto added = prev;
            added.push_back(entry[0]);
            table.push_back(added);
            if (table.size() == (1u << width) && width < 12) ++width;
        }
        prev = entry;
    }
    return out;
}

} // namespace

TEST(Catalogue, SameSeedSameCatalogueOtherSeedAnother) {
    const Catalogue a(7), b(7), c(8);
    ASSERT_EQ(a.items().size(), b.items().size());
    for (std::size_t i = 0; i < a.items().size(); ++i) {
        ASSERT_EQ(a.items()[i].num_iid, b.items()[i].num_iid);
        ASSERT_EQ(a.items()[i].title, b.items()[i].title);
        ASSERT_EQ(a.items()[i].price_cents, b.items()[i].price_cents);
    }
    std::size_t same = 0;
    for (std::size_t i = 0; i < a.items().size(); ++i)
        same += a.items()[i].title == c.items()[i].title;
    EXPECT_LT(same, a.items().size() / 2);
}

TEST(Catalogue, SizesRangesAndUniqueKeys) {
    const Catalogue& c = Sample();
    EXPECT_GE(c.items().size(), 5000u);
    EXPECT_GE(c.sellers().size(), 300u);
    std::set<std::uint64_t> ids;
    for (const auto& item : c.items()) {
        ids.insert(item.num_iid);
        EXPECT_GT(item.price_cents, 0);
        EXPECT_LE(item.commission_num, item.volume);
        ASSERT_NE(c.FindCategory(item.cid), nullptr);
        EXPECT_FALSE(c.FindCategory(item.cid)->is_parent()) << "items sit on leaf categories";
    }
    EXPECT_EQ(ids.size(), c.items().size());
    std::set<std::string> nicks;
    std::set<int> credits;
    for (const auto& s : c.sellers()) {
        nicks.insert(s.nick);
        credits.insert(s.credit);
        EXPECT_GE(s.credit, 1);
        EXPECT_LE(s.credit, 20);
    }
    EXPECT_EQ(nicks.size(), c.sellers().size());
    EXPECT_EQ(credits.size(), 20u) << "every credit level occurs";

    // The shop view pages by 40: some shops must need several pages.
    std::map<std::size_t, std::size_t> per_seller;
    for (const auto& item : c.items())
        ++per_seller[item.seller];
    std::size_t multi_page = 0;
    for (const auto& [seller, count] : per_seller)
        multi_page += count > 80;
    EXPECT_GE(multi_page, 5u);
}

TEST(Catalogue, TreeHasTheTopNamesAndDeeperLevels) {
    const Catalogue& c = Sample();
    const auto tops = c.Children(0);
    ASSERT_EQ(tops.size(), TopCategoryNames.size());
    for (std::size_t k = 0; k < tops.size(); ++k) {
        EXPECT_EQ(tops[k]->name, TopCategoryNames[k]);
        EXPECT_TRUE(tops[k]->is_parent());
    }
    int deepest = 0;
    for (const auto& cat : c.categories()) {
        deepest = std::max(deepest, cat.depth);
        EXPECT_LE(c.Children(cat.cid).size(), 61u) << "the tree reads at most 61 children";
        for (const Category* child : c.Children(cat.cid)) {
            EXPECT_EQ(child->parent_cid, cat.cid);
            EXPECT_EQ(child->depth, cat.depth + 1);
            EXPECT_TRUE(c.InSubtree(child->cid, cat.cid));
            EXPECT_FALSE(c.InSubtree(cat.cid, child->cid));
        }
    }
    EXPECT_GE(deepest, 3);
    EXPECT_LE(deepest, 4);
}

TEST(Catalogue, EveryRegionOfTheSelectorFindsSellers) {
    const Catalogue& c = Sample();
    for (std::size_t i = 1; i < 63; ++i) {
        const std::string area(Areas[i]);
        bool found = false;
        for (std::size_t start = 0; start <= area.size() && !found;) {
            std::size_t end = area.find(',', start);
            if (end == std::string::npos) end = area.size();
            const std::string place = area.substr(start, end - start);
            for (const auto& s : c.sellers())
                if (s.location().find(place) != std::string::npos) found = true;
            start = end + 1;
        }
        EXPECT_TRUE(found) << "no seller in " << area;
    }
}

TEST(Images, PngHoldsTheDrawnPixels) {
    const std::string png = ItemPicturePng(2010001234, 80);
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(Be32(png, 16), 80u);
    EXPECT_EQ(Be32(png, 20), 80u);
    // Inflate the image data: 80 rows of a filter byte and 240 colour bytes.
    const std::size_t idat = png.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    const std::uint32_t len = Be32(png, idat - 4);
    std::string raw(80 * 241, '\0');
    uLongf raw_len = raw.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &raw_len,
                         reinterpret_cast<const Bytef*>(png.data() + idat + 4), len),
              Z_OK);
    EXPECT_EQ(raw_len, raw.size());
    // The frame is grey, the centre is not.
    EXPECT_EQ(std::uint8_t(raw[1]), 200);
    EXPECT_NE(raw.substr(40 * 241 + 1 + 40 * 3, 3), std::string(3, char(200)));
    EXPECT_NE(ItemPicturePng(2010001235, 80), png) << "items differ in their pictures";
}

TEST(Images, GifRoundTripsThroughAnLzwDecoder) {
    struct Case {
        int w, h;
        std::size_t colours;
    };
    for (const Case& k :
         {Case{1, 1, 2}, Case{14, 14, 3}, Case{70, 14, 4}, Case{37, 23, 16}, Case{64, 64, 256}}) {
        std::vector<std::uint8_t> px(static_cast<std::size_t>(k.w * k.h));
        for (std::size_t i = 0; i < px.size(); ++i)
            px[i] = static_cast<std::uint8_t>((i * 7 + i / 5) % k.colours);
        const std::vector<Rgb> palette(k.colours, Rgb{1, 2, 3});
        int w = 0, h = 0;
        const auto decoded = DecodeGif(EncodeGif(k.w, k.h, px, palette, true), w, h);
        EXPECT_EQ(w, k.w);
        EXPECT_EQ(h, k.h);
        EXPECT_EQ(decoded, px) << k.w << "x" << k.h << " with " << k.colours << " colours";
    }
}

TEST(Images, CreditIconsShowOneToFiveShapes) {
    for (int level = 1; level <= 20; ++level) {
        const std::string gif = CreditIconGif(level);
        ASSERT_EQ(gif.substr(0, 6), "GIF89a");
        int w = 0, h = 0;
        const auto px = DecodeGif(gif, w, h);
        EXPECT_EQ(w, 14 * ((level - 1) % 5 + 1));
        EXPECT_EQ(h, 14);
        EXPECT_GT(std::count(px.begin(), px.end(), 1), w * h / 5) << "level " << level << " draws its shapes";
    }
    EXPECT_NE(CreditIconGif(1), CreditIconGif(6)) << "hearts and diamonds differ";
    EXPECT_TRUE(CreditIconGif(0).empty());
    EXPECT_TRUE(CreditIconGif(21).empty());
}
