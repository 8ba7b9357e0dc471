#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class CMapProject;
class CProvinceMap;

namespace thorn {

// One byte for every pixel of the world, row after row: what the game's
// world cells and previews are cut from.
struct WorldBytes {
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint8_t> bytes;

    uint8_t* Row(int32_t y) { return bytes.data() + static_cast<size_t>(y) * width; }
    const uint8_t* Row(int32_t y) const { return bytes.data() + static_cast<size_t>(y) * width; }
};

// Every pixel of the piece's mask that is not 0 becomes value (the part of
// the piece inside the world).
void FillPieceMask(const CProvinceMap& piece, uint8_t value, WorldBytes& picture);

// The land-and-water step of the world cells and the previews, shown in the
// progress window: every piece that is not a province piece is filled with
// the value answered for it; one answered nothing for is left as it is.
void FillLandAndWater(CMapProject& project, WorldBytes& picture,
                      const std::function<std::optional<uint8_t>(const CProvinceMap& piece)>& valueOf);

}  // namespace thorn
