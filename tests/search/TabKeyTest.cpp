#include "search/TabKey.h"

#include <gtest/gtest.h>

namespace {

TEST(TabKey, IsMd5OfTheGbkTextOfTheNineValues) {
    // The conditions of the first search after start-up.
    EXPECT_EQ(TabKey("", "所有类目", "0", "999999999", 0, 4, 19, 0, false),
              "8cd56c650f8c9076f85e815efb9180a6");
    EXPECT_EQ(TabKey("abc", "女装", "100", "500", 0, 4, 19, 0, false), "0f0cda432eca57ef301d9c05a6542d31");
    // A character outside GBK is taken in GB18030.
    EXPECT_EQ(TabKey("裙𠀀", "", "0", "1", 0, 0, 0, 0, false), "c2554922baecb8b1d3f12d40c7b5370d");
}

TEST(TabKey, JoinsTheValuesWithoutSeparators) {
    // End credit 1 + region 10 reads the same as end credit 11 + region 0.
    EXPECT_EQ(TabKey("x", "所有类目", "0", "9", 0, 0, 1, 10, false),
              TabKey("x", "所有类目", "0", "9", 0, 0, 11, 0, false));
    EXPECT_EQ(TabKey("ab", "c", "0", "9", 0, 4, 19, 0, false),
              TabKey("a", "bc", "0", "9", 0, 4, 19, 0, false));
}

TEST(TabKey, EveryValueCounts) {
    const std::string base = TabKey("abc", "女装", "0", "9", 0, 4, 19, 0, false);
    EXPECT_NE(TabKey("ABC", "女装", "0", "9", 0, 4, 19, 0, false), base);
    EXPECT_NE(TabKey("abc", "男装", "0", "9", 0, 4, 19, 0, false), base);
    EXPECT_NE(TabKey("abc", "女装", "1", "9", 0, 4, 19, 0, false), base);
    EXPECT_NE(TabKey("abc", "女装", "0", "8", 0, 4, 19, 0, false), base);
    EXPECT_NE(TabKey("abc", "女装", "0", "9", 1, 4, 19, 0, false), base);
    EXPECT_NE(TabKey("abc", "女装", "0", "9", 0, 3, 19, 0, false), base);
    EXPECT_NE(TabKey("abc", "女装", "0", "9", 0, 4, 18, 0, false), base);
    EXPECT_NE(TabKey("abc", "女装", "0", "9", 0, 4, 19, 2, false), base);
    EXPECT_NE(TabKey("abc", "女装", "0", "9", 0, 4, 19, 0, true), base);
    EXPECT_EQ(base.size(), 32u);
}

TEST(Utf8ToGbk, UsesTheWindowsCodePage) {
    EXPECT_EQ(Utf8ToGbk("a裙"), "a\xC8\xB9");
    EXPECT_EQ(Utf8ToGbk("€"), "\x80");              // code page 936's euro sign
    EXPECT_EQ(Utf8ToGbk("𠀀"), "\x95\x32\x82\x36"); // GB18030 four-byte form
    EXPECT_EQ(Utf8ToGbk("a\xFF"
                        "b\xE8"),
              "a?b?"); // not UTF-8
}

} // namespace
