#include <gtest/gtest.h>

#include <random>

#include "MapProjectFixture.h"

namespace {

using thorn::test::MapProjectTest;

// The search as its rules give it, square by square through FindSquare:
// from side 100 down by 2 (at last side 1), the flag falling below the
// threshold; no usable pixel at all gives the box centre.
bool SearchBySquares(const CProvinceMap& piece, int32_t threshold, bool full, uint16_t& x, uint16_t& y) {
    int32_t side = 100;
    TPoint corner = piece.FindSquare(side, side);
    while (corner.X < 0) {
        side = side > 2 ? side - 2 : side == 2 ? 1 : 0;
        if (side < threshold) full = false;
        if (side == 0) {
            x = static_cast<uint16_t>((piece.Right - piece.Left) / 2);
            y = static_cast<uint16_t>((piece.Bottom - piece.Top) / 2);
            return false;
        }
        corner = piece.FindSquare(side, side);
    }
    x = static_cast<uint16_t>(corner.X + side / 2);
    y = static_cast<uint16_t>(corner.Y + side / 2);
    return full;
}

// A province piece of w x h pixels with random holes in a random blob.
std::unique_ptr<CProvinceMap> RandomPiece(std::mt19937& random, int32_t w, int32_t h) {
    auto piece = std::make_unique<CProvinceMap>();
    piece->Right = static_cast<uint16_t>(w - 1);
    piece->Bottom = static_cast<uint16_t>(h - 1);
    piece->Mask->SetSize(w, h);
    const int32_t holes = static_cast<int32_t>(random() % 12);
    std::vector<TRect> cut;
    for (int i = 0; i < holes; ++i) {
        const int32_t x = static_cast<int32_t>(random() % w), y = static_cast<int32_t>(random() % h);
        cut.push_back({x, y, x + 1 + static_cast<int32_t>(random() % 30), y + 1 + static_cast<int32_t>(random() % 30)});
    }
    const bool sparse = random() % 5 == 0;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            bool set = !sparse || random() % 7 == 0;
            for (const TRect& r : cut) set = set && !PtInRect(r, {x, y});
            if (set) piece->Mask->SetPixel(x, y, 0xFF445566);
        }
    piece->PixelCount = 1;
    piece->Kind = CProvinceMap::Province;
    return piece;
}

TEST_F(MapProjectTest, CastlePlacesMatchTheSquareBySquareSearch) {
    std::mt19937 random(5);
    for (int round = 0; round < 40; ++round) {
        const int32_t w = 1 + static_cast<int32_t>(random() % 140), h = 1 + static_cast<int32_t>(random() % 140);
        auto piece = RandomPiece(random, w, h);
        // The reference works on its own copy of the mask.
        CProvinceMap reference;
        reference.Right = piece->Right;
        reference.Bottom = piece->Bottom;
        reference.Mask->Assign(*piece->Mask);
        uint16_t cx, cy, ax, ay;
        bool full = SearchBySquares(reference, 20, true, cx, cy);
        for (int32_t dy = 0; dy < 2; ++dy)
            for (int32_t dx = 0; dx < 2; ++dx) reference.Mask->SetPixelS(cx + dx, cy + dy, CProvinceMap::kReservedPixel);
        full = SearchBySquares(reference, 15, full, ax, ay);

        project.MapPieces.Clear();
        project.MapPieces.Add(std::move(piece));
        project.CalcCastlePlaces();
        const CProvinceMap& placed = *project.MapPieces.GetAt(0);
        ASSERT_EQ((std::vector<int>{placed.CastleX, placed.CastleY, placed.ArmyX, placed.ArmyY}),
                  (std::vector<int>{cx, cy, ax, ay}))
            << "round " << round << " " << w << "x" << h;
        ASSERT_EQ(placed.Kind, full ? CProvinceMap::Province : CProvinceMap::SmallProvince) << "round " << round;
        ASSERT_TRUE(placed.Mask->Equal(reference.Mask.get()));
    }
}

TEST_F(MapProjectTest, ThirtyWideProvinceKeepsFullSizeIcons) {
    auto piece = std::make_unique<CProvinceMap>();
    piece->Right = 29;
    piece->Bottom = 119;
    piece->Mask->SetSize(30, 120);
    piece->Mask->Clear(0xFF101010);
    piece->PixelCount = 3600;
    piece->Kind = CProvinceMap::Province;
    project.MapPieces.Add(std::move(piece));
    project.CalcCastlePlaces();
    const CProvinceMap& placed = *project.MapPieces.GetAt(0);
    EXPECT_EQ(placed.Kind, CProvinceMap::Province);
    EXPECT_EQ((std::vector<int>{placed.CastleX, placed.CastleY}), (std::vector<int>{15, 15}));
    EXPECT_EQ((std::vector<int>{placed.ArmyX, placed.ArmyY}), (std::vector<int>{15, 32}));  // square at (0, 17)
    EXPECT_FALSE(editor.progressCaptions.empty());
    EXPECT_EQ(editor.progressCaptions.back(), "Castle's places calculating...");
}

TEST_F(MapProjectTest, PieceWithoutAFreePixelGetsItsBoxCentre) {
    auto piece = std::make_unique<CProvinceMap>();
    piece->Left = 10;
    piece->Right = 14;
    piece->Bottom = 6;
    piece->Mask->SetSize(5, 7);
    piece->Mask->Clear(CProvinceMap::kReservedPixel);
    piece->PixelCount = 35;
    piece->Kind = CProvinceMap::Province;
    project.MapPieces.Add(std::move(piece));
    project.CalcCastlePlaces();  // must end
    const CProvinceMap& placed = *project.MapPieces.GetAt(0);
    EXPECT_EQ((std::vector<int>{placed.CastleX, placed.CastleY, placed.ArmyX, placed.ArmyY}),
              (std::vector<int>{2, 3, 2, 3}));
    EXPECT_EQ(placed.Kind, CProvinceMap::SmallProvince);
}

}  // namespace
