#include "search/HtmlSafe.h"

#include "service/Data.h"

#include "VelmoraConfig.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

bool IsAsciiAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAsciiAlnum(char c) {
    return IsAsciiAlpha(c) || IsAsciiDigit(c);
}
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string ToLower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != prefix[i]) return false;
    return true;
}

constexpr std::array<std::string_view, 6> kInlineTags = {"span", "b", "strong", "em", "i", "font"};
// Elements whose content is never shown as text either.
constexpr std::array<std::string_view, 8> kDropWithContent = {"script",   "style", "iframe", "object",
                                                              "textarea", "title", "xmp",    "noscript"};

bool IsInline(std::string_view name) {
    return std::find(kInlineTags.begin(), kInlineTags.end(), name) != kInlineTags.end();
}
bool DropsContent(std::string_view name) {
    return std::find(kDropWithContent.begin(), kDropWithContent.end(), name) != kDropWithContent.end();
}

// A class value kept as it is: letters, digits, '-', '_' and blanks.
bool IsPlainClass(std::string_view v) {
    return std::all_of(v.begin(), v.end(),
                       [](char c) { return IsAsciiAlnum(c) || c == '-' || c == '_' || c == ' '; });
}

struct Attribute {
    std::string name; // lower case
    std::string value;
};

struct Tag {
    bool closing = false;
    std::string name; // lower case
    std::vector<Attribute> attrs;
    size_t end = 0; // position just after '>'
};

// Parses a tag starting at text[pos] == '<'. False when no tag starts there
// (the '<' is then plain text) or the tag is not closed.
bool ParseTag(std::string_view text, size_t pos, Tag& tag) {
    size_t i = pos + 1;
    if (i < text.size() && text[i] == '/') {
        tag.closing = true;
        ++i;
    }
    if (i >= text.size() || !IsAsciiAlpha(text[i])) return false;
    size_t nameStart = i;
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '/' && text[i] != '>')
        ++i;
    tag.name = ToLower(text.substr(nameStart, i - nameStart));
    while (i < text.size()) {
        while (i < text.size() && (IsSpace(text[i]) || text[i] == '/'))
            ++i;
        if (i >= text.size()) return false;
        if (text[i] == '>') {
            tag.end = i + 1;
            return true;
        }
        size_t an = i;
        while (i < text.size() && !IsSpace(text[i]) && text[i] != '/' && text[i] != '>' && text[i] != '=')
            ++i;
        Attribute attr;
        attr.name = ToLower(text.substr(an, i - an));
        if (attr.name.empty()) { // a lone '=': take it as part of a nameless attribute
            attr.name = "=";
            ++i;
        }
        while (i < text.size() && IsSpace(text[i]))
            ++i;
        if (i < text.size() && text[i] == '=') {
            ++i;
            while (i < text.size() && IsSpace(text[i]))
                ++i;
            if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                char q = text[i++];
                size_t vs = i;
                while (i < text.size() && text[i] != q)
                    ++i;
                if (i >= text.size()) return false;
                attr.value = std::string(text.substr(vs, i - vs));
                ++i;
            } else {
                size_t vs = i;
                while (i < text.size() && !IsSpace(text[i]) && text[i] != '>')
                    ++i;
                attr.value = std::string(text.substr(vs, i - vs));
            }
        }
        tag.attrs.push_back(std::move(attr));
    }
    return false;
}

// Length of a character reference at text[pos] == '&' ("&amp;", "&#39;",
// "&#x27;"), 0 when there is none.
size_t EntityLength(std::string_view text, size_t pos) {
    size_t i = pos + 1;
    if (i < text.size() && text[i] == '#') {
        ++i;
        bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        if (hex) ++i;
        size_t ds = i;
        while (i < text.size() &&
               (hex ? std::isxdigit(static_cast<unsigned char>(text[i])) : IsAsciiDigit(text[i])))
            ++i;
        if (i == ds || i - ds > 8) return 0;
    } else {
        size_t ns = i;
        while (i < text.size() && IsAsciiAlnum(text[i]))
            ++i;
        if (i == ns || i - ns > 32) return 0;
    }
    if (i >= text.size() || text[i] != ';') return 0;
    return i + 1 - pos;
}

} // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string SafeUrl(std::string_view url) {
    if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://")) return {};
    // Control characters and blanks never belong in an address; a browser
    // would strip or reinterpret them.
    for (char c : url)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) return {};
    return HtmlEscape(url);
}

std::string SanitizeMarkup(std::string_view markup) {
    std::string out;
    out.reserve(markup.size());
    std::vector<std::string> open; // inline tags opened and not yet closed
    size_t i = 0;
    while (i < markup.size()) {
        char c = markup[i];
        if (c == '<') {
            if (markup.substr(i, 4) == "<!--") {
                size_t e = markup.find("-->", i + 4);
                i = (e == std::string_view::npos) ? markup.size() : e + 3;
                continue;
            }
            if (i + 1 < markup.size() && (markup[i + 1] == '!' || markup[i + 1] == '?')) {
                size_t e = markup.find('>', i);
                i = (e == std::string_view::npos) ? markup.size() : e + 1;
                continue;
            }
            Tag tag;
            if (!ParseTag(markup, i, tag)) {
                out += "&lt;";
                ++i;
                continue;
            }
            std::string_view original = markup.substr(i, tag.end - i);
            i = tag.end;
            if (!tag.closing && DropsContent(tag.name)) {
                // Skip up to and including the matching closing tag.
                std::string lower = ToLower(markup.substr(i));
                size_t e = lower.find("</" + tag.name);
                if (e == std::string::npos) {
                    i = markup.size();
                } else {
                    size_t gt = markup.find('>', i + e);
                    i = (gt == std::string_view::npos) ? markup.size() : gt + 1;
                }
                continue;
            }
            if (!IsInline(tag.name)) continue; // any other tag is dropped
            if (tag.closing) {
                auto it = std::find(open.rbegin(), open.rend(), tag.name);
                if (it == open.rend()) continue; // closes nothing of ours
                while (open.back() != tag.name) {
                    out += "</" + open.back() + ">";
                    open.pop_back();
                }
                open.pop_back();
                out += "</" + tag.name + ">";
                continue;
            }
            const Attribute* cls = nullptr;
            bool clean = true;
            for (const Attribute& a : tag.attrs) {
                if (a.name == "class" && !cls) {
                    cls = &a;
                    if (!IsPlainClass(a.value)) clean = false;
                } else {
                    clean = false;
                }
            }
            if (clean) {
                out += original;
            } else {
                out += "<" + tag.name;
                if (cls) out += " class=\"" + HtmlEscape(cls->value) + "\"";
                out += ">";
            }
            open.push_back(tag.name);
            continue;
        }
        if (c == '&') {
            size_t n = EntityLength(markup, i);
            if (n) {
                out += markup.substr(i, n);
                i += n;
            } else {
                out += "&amp;";
                ++i;
            }
            continue;
        }
        if (c == '>') {
            out += "&gt;";
        } else if (c != '\0') {
            out += c;
        }
        ++i;
    }
    while (!open.empty()) {
        out += "</" + open.back() + ">";
        open.pop_back();
    }
    return out;
}

std::string CreditIconUrl(std::string_view score) {
    std::string_view icon = CreditIconForScore(score);
    if (icon.empty()) return {};
    return std::string(VELMORA_CREDIT_ICON_URL) + "/newrank/" + std::string(icon);
}
