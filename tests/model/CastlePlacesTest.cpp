#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

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

// The places and the kind the rules give the piece, worked out on a copy of
// its mask: the castle's 2 x 2 place is marked there before the army's
// search, as the rules mark it.
struct Places {
    std::vector<int> castleAndArmy;
    uint32_t kind;
};
Places ReferencePlaces(const CProvinceMap& piece) {
    CProvinceMap copy;
    copy.Left = piece.Left;
    copy.Top = piece.Top;
    copy.Right = piece.Right;
    copy.Bottom = piece.Bottom;
    copy.Mask->Assign(*piece.Mask);
    uint16_t cx, cy, ax, ay;
    bool full = SearchBySquares(copy, 20, true, cx, cy);
    for (int32_t dy = 0; dy < 2; ++dy)
        for (int32_t dx = 0; dx < 2; ++dx) copy.Mask->SetPixelS(cx + dx, cy + dy, CProvinceMap::kReservedPixel);
    full = SearchBySquares(copy, 15, full, ax, ay);
    return {{cx, cy, ax, ay}, full ? CProvinceMap::Province : CProvinceMap::SmallProvince};
}

TEST_F(MapProjectTest, CastlePlacesMatchTheSquareBySquareSearch) {
    std::mt19937 random(5);
    for (int round = 0; round < 40; ++round) {
        const int32_t w = 1 + static_cast<int32_t>(random() % 140), h = 1 + static_cast<int32_t>(random() % 140);
        auto piece = RandomPiece(random, w, h);
        const Places expected = ReferencePlaces(*piece);
        TBitmap32 before;
        before.Assign(*piece->Mask);

        project.MapPieces.Clear();
        project.MapPieces.Add(std::move(piece));
        project.CalcCastlePlaces();
        const CProvinceMap& placed = *project.MapPieces.GetAt(0);
        ASSERT_EQ((std::vector<int>{placed.CastleX, placed.CastleY, placed.ArmyX, placed.ArmyY}),
                  expected.castleAndArmy)
            << "round " << round << " " << w << "x" << h;
        ASSERT_EQ(placed.Kind, expected.kind) << "round " << round;
        // The mask keeps the piece's pixels, and nothing else.
        ASSERT_TRUE(placed.Mask->Equal(&before)) << "round " << round;
    }
}

// Worlds whose province pieces are wide, round, hollow, striped, cut into
// random rectangles (small pieces absorbed) or drawn with one-pixel strokes.
// Each province piece takes the places the rules give it; its mask keeps
// exactly the pixels the world map gives the piece, so the places are the
// same when they are sought again.
TEST_F(MapProjectTest, ImportedPiecesTakeTheirPlacesAndKeepThem) {
    using thorn::test::kOcean;
    using thorn::test::ProvinceColour;
    std::vector<std::pair<std::string, std::function<TColor32(int32_t, int32_t)>>> worlds = {
        {"one colour", [](int32_t, int32_t) { return ProvinceColour(1); }},
        {"disc", [](int32_t x, int32_t y) { return std::hypot(x - 150, y - 130) < 90 ? ProvinceColour(3) : kOcean; }},
        {"ring",
         [](int32_t x, int32_t y) {
             const double d = std::hypot(x - 150, y - 130);
             return d < 110 && d > 60 ? ProvinceColour(3) : kOcean;
         }},
        {"stripes", [](int32_t x, int32_t) { return ProvinceColour(1 + (x >= 10) + (x >= 30) + (x >= 60) + (x >= 150)); }},
        {"strokes",
         [](int32_t x, int32_t y) {
             return (x % 10 == 0 || y % 10 == 0) && x >= 10 && y >= 10 && x <= 130 && y <= 130 ? ProvinceColour(4) : kOcean;
         }},
    };
    std::mt19937 random(41);
    for (int n = 0; n < 3; ++n) {
        std::vector<std::pair<TRect, TColor32>> rects;
        for (int i = 0; i < 14; ++i) {
            const int32_t x = static_cast<int32_t>(random() % 280), y = static_cast<int32_t>(random() % 240);
            rects.push_back({{x, y, x + 3 + static_cast<int32_t>(random() % 140), y + 3 + static_cast<int32_t>(random() % 120)},
                             ProvinceColour(10 + random() % 6)});
        }
        worlds.push_back({"rectangles " + std::to_string(n), [rects](int32_t x, int32_t y) {
                              TColor32 colour = kOcean;
                              for (const auto& [rect, c] : rects)
                                  if (PtInRect(rect, {x, y})) colour = c;
                              return colour;
                          }});
    }
    for (const auto& [what, colourAt] : worlds) {
        SCOPED_TRACE(what);
        ASSERT_EQ(Import(*thorn::test::DrawPicture(300, 260, colourAt)), 1);
        std::vector<std::vector<int>> placed;
        for (uint16_t i = 0; i < project.MapPieces.GetCount(); ++i) {
            const CProvinceMap& piece = Piece(i);
            if (!piece.IsProvince()) continue;
            SCOPED_TRACE("piece " + std::to_string(i));
            for (const auto& [x, y] : thorn::test::NonZero(*piece.Mask))
                ASSERT_EQ(project.GetPieceAt(piece.Left + x, piece.Top + y), i) << x << "," << y;
            const Places expected = ReferencePlaces(piece);
            placed.push_back({piece.CastleX, piece.CastleY, piece.ArmyX, piece.ArmyY});
            EXPECT_EQ(placed.back(), expected.castleAndArmy);
            EXPECT_EQ(piece.Kind, expected.kind);
        }
        project.CalcCastlePlaces();
        std::vector<std::vector<int>> again;
        for (uint16_t i = 0; i < project.MapPieces.GetCount(); ++i)
            if (const CProvinceMap& piece = Piece(i); piece.IsProvince())
                again.push_back({piece.CastleX, piece.CastleY, piece.ArmyX, piece.ArmyY});
        EXPECT_EQ(again, placed);
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
