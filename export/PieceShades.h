#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "bitmap/Pix32.h"

class CProvinceMapList;

// The bevel the game's pictures show on a map piece: light top and left
// edges, dark bottom and right edges, two pixels deep, worked out once per
// piece and export and read by the world cells, the domain cells and the
// previews.
namespace thorn {

// Shades of a bevelled piece: 0 the plain interior, 1 lightened twice and
// 2 lightened once (the outermost and the inner pixel of the light edges),
// 3 darkened once and 4 darkened twice (the inner and the outermost pixel of
// the dark edges).
inline constexpr uint8_t kShadeCount = 5;

struct PieceShades {
    static constexpr uint8_t kOutside = 0;

    int32_t width = 0;
    int32_t height = 0;
    // Row after row, one code per mask pixel: kOutside where the mask is 0,
    // else 1 + the shade.
    std::vector<uint8_t> codes;

    const uint8_t* Row(int32_t y) const { return codes.data() + static_cast<size_t>(y) * width; }
};

// The mask's pixels that are not 0 painted one colour and bevelled (the
// bitmap helpers' FillAndBevel), read back as shades.
PieceShades BevelShades(const TBitmap32& mask);

// Each piece's shades, made when first asked for.
class PieceShadeCache {
public:
    explicit PieceShadeCache(const CProvinceMapList& pieces);

    // The shades of piece n (an empty set past the list).
    const PieceShades& Get(uint16_t n);

private:
    const CProvinceMapList& pieces_;
    std::vector<std::unique_ptr<PieceShades>> shades_;
    PieceShades none_;
};

}  // namespace thorn
