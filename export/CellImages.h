#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "export/WorldBytes.h"
#include "model/OrvSerializer.h"

class CMapProject;
namespace thorn {
class PieceShadeCache;
}

// The world as the game draws it: one byte per pixel naming a province piece
// of the surrounding 128 x 128 cell (its place in the cell's list, the low
// five bits) and a bevel shade (the high three bits), 0x1F for land that is
// no province, 0xFF for ocean, 0 where no piece lies. The picture is cut into
// strips of 128 columns ("block%d.img"), and a cell map ("map.dat") says
// which province each cell's pieces stand for. The domain picture
// ("domblock%d.img", "dommap.dat") is the same at half size with the light
// shades folded into one and the dark shades into another.

// One entry of a cell's list.
struct CProvincesMapID {
    uint8_t LocalIndex = 0;
    uint8_t ProvinceIndex = 255;  // position in the province list; 255 none

    bool operator==(const CProvincesMapID&) const = default;
};

// One cell: its province pieces in the order a scan by columns meets them.
struct CProvinceMapIDData {
    std::vector<CProvincesMapID> Entries;
};

// One column of cells, top to bottom.
struct CBlockCellsData {
    std::vector<CProvinceMapIDData> Cells;
};

// The cell map, little-endian: u16 width, u16 height, u8 column count, then
// per column u8 cell count and per cell u8 entry count and its entries
// (u8 local index, u8 province index).
struct CMapDta {
    uint16_t Width = 0;
    uint16_t Height = 0;
    std::vector<CBlockCellsData> Columns;
};

// One walk for measuring, writing and reading; reading replaces every column.
void SerializeMapDta(CMapDta& map, Orv::ISerializer& s);

namespace thorn {

inline constexpr int32_t kCellSide = 128;
// Province pieces one cell can name: local indices 0..30 (31 with shade 0
// is the code of land that is no province).
inline constexpr size_t kMaxPiecesPerCell = 31;
inline constexpr uint8_t kLandCode = 0x1F;
inline constexpr uint8_t kOceanCode = 0xFF;

// The world's cell picture and cell map.
struct CellPicture : WorldBytes {
    CMapDta map;

    int32_t Columns() const { return (width + kCellSide - 1) / kCellSide; }
    int32_t Rows() const { return (height + kCellSide - 1) / kCellSide; }
};

// Builds the world's cell picture, showing its steps in the progress window.
// Throws ExportError when more than 31 province pieces meet in one cell.
CellPicture BuildCellPicture(CMapProject& project, PieceShadeCache& shades);

// A cell picture byte of the world with the shades folded for the domain
// picture: 1 and 2 become 2, 3 and 4 become 3.
uint8_t DomainCode(uint8_t worldCode);

}  // namespace thorn

// Writes "<folder>/block%d.img" for every column and "<folder>/map.dat".
// Throws thorn::ExportError when a file cannot be written.
void CompressWorldImage(CMapProject& project, const std::filesystem::path& folder, const thorn::CellPicture& cells);
// Writes "<folder>/domblock%d.img" and "<folder>/dommap.dat" from the world's
// cells: every strip samples the top-left pixel of each 2 x 2 block.
void CompressDomainsImage(CMapProject& project, const std::filesystem::path& folder, const thorn::CellPicture& cells);
