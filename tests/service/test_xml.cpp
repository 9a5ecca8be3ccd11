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
    XmlDocument reused; // keeps its parser between documents
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        XmlDocument doc;
        EXPECT_EQ(doc.Parse(c.doc), c.ok);
        EXPECT_EQ(doc.Root() != nullptr, c.ok);
        EXPECT_EQ(reused.Parse(c.doc), c.ok);
        ASSERT_TRUE(reused.Parse("<r><a>1</a></r>")) << "nothing of the document before sticks";
        EXPECT_EQ(ElementText(ChildElement(reused.Root(), "a")), "1");
    }
}

TEST(XmlReader, NamesResolvedPerDocument) {
    XmlDocument doc;
    // More distinct names than the reader keeps between documents.
    std::string many = "<r>";
    for (int i = 0; i < 5000; ++i)
        many += "<n" + std::to_string(i) + ">" + std::to_string(i) + "</n" + std::to_string(i) + ">";
    ASSERT_TRUE(doc.Parse(many + "</r>"));
    EXPECT_EQ(ElementText(ChildElement(doc.Root(), XmlName(doc, "n4999"))), "4999");
    EXPECT_EQ(ElementText(ChildElement(doc.Root(), XmlName(doc, "n0"))), "0");

    ASSERT_TRUE(doc.Parse("<r><a>x</a><b>short</b><b>second</b><c>a text longer than sixteen bytes</c></r>"));
    const xmlNode* r = doc.Root();
    EXPECT_EQ(ChildElement(r, XmlName(doc, "n4999")), nullptr);
    EXPECT_EQ(ChildElement(r, XmlName(doc, "missing")), nullptr);
    EXPECT_EQ(ChildElement(r, XmlName(doc, std::string_view("a\0", 2))), nullptr);
    EXPECT_EQ(ElementText(ChildElement(r, XmlName(doc, "b"))), "short"); // the first of that name
    EXPECT_EQ(ElementText(ChildElement(r, XmlName(doc, "c"))), "a text longer than sixteen bytes");
    EXPECT_EQ(ChildElement(nullptr, XmlName(doc, "a")), nullptr);
    EXPECT_EQ(ChildElement(r, XmlName()), nullptr);
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
