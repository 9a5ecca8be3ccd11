#include "update/ok.h"

#include "service/Http.h"

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        unsigned cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n) return false;
        for (size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

} // namespace

std::string TOK::QueryText(const std::string& url, const std::string& pid) {
    // A client of its own for this one request, without time-outs.
    HttpClient http(0);
    http.SetConnectTimeoutMs(0);
    const HttpResponse answer = http.Get(url + "?pid=" + pid);
    if (!answer.ok) return "error";
    if (!IsValidUtf8(answer.body)) return std::string();
    return answer.body;
}

std::vector<std::string> TOK::SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    char quote = 0;
    for (const char c : text) {
        if (quote) {
            line += c;
            if (c == quote) quote = 0;
        } else if (c == '\r' || c == '\n') {
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else {
            if (c == '"' || c == '\'') quote = c;
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void TOK::ParseSoftInfo(const std::string& text, SOFT_INFO& info) {
    info = SOFT_INFO{};
    std::string* const fields[] = {&info.Extra3,  &info.Extra1,    &info.UpdateName,
                                   &info.Version, &info.UpdateUrl, &info.Extra2};
    const std::vector<std::string> lines = SplitLines(text);
    for (size_t k = 1; k < lines.size() && k <= 6; ++k) {
        const std::string& line = lines[k];
        const size_t eq = line.find('=');
        *fields[k - 1] = eq == std::string::npos ? line : line.substr(eq + 1);
    }
}

bool TOK::GetSoftInfo(const std::string& url, const std::string& pid, SOFT_INFO& info) {
    info = SOFT_INFO{};
    if (pid.empty()) return false;
    const std::string text = QueryText(url, pid);
    if (text == "error") return false;
    ParseSoftInfo(text, info);
    return true;
}
