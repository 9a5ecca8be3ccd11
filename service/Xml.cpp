#include "service/Xml.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <libxml/dict.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <mutex>

namespace {

xmlParserInputPtr DenyExternalEntity(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

// Any entity declaration stops the parse: answers never need one, and refusing
// them rules out entity expansion bombs and external entities alike.
void RejectEntityDecl(void* ctx, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
    xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
}

void RejectUnparsedEntityDecl(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*, const xmlChar*) {
    xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
}

void IgnoreError(void*, xmlErrorPtr) {}

// A kept context is replaced once its dictionary holds more names than this,
// so answers full of made-up names cannot grow it without end.
constexpr size_t MaxKeptNames = 4096;

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The iconv name for a declared Chinese encoding, or nullptr. GB2312 and the
// other GBK aliases are read as GBK, their superset.
const char* GbCodec(std::string_view name) {
    std::string n;
    for (char c : name)
        n.push_back(Lower(c));
    if (n == "gb18030") return "GB18030";
    if (n == "gbk" || n == "gb2312" || n == "cp936" || n == "x-gbk" || n == "euc-cn" || n == "ms936" ||
        n == "windows-936")
        return "GBK";
    return nullptr;
}

bool ToUtf8(const char* codec, std::string_view in, std::string& out) {
    iconv_t cd = iconv_open("UTF-8", codec);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = out.data() + used;
        size_t dstLeft = out.size() - used;
        const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        ok = false; // invalid or incomplete sequence
        break;
    }
    iconv_close(cd);
    out.resize(used);
    return ok;
}

} // namespace

void XmlGlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(DenyExternalEntity);
    });
}

std::string DeclaredEncoding(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (bytes.substr(0, 5) != "<?xml") return {};
    const size_t end = bytes.find("?>");
    if (end == std::string_view::npos) return {};
    const std::string_view decl = bytes.substr(0, end);
    size_t pos = decl.find("encoding");
    if (pos == std::string_view::npos) return {};
    pos += 8;
    while (pos < decl.size() &&
           (decl[pos] == ' ' || decl[pos] == '\t' || decl[pos] == '\r' || decl[pos] == '\n'))
        ++pos;
    if (pos >= decl.size() || decl[pos] != '=') return {};
    ++pos;
    while (pos < decl.size() &&
           (decl[pos] == ' ' || decl[pos] == '\t' || decl[pos] == '\r' || decl[pos] == '\n'))
        ++pos;
    if (pos >= decl.size() || (decl[pos] != '"' && decl[pos] != '\'')) return {};
    const char quote = decl[pos++];
    const size_t close = decl.find(quote, pos);
    if (close == std::string_view::npos) return {};
    return std::string(decl.substr(pos, close - pos));
}

XmlDocument::XmlDocument() {
    XmlGlobalInit();
}

XmlDocument::~XmlDocument() {
    Clear();
    if (FCtxt) xmlFreeParserCtxt(FCtxt);
}

void XmlDocument::Clear() {
    if (FDoc) xmlFreeDoc(FDoc);
    FDoc = nullptr;
}

bool XmlDocument::Parse(std::string_view bytes) {
    Clear();
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) return false;

    std::string decoded;
    const char* forced = nullptr;
    const bool utf16Bom = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                                (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
    const char* codec = utf16Bom ? nullptr : GbCodec(DeclaredEncoding(bytes));
    if (codec) {
        if (!ToUtf8(codec, bytes, decoded)) return false;
        bytes = decoded;
        forced = "UTF-8";
    }

    if (FCtxt && xmlDictSize(FCtxt->dict) > static_cast<int>(MaxKeptNames)) {
        xmlFreeParserCtxt(FCtxt);
        FCtxt = nullptr;
    }
    if (!FCtxt) FCtxt = xmlNewParserCtxt();
    if (!FCtxt) return false;
    xmlParserCtxtPtr ctxt = FCtxt;
    ctxt->sax->entityDecl = RejectEntityDecl;
    ctxt->sax->unparsedEntityDecl = RejectUnparsedEntityDecl;
    ctxt->sax->serror = IgnoreError;
    ctxt->sax->error = nullptr;
    ctxt->sax->warning = nullptr;
    // COMPACT keeps short texts inside their nodes; the tree is only read.
    xmlDoc* doc =
        xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), nullptr, forced,
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT);
    const bool wellFormed = doc && ctxt->wellFormed && !ctxt->disableSAX;
    if (!wellFormed) {
        if (doc) xmlFreeDoc(doc);
        return false;
    }
    FDoc = doc;
    return true;
}

xmlNode* XmlDocument::Root() const {
    return FDoc ? xmlDocGetRootElement(FDoc) : nullptr;
}

xmlNode* ElementAtOrAfter(xmlNode* node) {
    while (node && node->type != XML_ELEMENT_NODE)
        node = node->next;
    return node;
}

xmlNode* ChildElement(const xmlNode* parent, std::string_view name) {
    if (!parent) return nullptr;
    for (xmlNode* c = parent->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && c->name && name == reinterpret_cast<const char*>(c->name))
            return c;
    return nullptr;
}

XmlName::XmlName(const XmlDocument& doc, std::string_view name) : FText(name) {
    const xmlDoc* d = doc.Doc();
    if (!d || !d->dict || name.size() > static_cast<size_t>(INT32_MAX)) return;
    FByAddress = true;
    FInterned =
        xmlDictExists(d->dict, reinterpret_cast<const xmlChar*>(name.data()), static_cast<int>(name.size()));
}

bool XmlName::Matches(const xmlNode* element) const {
    if (FByAddress) return FInterned && element->name == FInterned;
    return element->name && FText == reinterpret_cast<const char*>(element->name);
}

xmlNode* ChildElement(const xmlNode* parent, const XmlName& name) {
    if (!parent) return nullptr;
    for (xmlNode* c = parent->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && name.Matches(c)) return c;
    return nullptr;
}

size_t ChildElementCount(const xmlNode* parent) {
    size_t n = 0;
    if (!parent) return n;
    for (xmlNode* c = parent->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE) ++n;
    return n;
}

void ElementTextInto(const xmlNode* element, std::string& out) {
    if (!element || !element->children) {
        out.clear();
        return;
    }
    const xmlNode* only = element->children;
    if (only->next || (only->type != XML_TEXT_NODE && only->type != XML_CDATA_SECTION_NODE))
        throw XmlTextError();
    if (only->content)
        out.assign(reinterpret_cast<const char*>(only->content));
    else
        out.clear();
}

std::string ElementText(const xmlNode* element) {
    std::string text;
    ElementTextInto(element, text);
    return text;
}
