#include <gtest/gtest.h>

#include "ExportProject.h"
#include "GameFileReaders.h"
#include "ImgDecoder.h"
#include "export/CellImages.h"
#include "export/ExportFiles.h"
#include "export/PieceShades.h"
#include "model/BitmapHelpers.h"

namespace thorn::test {
namespace {

using Bytes = std::vector<uint8_t>;
using Cell = std::vector<std::pair<uint8_t, uint8_t>>;

// A decoded strip: width x height bytes, row after row.
struct Strip {
    int width = 0, height = 0;
    Bytes pixels;
    uint8_t At(int x, int y) const { return pixels.at(static_cast<size_t>(y * width + x)); }
};

class CellImages : public ExportProject {
protected:
    CellImages() { SetGameData(1, 1); }

    // Builds the cells and writes both pictures into the test's folder.
    void Write() {
        PieceShadeCache shades(project.MapPieces);
        const CellPicture cells = BuildCellPicture(project, shades);
        CompressWorldImage(project, dir.Path(), cells);
        CompressDomainsImage(project, dir.Path(), cells);
    }
    Strip Read(const std::string& name) const {
        const ImgFile img = DecodeImg(ReadFileBytes(dir / name), 0x77);
        EXPECT_FALSE(img.transparent);
        return {img.width, img.height, img.frames.at(0).pixels};
    }
    CellMapFile Map(const std::string& name) const { return ReadCellMapFile(ReadFileBytes(dir / name)); }
};

// Shade codes the game reads: shade * 32 + local index.
constexpr uint8_t Code(int shade, int local) { return static_cast<uint8_t>(shade * 32 + local); }

TEST_F(CellImages, OneCellWorld) {
    SetPieces(128, 128, [](int32_t x, int32_t) { return x < 64 ? 0 : 1; }, {3, 3});
    BindAllProvincePieces();
    Write();
    EXPECT_EQ(ReadFileBytes(dir / "map.dat"), (Bytes{128, 0, 128, 0, 1, 1, 2, 0, 0, 1, 1}));
    EXPECT_EQ(ReadFileBytes(dir / "dommap.dat"), (Bytes{64, 0, 64, 0, 1, 1, 2, 0, 0, 1, 1}));
    EXPECT_FALSE(std::filesystem::exists(dir / "block1.img"));

    const Strip world = Read("block0.img");
    ASSERT_EQ(world.width, 128);
    ASSERT_EQ(world.height, 128);
    // Along row 64: the light left edge (outermost, inner), the interior,
    // the dark right edge (inner, outermost), for both pieces.
    EXPECT_EQ(world.At(0, 64), Code(1, 0));
    EXPECT_EQ(world.At(1, 64), Code(2, 0));
    EXPECT_EQ(world.At(30, 64), Code(0, 0));
    EXPECT_EQ(world.At(62, 64), Code(3, 0));
    EXPECT_EQ(world.At(63, 64), Code(4, 0));
    EXPECT_EQ(world.At(64, 64), Code(1, 1));
    EXPECT_EQ(world.At(100, 64), Code(0, 1));
    EXPECT_EQ(world.At(127, 64), Code(4, 1));
    // Down column 30: the light top edge and the dark bottom edge.
    EXPECT_EQ(world.At(30, 0), Code(1, 0));
    EXPECT_EQ(world.At(30, 1), Code(2, 0));
    EXPECT_EQ(world.At(30, 126), Code(3, 0));
    EXPECT_EQ(world.At(30, 127), Code(4, 0));
}

// Every province pixel carries the shade the bevel of its whole piece gives
// it, read from the bitmap helpers' own bevel.
TEST_F(CellImages, ShadesFollowTheBevelOfTheWholePiece) {
    // An irregular piece crossing four cells, on ocean.
    auto inside = [](int32_t x, int32_t y) {
        const int dx = x - 130, dy = y - 120;
        return dx * dx + 2 * dy * dy < 90 * 90 && !(x > 150 && y > 140 && y < 150);
    };
    SetPieces(260, 250, [&](int32_t x, int32_t y) { return inside(x, y) ? 0 : 1; }, {3, 1});
    BindAllProvincePieces();
    Write();

    const CProvinceMap& piece = *project.MapPieces.GetAt(0);
    TBitmap32 bevel;
    bevel.Assign(*piece.Mask);
    FillAndBevel(&bevel, 0xFF7F007F);
    const std::map<TColor32, int> shadeOf = {
        {0xFF7F007F, 0}, {0xFFE566E5, 1}, {0xFFB233B2, 2}, {0xFF4C004C, 3}, {0xFF190019, 4}};
    const CellMapFile map = Map("map.dat");
    for (int cx = 0; cx < 3; ++cx) {
        const Strip strip = Read("block" + std::to_string(cx) + ".img");
        const Strip domain = Read("domblock" + std::to_string(cx) + ".img");
        for (int y = 0; y < 250; ++y)
            for (int x = 0; x < strip.width; ++x) {
                const int wx = 128 * cx + x;
                const uint8_t got = strip.At(x, y);
                if (!inside(wx, y)) {
                    ASSERT_EQ(got, 0xFF) << wx << "," << y;
                    continue;
                }
                const Cell& cell = map.columns[cx][y / 128];
                ASSERT_EQ(cell.size(), 1u);
                const int shade = shadeOf.at(bevel.GetPixel(wx - piece.Left, y - piece.Top));
                ASSERT_EQ(got, Code(shade, 0)) << wx << "," << y;
            }
        // Each domain byte is the world byte of the top-left pixel of its
        // 2 x 2 block with the light shades folded into 2, the dark into 3.
        ASSERT_EQ(domain.width, strip.width / 2);
        ASSERT_EQ(domain.height, 125);
        for (int j = 0; j < domain.height; ++j)
            for (int i = 0; i < domain.width; ++i) {
                const uint8_t world = strip.At(2 * i, 2 * j);
                uint8_t expected = world;
                if (world != 0xFF && world != 0x1F) {
                    const int shade = world >> 5;
                    expected = Code(shade == 1 || shade == 2 ? 2 : shade == 3 || shade == 4 ? 3 : 0, world & 31);
                }
                ASSERT_EQ(domain.At(i, j), expected) << cx << ": " << i << "," << j;
            }
    }
}

TEST_F(CellImages, StripsOfAWorld300Wide) {
    SetPieces(300, 160, [](int32_t x, int32_t) { return x / 100; }, {3, 3, 3});
    BindAllProvincePieces();
    Write();
    EXPECT_EQ(Read("block0.img").width, 128);
    EXPECT_EQ(Read("block1.img").width, 128);
    EXPECT_EQ(Read("block2.img").width, 44);
    EXPECT_EQ(Read("block2.img").height, 160);
    EXPECT_EQ(Read("domblock0.img").width, 64);
    EXPECT_EQ(Read("domblock2.img").width, 22);
    EXPECT_EQ(Read("domblock2.img").height, 80);
    const CellMapFile world = Map("map.dat"), domain = Map("dommap.dat");
    EXPECT_EQ(world.width, 300);
    EXPECT_EQ(domain.width, 150);
    EXPECT_EQ(domain.height, 80);
    ASSERT_EQ(world.columns.size(), 3u);
    EXPECT_EQ(world.columns[0].size(), 2u);
    EXPECT_EQ(domain.columns, world.columns);
    // Province 1 (x 100..199) reaches all three columns: in column 0 and
    // column 1 it comes after province 0, in column 2 it is first.
    EXPECT_EQ(world.columns[0][0], (Cell{{0, 0}, {1, 1}}));
    EXPECT_EQ(world.columns[1][1], (Cell{{0, 1}, {1, 2}}));
    EXPECT_EQ(world.columns[2][0], (Cell{{0, 2}}));
}

// In a cell crossed by ocean, green land and two provinces, the provinces
// are numbered in the order a scan by columns meets them.
TEST_F(CellImages, LocalIndicesByColumnScan) {
    // Piece 0: province on the right half; piece 1: province on the left
    // below y 100; piece 2: ocean above it; piece 3: a green strip; piece 4: a
    // province piece no province is bound to.
    SetPieces(
        200, 160,
        [](int32_t x, int32_t y) {
            if (x >= 120) return x >= 180 ? 4 : 0;
            if (x < 10) return 3;
            return y >= 100 ? 1 : 2;
        },
        {3, 3, 1, 2, 3});
    BindProvince(0);
    BindProvince(1);
    Write();
    const CellMapFile map = Map("map.dat");
    EXPECT_EQ(map.columns[0][0], (Cell{{0, 1}, {1, 0}}));
    EXPECT_EQ(map.columns[1][0], (Cell{{0, 0}, {1, 255}}));
    const Strip strip = Read("block0.img");
    EXPECT_EQ(strip.At(5, 50), 0x1F);
    EXPECT_EQ(strip.At(50, 50), 0xFF);
    EXPECT_EQ(strip.At(50, 110), Code(0, 0));
    EXPECT_EQ(strip.At(125, 50), Code(0, 1));
    EXPECT_EQ(Read("block1.img").At(60, 50), Code(0, 1));  // coded though unbound
}

TEST_F(CellImages, RefusesMoreThan31ProvincePiecesInACell) {
    auto strips = [](int count) {
        return [count](int32_t x, int32_t) { return std::min(x / 4, count - 1); };
    };
    SetPieces(160, 160, strips(32), std::vector<uint32_t>(32, 3));
    PieceShadeCache shades(project.MapPieces);
    try {
        BuildCellPicture(project, shades);
        FAIL() << "32 pieces were accepted";
    } catch (const ExportError& refusal) {
        EXPECT_STREQ(refusal.what(), "more than 31 province pieces meet in the world cell at x 0, y 0");
    }
    SetPieces(160, 160, strips(31), std::vector<uint32_t>(31, 3));
    PieceShadeCache again(project.MapPieces);
    EXPECT_EQ(BuildCellPicture(project, again).map.Columns[0].Cells[0].Entries.size(), 31u);
}

TEST(CellMapFile, ReadsBackWhatItWrites) {
    CMapDta map{300, 200, {}};
    map.Columns.resize(3);
    for (auto& column : map.Columns) column.Cells.resize(2);
    map.Columns[1].Cells[0].Entries = {{0, 5}, {1, 255}};
    std::vector<uint8_t> bytes(512);
    Orv::CSerialSaver saver(bytes);
    SerializeMapDta(map, saver);
    bytes.resize(saver.Position());
    EXPECT_EQ(bytes, (Bytes{44, 1, 200, 0, 3, 2, 0, 0, 2, 2, 0, 5, 1, 255, 0, 2, 0, 0}));
    CMapDta read;
    read.Columns.resize(9);
    Orv::CSerialLoader loader(bytes);
    SerializeMapDta(read, loader);
    EXPECT_EQ(read.Width, 300);
    ASSERT_EQ(read.Columns.size(), 3u);
    EXPECT_EQ(read.Columns[1].Cells[0].Entries, map.Columns[1].Cells[0].Entries);
}

}  // namespace
}  // namespace thorn::test
