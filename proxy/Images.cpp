#include "proxy/Images.h"

#include <cmath>
#include <stdexcept>

#include <zlib.h>

namespace proxy {

namespace {

void PutBe32(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

void PutLe16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void PngChunk(std::string& out, const char* type, const std::string& data) {
    PutBe32(out, static_cast<std::uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    PutBe32(out, static_cast<std::uint32_t>(
                     crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// Writes LZW codes least significant bit first into GIF sub-blocks.
class GifBits {
public:
    void Put(unsigned code, int width) {
        acc_ |= static_cast<std::uint32_t>(code) << nbits_;
        nbits_ += width;
        while (nbits_ >= 8) {
            bytes_ += static_cast<char>(acc_ & 0xFF);
            acc_ >>= 8;
            nbits_ -= 8;
        }
    }
    void Finish(std::string& out) {
        if (nbits_ > 0) bytes_ += static_cast<char>(acc_ & 0xFF);
        for (std::size_t i = 0; i < bytes_.size(); i += 255) {
            const std::size_t n = std::min<std::size_t>(255, bytes_.size() - i);
            out += static_cast<char>(n);
            out.append(bytes_, i, n);
        }
        out += '\0';
    }

private:
    std::uint32_t acc_ = 0;
    int nbits_ = 0;
    std::string bytes_;
};

struct Canvas {
    int w, h;
    std::vector<std::uint8_t> px;
    Canvas(int w_, int h_) : w(w_), h(h_), px(static_cast<std::size_t>(w_ * h_), 0) {}
    void Set(int x, int y, std::uint8_t c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[static_cast<std::size_t>(y * w + x)] = c;
    }
};

// Shapes in a unit box: u, v in [-1, 1], v growing downward.
bool InHeart(double u, double v) {
    const double x = u * 1.15, y = -v * 1.2 + 0.25;
    const double a = x * x + y * y - 1.0;
    return a * a * a - x * x * y * y * y <= 0.0;
}
bool InDiamond(double u, double v) {
    return std::fabs(u) * 0.85 + std::fabs(v) <= 0.95;
}
bool InCrown(double u, double v) {
    if (v > 0.25 && v < 0.8 && std::fabs(u) < 0.85) return true; // band
    if (v > 0.8 || v < -0.85 || std::fabs(u) > 0.85) return false;
    // Three spikes rising from the band at u = -0.85, 0, 0.85.
    for (double cx : {-0.6, 0.0, 0.6}) {
        const double half = 0.3 * (v + 0.85) / 1.1;
        if (std::fabs(u - cx) <= half + 0.02) return true;
    }
    return false;
}

} // namespace

std::string EncodePng(int w, int h, const std::vector<std::uint8_t>& rgb) {
    if (w <= 0 || h <= 0 || rgb.size() != static_cast<std::size_t>(w) * h * 3)
        throw std::invalid_argument("EncodePng: bad size");
    std::string raw;
    raw.reserve(static_cast<std::size_t>(h) * (w * 3 + 1));
    for (int y = 0; y < h; ++y) {
        raw += '\0'; // filter: none
        raw.append(reinterpret_cast<const char*>(rgb.data()) + static_cast<std::size_t>(y) * w * 3,
                   static_cast<std::size_t>(w) * 3);
    }
    uLongf packed_len = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packed_len, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_len,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 6) != Z_OK)
        throw std::runtime_error("EncodePng: deflate failed");
    packed.resize(packed_len);

    std::string out = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    PutBe32(ihdr, static_cast<std::uint32_t>(w));
    PutBe32(ihdr, static_cast<std::uint32_t>(h));
    ihdr += '\x08'; // bit depth
    ihdr += '\x02'; // truecolour
    ihdr += std::string(3, '\0');
    PngChunk(out, "IHDR", ihdr);
    PngChunk(out, "IDAT", packed);
    PngChunk(out, "IEND", "");
    return out;
}

std::string EncodeGif(int w, int h, const std::vector<std::uint8_t>& indices, const std::vector<Rgb>& palette,
                      bool transparent_zero) {
    if (w <= 0 || h <= 0 || w > 0xFFFF || h > 0xFFFF || indices.size() != static_cast<std::size_t>(w) * h ||
        palette.empty() || palette.size() > 256)
        throw std::invalid_argument("EncodeGif: bad size");
    int bits = 1;
    while ((1u << bits) < palette.size())
        ++bits;
    const int min_code = std::max(2, bits);

    std::string out = "GIF89a";
    PutLe16(out, static_cast<unsigned>(w));
    PutLe16(out, static_cast<unsigned>(h));
    out += static_cast<char>(0x80 | ((bits - 1) << 4) | (bits - 1)); // global table of 2^bits colours
    out += '\0';                                                     // background index
    out += '\0';                                                     // aspect
    for (std::size_t i = 0; i < (1u << bits); ++i) {
        const Rgb c = i < palette.size() ? palette[i] : Rgb{};
        out += static_cast<char>(c.r);
        out += static_cast<char>(c.g);
        out += static_cast<char>(c.b);
    }
    if (transparent_zero) out += std::string("\x21\xF9\x04\x01\x00\x00\x00\x00", 8);
    out += '\x2C';
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, static_cast<unsigned>(w));
    PutLe16(out, static_cast<unsigned>(h));
    out += '\0';
    out += static_cast<char>(min_code);

    // Literal codes only, with a clear code before the table would need a
    // wider code: simple, and every decoder reads it.
    const unsigned clear = 1u << min_code;
    const int width = min_code + 1;
    const std::size_t run = clear - 2;
    GifBits bitsOut;
    std::size_t since_clear = run;
    for (std::uint8_t index : indices) {
        if (index >= palette.size()) throw std::invalid_argument("EncodeGif: index outside the palette");
        if (since_clear == run) {
            bitsOut.Put(clear, width);
            since_clear = 0;
        }
        bitsOut.Put(index, width);
        ++since_clear;
    }
    bitsOut.Put(clear + 1, width); // end of information
    bitsOut.Finish(out);
    out += '\x3B';
    return out;
}

std::string ItemPicturePng(std::uint64_t num_iid, int size) {
    if (size < 8 || size > 1024) throw std::invalid_argument("ItemPicturePng: size");
    std::uint64_t z = num_iid * 0x9E3779B97F4A7C15ull;
    z ^= z >> 29;
    const Rgb bg{static_cast<std::uint8_t>(150 + (z & 0x5F)),
                 static_cast<std::uint8_t>(150 + ((z >> 8) & 0x5F)),
                 static_cast<std::uint8_t>(150 + ((z >> 16) & 0x5F))};
    const Rgb fg{static_cast<std::uint8_t>((z >> 24) & 0x9F), static_cast<std::uint8_t>((z >> 32) & 0x9F),
                 static_cast<std::uint8_t>((z >> 40) & 0x9F)};
    const int shape = static_cast<int>((z >> 48) % 3);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(size) * size * 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size * 2 - 1, v = (y + 0.5) / size * 2 - 1;
            bool in = false;
            if (shape == 0) in = u * u + v * v < 0.45;                                  // disc
            if (shape == 1) in = std::fabs(u) < 0.6 && std::fabs(v) < 0.45;             // box
            if (shape == 2) in = v > -0.6 && v < 0.6 && std::fabs(u) < (v + 0.6) * 0.6; // triangle
            const bool frame = x < 2 || y < 2 || x >= size - 2 || y >= size - 2;
            const Rgb c = frame ? Rgb{200, 200, 200} : in ? fg : bg;
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * size + x) * 3];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
        }
    }
    return EncodePng(size, size, rgb);
}

std::string CreditIconGif(int level) {
    if (level < 1 || level > 20) return {};
    const int group = (level - 1) / 5, count = (level - 1) % 5 + 1;
    static const Rgb kColours[4] = {
        {0xE8, 0x2C, 0x2C}, {0x2A, 0x7A, 0xE2}, {0x35, 0x6A, 0xC9}, {0xF0, 0xB4, 0x10}};
    const std::vector<Rgb> palette = {{255, 255, 255}, kColours[group], {0x80, 0x40, 0x00}};
    const int cell = 14, height = 14;
    Canvas canvas(cell * count, height);
    for (int n = 0; n < count; ++n) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < cell; ++x) {
                const double u = (x + 0.5) / cell * 2 - 1, v = (y + 0.5) / height * 2 - 1;
                bool in = false;
                switch (group) {
                case 0:
                    in = InHeart(u * 1.1, v * 1.1);
                    break;
                case 1:
                    in = InDiamond(u * 1.1, v * 1.1);
                    break;
                default:
                    in = InCrown(u * 1.1, v * 1.1);
                    break;
                }
                if (in) canvas.Set(n * cell + x, y, 1);
            }
        }
        // The golden crown carries a dark jewel on its band.
        if (group == 3) canvas.Set(n * cell + cell / 2, height * 3 / 4, 2);
    }
    return EncodeGif(canvas.w, canvas.h, canvas.px, palette, true);
}

} // namespace proxy
