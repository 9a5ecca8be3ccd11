// Pictures the proxy serves: item pictures (PNG) and the seller credit icons
// (GIF), drawn in code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace proxy {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

// A truecolour PNG of w x h pixels, rgb holding w * h * 3 bytes row by row.
std::string EncodePng(int w, int h, const std::vector<std::uint8_t>& rgb);

// A GIF89a of w x h palette indices. Palette index 0 is transparent when
// transparent_zero is set. At most 256 colours.
std::string EncodeGif(int w, int h, const std::vector<std::uint8_t>& indices, const std::vector<Rgb>& palette,
                      bool transparent_zero);

// The picture of an item: a square of side size pixels whose colours follow
// from the item id (so every item looks different and always the same).
std::string ItemPicturePng(std::uint64_t num_iid, int size);

// The credit icon of a level 1 to 20: one to five hearts (1-5), diamonds
// (6-10), crowns (11-15) or golden crowns (16-20). Empty for other levels.
std::string CreditIconGif(int level);

} // namespace proxy
