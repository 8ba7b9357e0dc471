#include "export/CellImages.h"

#include <algorithm>
#include <array>
#include <string>

#include "export/ExportFiles.h"
#include "export/GfxPicture.h"
#include "export/PieceProvinces.h"
#include "export/PieceShades.h"
#include "model/mapproject.h"

void SerializeMapDta(CMapDta& map, Orv::ISerializer& s) {
    const bool reading = !s.IsSaving();
    s.Word(map.Width);
    s.Word(map.Height);
    uint8_t columns = static_cast<uint8_t>(map.Columns.size());
    s.Byte(columns);
    if (reading) map.Columns.assign(columns, {});
    for (CBlockCellsData& column : map.Columns) {
        uint8_t cells = static_cast<uint8_t>(column.Cells.size());
        s.Byte(cells);
        if (reading) column.Cells.assign(cells, {});
        for (CProvinceMapIDData& cell : column.Cells) {
            uint8_t entries = static_cast<uint8_t>(cell.Entries.size());
            s.Byte(entries);
            if (reading) cell.Entries.assign(entries, {});
            for (CProvincesMapID& entry : cell.Entries) {
                s.Byte(entry.LocalIndex);
                s.Byte(entry.ProvinceIndex);
            }
        }
    }
}

namespace thorn {
namespace {

constexpr int kShadeShift = 5;

// The piece index of each world pixel of one row.
class PieceRows {
public:
    explicit PieceRows(const CMapProject& project)
        : map_(project.MapIndexes),
          direct_(map_.HasCells() && map_.Width() == project.WorldWidth && map_.Height() == project.WorldHeight),
          row_(direct_ ? 0 : project.WorldWidth) {}

    // Cells x0..x1-1 of row y, the piece at x0 first.
    const int32_t* Row(int32_t y, int32_t x0, int32_t x1) {
        if (direct_) return map_.Row(y) + x0;
        for (int32_t x = x0; x < x1; ++x) row_[static_cast<size_t>(x - x0)] = map_.Get(x, y);
        return row_.data();
    }

private:
    const CMapMap& map_;
    bool direct_;
    std::vector<int32_t> row_;
};

struct CellBox {
    int32_t x0, y0, x1, y1;  // x1, y1 exclusive
};

// The province pieces of a cell in the order a scan by columns (x outer, y
// inner) first meets them. The rows are read in order; each piece keeps the
// smallest column-major position among the first pixels of its runs.
class CellPieceFinder {
public:
    explicit CellPieceFinder(const CMapProject& project) : rows_(project) {
        const uint16_t count = project.MapPieces.GetCount();
        isProvince_.resize(count);
        for (uint16_t n = 0; n < count; ++n) isProvince_[n] = project.MapPieces.GetAt(n)->IsProvince() != 0;
        seenInCell_.assign(count, 0);
        firstKey_.assign(count, 0);
    }

    const std::vector<uint16_t>& Find(const CellBox& cell) {
        ++cellStamp_;
        found_.clear();
        const int32_t width = cell.x1 - cell.x0;
        for (int32_t y = cell.y0; y < cell.y1; ++y) {
            const int32_t* row = rows_.Row(y, cell.x0, cell.x1);
            // Run by run: only where the piece changes along the row.
            for (int32_t i = 0; i < width; i = RunEnd(row, i, width)) {
                const int32_t piece = row[i];
                if (piece < 0 || piece >= static_cast<int32_t>(isProvince_.size()) || !isProvince_[piece]) continue;
                const uint32_t key = static_cast<uint32_t>(i) * kCellSide + static_cast<uint32_t>(y - cell.y0);
                if (seenInCell_[piece] != cellStamp_) {
                    seenInCell_[piece] = cellStamp_;
                    firstKey_[piece] = key;
                    found_.push_back(static_cast<uint16_t>(piece));
                } else {
                    firstKey_[piece] = std::min(firstKey_[piece], key);
                }
            }
        }
        std::sort(found_.begin(), found_.end(), [&](uint16_t a, uint16_t b) { return firstKey_[a] < firstKey_[b]; });
        return found_;
    }

private:
    // The end of the run of equal cells that starts at i: four cells a step
    // while they all match.
    static int32_t RunEnd(const int32_t* row, int32_t i, int32_t width) {
        const int32_t value = row[i++];
        while (i + 4 <= width && row[i] == value && row[i + 1] == value && row[i + 2] == value && row[i + 3] == value)
            i += 4;
        while (i < width && row[i] == value) ++i;
        return i;
    }

    PieceRows rows_;
    std::vector<bool> isProvince_;
    std::vector<uint32_t> seenInCell_;
    std::vector<uint32_t> firstKey_;
    uint32_t cellStamp_ = 0;
    std::vector<uint16_t> found_;
};

// out[i] becomes the coded shade codes[i] where the piece has a pixel.
// Without a branch, so that the compiler makes it vector code.
void CodeRun(const uint8_t* __restrict codes, uint8_t* __restrict out, int32_t count, uint8_t local) {
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t coded = static_cast<uint8_t>((codes[i] - 1) << kShadeShift | local);
        out[i] = codes[i] != PieceShades::kOutside ? coded : out[i];
    }
}

// The piece's bevelled pixels inside the cell, coded with its local index.
void DrawPieceInCell(const CProvinceMap& piece, const PieceShades& shades, uint8_t local, const CellBox& cell,
                     CellPicture& picture) {
    const int32_t x0 = std::max<int32_t>(cell.x0, piece.Left), x1 = std::min<int32_t>(cell.x1, piece.Left + shades.width);
    const int32_t y0 = std::max<int32_t>(cell.y0, piece.Top), y1 = std::min<int32_t>(cell.y1, piece.Top + shades.height);
    for (int32_t y = y0; y < y1; ++y) {
        const uint8_t* codes = shades.Row(y - piece.Top);
        uint8_t* out = picture.Row(y);
        CodeRun(codes + (x0 - piece.Left), out + x0, x1 - x0, local);
    }
}

std::string CellName(const CellBox& cell) {
    return Joined({"the world cell at x ", std::to_string(cell.x0), ", y ", std::to_string(cell.y0)});
}

void WriteStrip(const std::filesystem::path& file, int32_t width, int32_t height, const std::vector<uint8_t>& strip) {
    const CGfxPicture picture(static_cast<uint16_t>(width), static_cast<uint16_t>(height), strip, 0);
    WriteGameFile(file, picture.Bytes(), FileCut::ByRows);
}

// The width of strip cx: 128, the last one what is left.
int32_t StripWidth(const CellPicture& cells, int32_t cx) {
    return std::min(kCellSide, cells.width - kCellSide * cx);
}

}  // namespace

uint8_t DomainCode(uint8_t worldCode) {
    static constexpr std::array<uint8_t, kShadeCount> kFolded = {0, 2, 2, 3, 3};
    if (worldCode == kLandCode || worldCode == kOceanCode) return worldCode;
    const uint8_t shade = worldCode >> kShadeShift, local = worldCode & 0x1F;
    if (shade >= kShadeCount) return worldCode;
    return static_cast<uint8_t>(kFolded[shade] << kShadeShift | local);
}

CellPicture BuildCellPicture(CMapProject& project, PieceShadeCache& shades) {
    CellPicture picture;
    picture.width = project.WorldWidth;
    picture.height = project.WorldHeight;
    picture.bytes.assign(static_cast<size_t>(picture.width) * picture.height, 0);
    const int32_t columns = picture.Columns(), rows = picture.Rows();
    picture.map.Width = picture.width;
    picture.map.Height = picture.height;
    picture.map.Columns.resize(static_cast<size_t>(columns));

    const std::vector<uint8_t> provinceOfPiece = ProvinceOfEachPiece(project);
    CellPieceFinder finder(project);
    project.ShowProgress("Compressing world image...", columns * rows);
    for (int32_t cx = 0; cx < columns; ++cx) {
        CBlockCellsData& column = picture.map.Columns[static_cast<size_t>(cx)];
        column.Cells.resize(static_cast<size_t>(rows));
        for (int32_t cy = 0; cy < rows; ++cy) {
            project.SetProgress(rows * cx + cy);
            const CellBox cell{cx * kCellSide, cy * kCellSide, std::min<int32_t>((cx + 1) * kCellSide, picture.width),
                               std::min<int32_t>((cy + 1) * kCellSide, picture.height)};
            const std::vector<uint16_t>& pieces = finder.Find(cell);
            if (pieces.size() > kMaxPiecesPerCell)
                throw ExportError(Joined({"more than 31 province pieces meet in ", CellName(cell)}));
            std::vector<CProvincesMapID>& entries = column.Cells[static_cast<size_t>(cy)].Entries;
            for (size_t i = 0; i < pieces.size(); ++i) {
                entries.push_back({static_cast<uint8_t>(i), provinceOfPiece[pieces[i]]});
                DrawPieceInCell(*project.MapPieces.GetAt(pieces[i]), shades.Get(pieces[i]), static_cast<uint8_t>(i),
                                cell, picture);
            }
        }
    }

    FillLandAndWater(project, picture, [](const CProvinceMap& piece) -> std::optional<uint8_t> {
        return piece.IsOcean() ? kOceanCode : kLandCode;
    });
    return picture;
}

}  // namespace thorn

void CompressWorldImage(CMapProject& project, const std::filesystem::path& folder, const thorn::CellPicture& cells) {
    using namespace thorn;
    const int32_t columns = cells.Columns();
    project.ShowProgress("Writing image file...", columns);
    std::vector<uint8_t> strip;
    for (int32_t cx = 0; cx < columns; ++cx) {
        project.SetProgress(cx + 1);
        const int32_t width = StripWidth(cells, cx);
        strip.resize(static_cast<size_t>(width) * cells.height);
        for (int32_t y = 0; y < cells.height; ++y) {
            const uint8_t* from = cells.Row(y) + kCellSide * cx;
            std::copy(from, from + width, strip.data() + static_cast<size_t>(y) * width);
        }
        WriteStrip(folder / ("block" + std::to_string(cx) + ".img"), width, cells.height, strip);
    }
    CMapDta map = cells.map;
    WriteGameFile(folder / "map.dat", WalkedBytes(map, SerializeMapDta));
}

void CompressDomainsImage(CMapProject& project, const std::filesystem::path& folder, const thorn::CellPicture& cells) {
    using namespace thorn;
    const int32_t columns = cells.Columns(), rows = cells.Rows();
    // The cells and their lists are the world's.
    project.ShowProgress("Compressing domains image...", columns * rows);
    for (int32_t cx = 0; cx < columns; ++cx) project.SetProgress(rows * (cx + 1));

    project.ShowProgress("Writing image file...", columns);
    const int32_t height = cells.height / 2;
    std::vector<uint8_t> strip;
    for (int32_t cx = 0; cx < columns; ++cx) {
        project.SetProgress(cx + 1);
        const int32_t width = StripWidth(cells, cx) / 2;
        strip.resize(static_cast<size_t>(width) * height);
        for (int32_t j = 0; j < height; ++j) {
            const uint8_t* from = cells.Row(2 * j) + kCellSide * cx;
            uint8_t* to = strip.data() + static_cast<size_t>(j) * width;
            for (int32_t i = 0; i < width; ++i) to[i] = DomainCode(from[2 * i]);
        }
        WriteStrip(folder / ("domblock" + std::to_string(cx) + ".img"), width, height, strip);
    }
    CMapDta map = cells.map;
    map.Width = static_cast<uint16_t>(cells.width / 2);
    map.Height = static_cast<uint16_t>(cells.height / 2);
    WriteGameFile(folder / "dommap.dat", WalkedBytes(map, SerializeMapDta));
}
