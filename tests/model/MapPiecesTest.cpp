#include <gtest/gtest.h>

#include <vector>

#include "model/MapMap.h"
#include "model/OrvSerializer.h"
#include "model/prov_maplist.h"
#include "support/Pixels.h"

namespace {

using thorn::test::NonZero;

// A piece whose mask is w x h with the pixels the function sets, at (left, top).
std::unique_ptr<CProvinceMap> MakePiece(int32_t left, int32_t top, int32_t w, int32_t h,
                                        bool (*set)(int32_t, int32_t) = [](int32_t, int32_t) { return true; },
                                        TColor32 colour = 0xFF808080) {
    auto piece = std::make_unique<CProvinceMap>();
    piece->Left = static_cast<uint16_t>(left);
    piece->Top = static_cast<uint16_t>(top);
    piece->Right = static_cast<uint16_t>(left + w - 1);
    piece->Bottom = static_cast<uint16_t>(top + h - 1);
    piece->Mask->SetSize(w, h);
    uint32_t count = 0;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            if (set(x, y)) {
                piece->Mask->SetPixel(x, y, colour);
                ++count;
            }
    piece->PixelCount = count;
    piece->Kind = CProvinceMap::Province;
    return piece;
}

std::vector<uint16_t> List(const CProvinceMap& piece) {
    return {piece.Neighbours.begin(), piece.Neighbours.end()};
}

TEST(MapPiece, UsableNeedsFourByFourAnd250Pixels) {
    auto tall = MakePiece(0, 0, 4, 63);
    EXPECT_EQ(tall->IsUsable(), 1);
    EXPECT_EQ(tall->Mask->GetPixel(2, 2), 0xFFFFFFFFu);  // repainted while counted

    auto narrow = MakePiece(0, 0, 3, 100);
    EXPECT_EQ(narrow->IsUsable(), 0);
    EXPECT_EQ(narrow->Mask->GetPixel(1, 1), 0xFF808080u);  // failed the size test: untouched

    EXPECT_EQ(MakePiece(0, 0, 15, 16)->IsUsable(), 0);  // 240 pixels
}

TEST(MapPieceList, NeighboursAreSymmetricAndUnique) {
    CProvinceMapList list;
    for (int i = 0; i < 3; ++i) list.Add(MakePiece(i * 10, 0, 5, 5));
    CProvinceMap& a = *list.GetAt(0);
    a.AddNeighbour(1);
    a.AddNeighbour(1);
    a.AddNeighbour(0);       // itself
    a.AddNeighbour(0xFFFF);  // none
    a.AddNeighbour(7);       // past the list
    EXPECT_EQ(List(a), (std::vector<uint16_t>{1}));
    EXPECT_EQ(List(*list.GetAt(1)), (std::vector<uint16_t>{0}));

    list.GetAt(2)->PixelCount = 0;
    a.AddNeighbour(2);  // empty
    EXPECT_EQ(List(a), (std::vector<uint16_t>{1}));

    list.GetAt(1)->RemoveNeighbour(0);
    EXPECT_TRUE(List(a).empty());
    EXPECT_TRUE(List(*list.GetAt(1)).empty());
}

TEST(MapPieceList, RemovingRenumbersTheNeighbours) {
    CProvinceMapList list;
    for (int i = 0; i < 3; ++i) list.Add(MakePiece(i * 10, 0, 5, 5));
    list.GetAt(0)->AddNeighbour(1);
    list.GetAt(1)->AddNeighbour(2);
    list.GetAt(0)->AddNeighbour(2);
    list.Remove(0);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(List(*list.GetAt(0)), (std::vector<uint16_t>{1}));
    EXPECT_EQ(List(*list.GetAt(1)), (std::vector<uint16_t>{0}));
    EXPECT_THROW(list.Remove(2), std::out_of_range);
    EXPECT_EQ(list.IndexOf(nullptr), 0xFFFF);
    EXPECT_EQ(list.GetAt(2), nullptr);
}

TEST(MapPieceList, RemovingEveryEmptyPieceAtOnceMatchesOneByOne) {
    auto build = [](CProvinceMapList& list) {
        for (int i = 0; i < 7; ++i) list.Add(MakePiece(i * 10, 0, 5, 5));
        const int links[][2] = {{0, 1}, {1, 2}, {2, 3}, {0, 3}, {3, 6}, {4, 5}, {5, 6}, {1, 6}, {0, 5}};
        for (auto [a, b] : links) list.GetAt(static_cast<uint16_t>(a))->AddNeighbour(static_cast<uint16_t>(b));
        for (int e : {1, 3, 4}) list.GetAt(static_cast<uint16_t>(e))->PixelCount = 0;
    };
    CProvinceMapList batch, single;
    build(batch);
    build(single);
    batch.RemoveEmpty();
    for (uint16_t n = 0; n < single.GetCount();)
        if (single.GetAt(n)->IsEmpty())
            single.Remove(n);
        else
            ++n;
    ASSERT_EQ(batch.GetCount(), 4);
    ASSERT_EQ(single.GetCount(), 4);
    for (uint16_t n = 0; n < 4; ++n) EXPECT_EQ(List(*batch.GetAt(n)), List(*single.GetAt(n))) << n;
    EXPECT_EQ(List(*batch.GetAt(0)), (std::vector<uint16_t>{2}));  // old 0: 1, 3 and 5 -> 5 is now 2
}

TEST(MapPieceMerge, EmptyPieceIsRefused) {
    CProvinceMapList list;
    list.Add(MakePiece(0, 0, 4, 4));
    list.Add(MakePiece(4, 0, 2, 2));
    list.GetAt(1)->PixelCount = 0;
    EXPECT_EQ(list.GetAt(0)->Merge(list.GetAt(1)), 0);
    EXPECT_EQ(list.GetAt(0)->Merge(nullptr), 0);
    EXPECT_EQ(list.GetAt(0)->Right, 3);
    EXPECT_EQ(list.GetAt(1)->Mask->GetPixel(0, 0), 0xFF808080u);
}

TEST(MapPieceMerge, GrowingTheBoxUnitesBothMasks) {
    CMapMap map;
    map.Resize(20, 20);
    CProvinceMapList list;
    list.SetIndexMap(&map);
    list.Add(MakePiece(2, 2, 4, 4));                                                // 0: (2,2)-(5,5)
    list.Add(MakePiece(6, 3, 3, 1));                                                // 1: (6,3)-(8,3)
    list.Add(MakePiece(9, 3, 2, 2));                                                // 2, beside 1
    list.GetAt(1)->AddNeighbour(2);
    list.GetAt(1)->AddNeighbour(0);
    CProvinceMap& big = *list.GetAt(0);
    CProvinceMap& small = *list.GetAt(1);
    ASSERT_EQ(big.Merge(&small), 1);
    EXPECT_EQ(big.Left, 2);
    EXPECT_EQ(big.Top, 2);
    EXPECT_EQ(big.Right, 8);
    EXPECT_EQ(big.Bottom, 5);
    ASSERT_EQ(big.Mask->Width(), 7);
    ASSERT_EQ(big.Mask->Height(), 4);
    EXPECT_EQ(big.Mask->GetPixel(0, 0), 0xFF808080u);
    EXPECT_EQ(big.Mask->GetPixel(4, 1), CProvinceMap::kMergedPixel);  // world (6, 3)
    EXPECT_EQ(big.Mask->GetPixel(4, 0), 0u);
    EXPECT_EQ(NonZero(*big.Mask).size(), 19u);
    EXPECT_EQ(big.PixelCount, 16u);  // the absorbing piece keeps its count
    EXPECT_EQ(small.PixelCount, 0u);
    EXPECT_TRUE(NonZero(*small.Mask).empty());
    EXPECT_EQ(small.Right, 8);  // the absorbed piece keeps its box and neighbours
    EXPECT_EQ(List(small), (std::vector<uint16_t>{2, 0}));
    EXPECT_EQ(List(big), (std::vector<uint16_t>{1, 2}));
    EXPECT_EQ(map.Get(7, 3), 0);
    EXPECT_EQ(map.Get(2, 2), -1);  // only the absorbed pixels are written
}

TEST(MapPieceMerge, InsideTheBoxDrawsInPlace) {
    CProvinceMapList list;
    list.Add(MakePiece(0, 0, 6, 6, [](int32_t x, int32_t y) { return !(x >= 2 && x <= 3 && y >= 2 && y <= 3); }));
    list.Add(MakePiece(2, 2, 2, 2));
    CProvinceMap& ring = *list.GetAt(0);
    const TBitmap32* before = ring.Mask.get();
    ASSERT_EQ(ring.Merge(list.GetAt(1)), 1);
    EXPECT_EQ(ring.Mask.get(), before);
    EXPECT_EQ(NonZero(*ring.Mask).size(), 36u);
    EXPECT_EQ(ring.Mask->GetPixel(3, 3), CProvinceMap::kMergedPixel);
    EXPECT_EQ(ring.Mask->GetPixel(0, 0), 0xFF808080u);
}

TEST(MapPieceMerge, TranslucentMaskBlendsAsADrawIntoAFreshBitmapWould) {
    CProvinceMapList list;
    list.Add(MakePiece(0, 0, 4, 4, [](int32_t x, int32_t) { return x != 3; }, 0x80FF0000));
    list.Add(MakePiece(3, 0, 1, 1));
    CProvinceMap& piece = *list.GetAt(0);
    ASSERT_EQ(piece.Merge(list.GetAt(1)), 1);
    // 0x80FF0000 blended over transparent black with weight 0x80.
    const TColor32 blended = (0x80u * 0x80 + 128) >> 8 << 24 | ((0xFFu * 0x80 + 128) >> 8) << 16;
    EXPECT_EQ(piece.Mask->GetPixel(0, 0), blended);
    EXPECT_EQ(piece.Mask->GetPixel(3, 0), CProvinceMap::kMergedPixel);
}

TEST(MapPieceSquares, FitsSquareReportsTheFirstEmptyColumn) {
    auto piece = MakePiece(0, 0, 10, 10, [](int32_t x, int32_t y) { return !(x == 6 && y == 4); });
    EXPECT_EQ(CProvinceMap::FitsSquare(*piece->Mask, 0, 0, 5, 5), -1);
    EXPECT_EQ(CProvinceMap::FitsSquare(*piece->Mask, 2, 2, 5, 5), 4);  // inside rows
    EXPECT_EQ(CProvinceMap::FitsSquare(*piece->Mask, 6, 4, 3, 3), 0);  // top row
    EXPECT_EQ(CProvinceMap::FitsSquare(*piece->Mask, 8, 8, 3, 3), 2);  // top row reaches outside
    piece->Mask->SetPixel(1, 1, CProvinceMap::kReservedPixel);
    EXPECT_EQ(CProvinceMap::FitsSquare(*piece->Mask, 0, 0, 5, 5), 1);
    EXPECT_EQ(piece->FindSquare(5, 5), (TPoint{0, 2}));
    EXPECT_EQ(piece->FindSquare(11, 11), (TPoint{-1, -1}));
    EXPECT_EQ(piece->FindSquare(9, 9), (TPoint{-1, -1}));
}

TEST(MapPieceFile, MasksOfEverySizeKeepTheirBitsColumnByColumn) {
    // Sides that are not multiples of eight put a column's bits across byte
    // boundaries; the bytes are checked against the stream laid out here
    // pixel by pixel.
    auto set = [](int32_t x, int32_t y) { return (x * 7 + y * 3) % 5 < 2 || x == y; };
    for (const auto& [w, h] : {std::pair{1, 1}, {3, 3}, {8, 8}, {11, 13}, {20, 9}, {5, 17}, {64, 7}}) {
        auto piece = MakePiece(0, 0, w, h, +set);
        std::vector<uint8_t> expected((w * h + 7) / 8, 0);
        for (int32_t x = 0, i = 0; x < w; ++x)
            for (int32_t y = 0; y < h; ++y, ++i)
                if (set(x, y)) expected[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
        const std::vector<uint8_t> bytes = Orv::SerializeToBytes(*piece);
        ASSERT_EQ(bytes.size(), 39 + expected.size()) << w << " x " << h;
        EXPECT_EQ(std::vector<uint8_t>(bytes.end() - static_cast<std::ptrdiff_t>(expected.size()), bytes.end()),
                  expected)
            << w << " x " << h;

        // Loading sets the pixels of the set bits and leaves the others.
        CProvinceMap loaded;
        loaded.Mask->SetSize(w, h);
        loaded.Mask->Clear(0x00000001);
        Orv::CSerialLoader loader(bytes);
        ASSERT_EQ(loaded.Serialize(loader), 1);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                EXPECT_EQ(loaded.Mask->GetPixel(x, y), set(x, y) ? CProvinceMap::kMergedPixel : 0x00000001u)
                    << w << " x " << h << " at " << x << ", " << y;
    }
}

// A mask far larger than the bytes that follow is refused before anything
// is made of it.
TEST(MapPieceFile, AMaskLargerThanTheFileIsRefused) {
    std::vector<uint8_t> hugeMask = Orv::SerializeToBytes(*MakePiece(0, 0, 2, 2));
    hugeMask[hugeMask.size() - 5] = 0xFF;  // width 0xFF02
    hugeMask[hugeMask.size() - 3] = 0xFF;  // height 0xFF02
    CProvinceMap piece;
    Orv::CSerialLoader maskLoader(hugeMask);
    EXPECT_EQ(piece.Serialize(maskLoader), 0);
    EXPECT_EQ(piece.Mask->Width(), 0);
}

}  // namespace
