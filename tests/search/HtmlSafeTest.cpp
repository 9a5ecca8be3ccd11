#include "search/HtmlSafe.h"

#include "VelmoraConfig.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* name;
    std::string in;
    std::string out;
};

TEST(HtmlEscape, EscapesMarkupAndQuotes) {
    EXPECT_EQ(HtmlEscape(R"(a<b>&"c"'d')"), "a&lt;b&gt;&amp;&quot;c&quot;&#39;d&#39;");
    EXPECT_EQ(HtmlEscape("江苏 plain"), "江苏 plain");
    EXPECT_EQ(HtmlEscape(""), "");
}

TEST(SafeUrl, KeepsOnlyHttpAndHttps) {
    const Case cases[] = {
        {"http", "http://s.click.example/t?e=1&x=2", "http://s.click.example/t?e=1&amp;x=2"},
        {"https upper case scheme", "HTTPS://shop.example/", "HTTPS://shop.example/"},
        {"quote breaks out of attribute", R"(http://a/"onmouseover="x)",
         "http://a/&quot;onmouseover=&quot;x"},
        {"javascript", "javascript:alert(1)", ""},
        {"javascript mixed case", "JaVaScRiPt:alert(1)", ""},
        {"data", "data:text/html,<script>1</script>", ""},
        {"leading blank", " http://a/", ""},
        {"embedded newline", "http://a/\nb", ""},
        {"relative", "/item?id=1", ""},
        {"scheme only prefix", "http:/a", ""},
        {"empty", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SafeUrl(c.in), c.out) << c.name;
}

TEST(SanitizeMarkup, KeepsInlineFormattingAndDropsTheRest) {
    const Case cases[] = {
        {"highlight stays byte for byte", "新款<span class=H>连衣裙</span>夏",
         "新款<span class=H>连衣裙</span>夏"},
        {"allowed tags in any case", "<B>x</B><Strong>y</Strong><em>z</em><i>w</i><font class='h'>v</font>",
         "<B>x</b><Strong>y</strong><em>z</em><i>w</i><font class='h'>v</font>"},
        {"image with handler removed", "a<img src=x onerror=alert(1)>b", "ab"},
        {"script removed with its content", "a<script>alert(1)</script>b", "ab"},
        {"script in capitals, unclosed", "a<SCRIPT>alert(1)", "a"},
        {"style removed with its content", "a<style>*{display:none}</style>b", "ab"},
        {"handler on an allowed tag", "<span class=H onmouseover=\"alert(1)\">x</span>",
         "<span class=\"H\">x</span>"},
        {"style attribute on an allowed tag", "<b style=\"background:url(x)\">x</b>", "<b>x</b>"},
        {"font colour attribute", "<font color=red>x</font>", "<font>x</font>"},
        {"class value with quote trick", "<span class='a\" onclick=\"x'>y</span>",
         "<span class=\"a&quot; onclick=&quot;x\">y</span>"},
        {"quoted > inside a dropped tag", "<a href=\"x>y\" onclick=z>t</a>", "t"},
        {"link and iframe dropped", "<a href=\"javascript:x\">t</a><iframe src=x></iframe>", "t"},
        {"comment dropped", "a<!-- <script>x</script> -->b", "ab"},
        {"stray angle brackets", "a < b > c <3", "a &lt; b &gt; c &lt;3"},
        {"unterminated tag is text", "x <span class=H", "x &lt;span class=H"},
        {"entities kept, bare ampersand escaped", "A&amp;B &#39; &#x4e2d; & C&D",
         "A&amp;B &#39; &#x4e2d; &amp; C&amp;D"},
        {"unmatched close tags cannot close the page's own", "x</span></a></div>y", "xy"},
        {"open tags closed at the end", "<b>x<span class=H>y", "<b>x<span class=H>y</span></b>"},
        {"misnested tags closed in order", "<b><i>x</b>y</i>", "<b><i>x</i></b>y"},
        {"plain text unchanged", "夏季 T恤 100% \"棉\"", "夏季 T恤 100% \"棉\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SanitizeMarkup(c.in), c.out) << c.name;
}

TEST(CreditIconUrl, MapsScoresAndRefusesOthers) {
    const std::string base = std::string(VELMORA_CREDIT_ICON_URL) + "/newrank/";
    EXPECT_EQ(CreditIconUrl("1"), base + "b_red_1.gif");
    EXPECT_EQ(CreditIconUrl("5"), base + "b_red_5.gif");
    EXPECT_EQ(CreditIconUrl("6"), base + "s_blue_1.gif");
    EXPECT_EQ(CreditIconUrl("15"), base + "s_cap_5.gif");
    EXPECT_EQ(CreditIconUrl("20"), base + "s_crown_5.gif");
    for (const char* bad : {"0", "21", "-1", "", "abc", "5.0", " 5", "005", "99999999999"})
        EXPECT_EQ(CreditIconUrl(bad), "") << bad;
}

} // namespace
