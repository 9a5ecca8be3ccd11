#include "search/TabKey.h"

#include "service/Md5.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace {

class Converter {
public:
    explicit Converter(const char* to) : m_cd(iconv_open(to, "UTF-8")) {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts one whole character; false when the target cannot hold it.
    bool Convert(std::string_view ch, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buf[16];
        char* in = const_cast<char*>(ch.data());
        size_t inLeft = ch.size();
        char* o = buf;
        size_t outLeft = sizeof buf;
        if (iconv(m_cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return false;
        out.append(buf, o - buf);
        return true;
    }

private:
    iconv_t m_cd;
};

// Length of the UTF-8 sequence starting with byte b, 0 when b cannot start one.
size_t SequenceLength(unsigned char b) {
    if (b < 0x80) return 1;
    if ((b & 0xE0) == 0xC0) return 2;
    if ((b & 0xF0) == 0xE0) return 3;
    if ((b & 0xF8) == 0xF0) return 4;
    return 0;
}

} // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    thread_local Converter gbk("GBK");
    thread_local Converter gb18030("GB18030");
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        size_t n = SequenceLength(b);
        if (n == 0 || i + n > utf8.size()) {
            out += '?';
            ++i;
            continue;
        }
        std::string_view ch = utf8.substr(i, n);
        if (!gbk.Convert(ch, out) && !gb18030.Convert(ch, out)) out += '?';
        i += n;
    }
    return out;
}

std::string TabKey(std::string_view keyword, std::string_view category, std::string_view startPrice,
                   std::string_view endPrice, int sortIndex, int startCreditIndex, int endCreditIndex,
                   int areaIndex, bool guarantee) {
    std::string text;
    text.append(keyword).append(category).append(startPrice).append(endPrice);
    for (int v : {sortIndex, startCreditIndex, endCreditIndex, areaIndex, guarantee ? 1 : 0})
        text += std::to_string(v);
    return Md5Hex(Utf8ToGbk(text));
}
