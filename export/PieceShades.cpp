#include "export/PieceShades.h"

#include <array>

#include "model/BitmapHelpers.h"
#include "model/prov_maplist.h"

namespace thorn {
namespace {

// The colour the piece is painted before the bevel; its lightened and
// darkened forms tell the shades apart.
constexpr TColor32 kBaseColour = 0xFF7F007F;

struct ShadeColours {
    // Indexed by shade.
    std::array<TColor32, kShadeCount> colours;

    ShadeColours() {
        const TColor32 light = LightenColor32(kBaseColour), dark = DarkenColor32(kBaseColour);
        colours = {kBaseColour, LightenColor32(light), light, dark, DarkenColor32(dark)};
    }

    // 1 + the shade of a bevelled colour; the interior for any other.
    uint8_t Code(TColor32 colour) const {
        for (uint8_t shade = 0; shade < kShadeCount; ++shade)
            if (colours[shade] == colour) return static_cast<uint8_t>(1 + shade);
        return 1;
    }
};

}  // namespace

PieceShades BevelShades(const TBitmap32& mask) {
    static const ShadeColours shadeColours;
    PieceShades shades{mask.Width(), mask.Height(), {}};
    if (mask.Empty()) return shades;
    // Every pixel that is not 0 belongs to the piece, whatever its alpha
    // (the castle place is marked with a transparent value).
    TBitmap32 painted;
    painted.SetSize(mask.Width(), mask.Height());
    for (int32_t y = 0; y < mask.Height(); ++y) {
        const TColor32* from = mask.ScanLine(y);
        TColor32* to = painted.ScanLine(y);
        for (int32_t x = 0; x < mask.Width(); ++x) to[x] = from[x] != 0 ? kBaseColour : 0;
    }
    BevelEdges(painted);  // painted in the base colour already
    // Inside or outside first, in one pass the compiler turns into vector
    // code; then the few rim pixels that the bevel changed.
    const size_t count = static_cast<size_t>(mask.Width()) * mask.Height();
    shades.codes.resize(count);
    uint8_t* code = shades.codes.data();
    const TColor32* pixel = painted.Bits();
    for (size_t i = 0; i < count; ++i) code[i] = pixel[i] != 0 ? 1 : PieceShades::kOutside;
    for (size_t i = 0; i < count; ++i)
        if (pixel[i] != 0 && pixel[i] != kBaseColour) code[i] = shadeColours.Code(pixel[i]);
    return shades;
}

PieceShadeCache::PieceShadeCache(const CProvinceMapList& pieces) : pieces_(pieces), shades_(pieces.GetCount()) {}

const PieceShades& PieceShadeCache::Get(uint16_t n) {
    const CProvinceMap* piece = pieces_.GetAt(n);
    if (!piece || n >= shades_.size() || !piece->Mask) return none_;
    if (!shades_[n]) shades_[n] = std::make_unique<PieceShades>(BevelShades(*piece->Mask));
    return *shades_[n];
}

}  // namespace thorn
