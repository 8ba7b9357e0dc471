#include "model/Textures.h"

#include "platform/Classes.h"

int CTextures::Load(const std::filesystem::path& fileName) {
    TBitmap32 loaded;
    try {
        loaded.LoadFromFile(fileName);
    } catch (const Exception&) {
        return 0;
    }
    strip_.Assign(loaded);
    stripWidth_ = static_cast<uint16_t>(strip_.Width());
    tileWidth_ = tileHeight_ = static_cast<uint16_t>(strip_.Height());
    return 1;
}

TColor32 CTextures::GetPixel(uint16_t tile, uint16_t x, uint16_t y) const {
    const int32_t side = tileWidth_;
    if (side == 0) return kStandInColor;
    const int64_t column = static_cast<int64_t>(tile) * side + x % side;
    if (column >= strip_.Width()) return kStandInColor;
    return strip_.GetPixelS(static_cast<int32_t>(column), y % side);
}
