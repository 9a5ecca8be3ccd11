// The hardened XML reader below the components.
#include "service/Xml.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlReader, RefusesEntityDeclarationsAndMalformedInput) {
    const struct {
        const char* name;
        std::string doc;
        bool ok;
    } cases[] = {
        {"plain", "<r><a>1</a></r>", true},
        {"doctype without declarations", "<!DOCTYPE r><r/>", true},
        {"doctype with element declaration", "<!DOCTYPE r [<!ELEMENT r ANY>]><r/>", true},
        {"unused internal entity", R"(<!DOCTYPE r [<!ENTITY a "x">]><r/>)", false},
        {"parameter entity", R"(<!DOCTYPE r [<!ENTITY % p "x">]><r/>)", false},
        {"external entity", R"(<!DOCTYPE r [<!ENTITY x SYSTEM "file:///etc/passwd">]><r>&x;</r>)", false},
        {"external DTD", R"(<!DOCTYPE r SYSTEM "http://127.0.0.1:1/x.dtd"><r/>)", true},
        {"undeclared entity", "<r>&x;</r>", false},
        {"two roots", "<r/><r/>", false},
        {"empty", "", false},
        {"unknown encoding", R"(<?xml version="1.0" encoding="x-no-such"?><r/>)", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XmlDocument doc;
        EXPECT_EQ(doc.Parse(c.doc), c.ok);
        EXPECT_EQ(doc.Root() != nullptr, c.ok);
    }
}

TEST(XmlReader, DeclaredEncodingIsReadFromTheDeclarationOnly) {
    const struct {
        const char* doc;
        const char* encoding;
    } cases[] = {
        {R"(<?xml version="1.0" encoding="GBK"?><r/>)", "GBK"},
        {"\xEF\xBB\xBF<?xml version='1.0' encoding = 'gb2312' ?><r/>", "gb2312"},
        {R"(<?xml version="1.0"?><r encoding="GBK"/>)", ""},
        {R"(<r><?xml encoding="GBK"?></r>)", ""},
        {R"(<?xml version="1.0" encoding="GBK)", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeclaredEncoding(c.doc), c.encoding) << c.doc;
}

TEST(XmlReader, TextOfAnElement) {
    XmlDocument doc;
    ASSERT_TRUE(doc.Parse("<r><empty/><t>a&lt;b</t><c><![CDATA[x]]></c><e><x/></e><m>a<!--c-->b</m>"
                          "<w> </w><n>1</n><n>2</n></r>"));
    const xmlNode* r = doc.Root();
    EXPECT_EQ(ElementText(nullptr), "");
    EXPECT_EQ(ElementText(ChildElement(r, "empty")), "");
    EXPECT_EQ(ElementText(ChildElement(r, "missing")), "");
    EXPECT_EQ(ElementText(ChildElement(r, "t")), "a<b");
    EXPECT_EQ(ElementText(ChildElement(r, "c")), "x");
    EXPECT_EQ(ElementText(ChildElement(r, "w")), " ");
    EXPECT_EQ(ElementText(ChildElement(r, "n")), "1"); // the first of that name
    EXPECT_THROW(ElementText(ChildElement(r, "e")), XmlTextError);
    EXPECT_THROW(ElementText(ChildElement(r, "m")), XmlTextError);
    EXPECT_STREQ(XmlTextError().what(), "Element does not contain a single text node");
    EXPECT_EQ(ChildElementCount(r), 8u);
}

} // namespace
