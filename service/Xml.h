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

private:
    xmlDoc* FDoc = nullptr;
};

// The encoding name given by the XML declaration, empty when there is none.
std::string DeclaredEncoding(std::string_view bytes);

// First child element with the given name, or nullptr (parent may be nullptr).
xmlNode* ChildElement(const xmlNode* parent, std::string_view name);
// Number of element children (whitespace and comments are not counted).
size_t ChildElementCount(const xmlNode* parent);
// The next element sibling at or after node, or nullptr.
xmlNode* ElementAtOrAfter(xmlNode* node);

// The element's text: empty for nullptr or no children, the content of a single
// text or CDATA child; throws XmlTextError otherwise.
std::string ElementText(const xmlNode* element);
// The same, written into out (reusing its storage).
void ElementTextInto(const xmlNode* element, std::string& out);
