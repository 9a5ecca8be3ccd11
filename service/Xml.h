// Hardened XML reading on libxml2: no network, no external or declared entities,
// encoding detected as XML 1.0 prescribes (GBK family decoded through iconv).
// All text handed out is UTF-8.
#pragma once

#include <cstddef>
#include <libxml/tree.h>
#include <stdexcept>
#include <string>
#include <string_view>

// Sets up libxml2 once per process (parser tables, external entity loader
// denied). Safe to call any number of times; call it before other threads start.
void XmlGlobalInit();

// The failure of reading an element's text when it is not a single text node.
class XmlTextError : public std::runtime_error {
public:
    XmlTextError() : std::runtime_error("Element does not contain a single text node") {}
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Drops the current document.
    void Clear();
    // Parses the bytes; false (and no document) for anything not well-formed,
    // in an unknown encoding, or declaring entities.
    bool Parse(std::string_view bytes);
    // The document element, or nullptr without a document.
    xmlNode* Root() const;
    // The current document, or nullptr.
    const xmlDoc* Doc() const { return FDoc; }

private:
    xmlDoc* FDoc = nullptr;
    // Kept from one parse to the next, with its dictionary of names, so a
    // parse does not set up a new context each time.
    xmlParserCtxt* FCtxt = nullptr;
};

// An element name resolved against one parsed document. The parser keeps one
// copy of every name in the document's dictionary, so elements are then told
// apart by the address of their name instead of by comparing text. Valid while
// the document and the text it was made from live.
class XmlName {
public:
    XmlName() = default;
    XmlName(const XmlDocument& doc, std::string_view name);
    bool Matches(const xmlNode* element) const;

private:
    std::string_view FText;
    const xmlChar* FInterned = nullptr; // nullptr: no element of the document has this name
    bool FByAddress = false;
};

// The encoding name given by the XML declaration, empty when there is none.
std::string DeclaredEncoding(std::string_view bytes);

// First child element with the given name, or nullptr (parent may be nullptr).
xmlNode* ChildElement(const xmlNode* parent, std::string_view name);
xmlNode* ChildElement(const xmlNode* parent, const XmlName& name);
// Number of element children (whitespace and comments are not counted).
size_t ChildElementCount(const xmlNode* parent);
// The next element sibling at or after node, or nullptr.
xmlNode* ElementAtOrAfter(xmlNode* node);

// The element's text: empty for nullptr or no children, the content of a single
// text or CDATA child; throws XmlTextError otherwise.
std::string ElementText(const xmlNode* element);
// The same, written into out (reusing its storage).
void ElementTextInto(const xmlNode* element, std::string& out);
