#include <gtest/gtest.h>

#include <random>

#include "support/TempDir.h"
#include "WorldPictures.h"
#include "bitmap/Pix32_Blend.h"
#include "model/BitmapHelpers.h"
#include "model/MapMap.h"
#include "model/TexturedBevel.h"
#include "model/Textures.h"

namespace {

using thorn::test::DrawPicture;
using thorn::test::TempDir;

TEST(BitmapHelpers, ColourConversionAndShades) {
    EXPECT_EQ(ColorToColor32(0x000000FF), 0xFFFF0000u);
    EXPECT_EQ(ColorToColor32(0x00123456), 0xFF563412u);
    EXPECT_EQ(ShadeColor32(0x80102030, 40), 0x80435363u);
    EXPECT_EQ(ShadeColor32(0xFFF0F0F0, 40), 0xFFFFFFFFu);
    EXPECT_EQ(ShadeColor32(0xFF203040, -40), 0xFF00000Du);
    EXPECT_EQ(LightenColor32(0x00000000), 0x00333333u);
    EXPECT_EQ(DarkenColor32(0xFF404040), 0xFF0D0D0Du);
}

TEST(BitmapHelpers, FillNonZeroPixelsCountsEverythingButZero) {
    auto b = DrawPicture(4, 1, [](int32_t x, int32_t) {
        const TColor32 values[] = {0, 0x00FFFFFF, 0xFF000000, 0x00000001};
        return values[x];
    });
    EXPECT_EQ(FillNonZeroPixels(b.get(), 0xFF123456), 3u);
    EXPECT_EQ(b->GetPixel(0, 0), 0u);
    EXPECT_EQ(b->GetPixel(1, 0), 0xFF123456u);
    EXPECT_EQ(FillNonZeroPixels(nullptr, 1), 0u);
    EXPECT_EQ(FillAndBevel(nullptr, 1), 0u);
}

TEST(BitmapHelpers, CropKeepsTheBoxInclusive) {
    auto b = DrawPicture(6, 5, [](int32_t x, int32_t y) { return static_cast<TColor32>(0xFF000000 | (y << 8) | x); });
    CropBitmap(*b, 2, 3, 4, 3);
    ASSERT_EQ(b->Width(), 3);
    ASSERT_EQ(b->Height(), 1);
    EXPECT_EQ(b->GetPixel(0, 0), 0xFF000302u);
    EXPECT_EQ(b->GetPixel(2, 0), 0xFF000304u);
}

TEST(BitmapHelpers, ReplaceColourAndResize) {
    auto b = DrawPicture(2, 2, [](int32_t x, int32_t) { return x ? 0xFFFF00FFu : 0xFF010203u; });
    ReplaceColor(*b, 0xFFFF00FF, 0);
    EXPECT_EQ(b->GetPixel(1, 1), 0u);
    EXPECT_EQ(b->GetPixel(0, 1), 0xFF010203u);

    auto one = DrawPicture(100, 300, [](int32_t, int32_t) { return 0xFF445566u; });
    EXPECT_EQ(ResizeBitmap(*one, 160, 300), 1);
    EXPECT_EQ(one->Width(), 160);
    EXPECT_EQ(one->Height(), 300);
    EXPECT_EQ(one->GetPixel(159, 299), 0xFF445566u);
}

TEST(BitmapHelpers, LightenAndDarkenLeaveZeroAlone) {
    auto b = DrawPicture(2, 1, [](int32_t x, int32_t) { return x ? 0xFF203040u : 0u; });
    LightenBitmap(*b);
    EXPECT_EQ(b->GetPixel(0, 0), 0u);
    EXPECT_EQ(b->GetPixel(1, 0), 0xFF536373u);
    DarkenBitmap(*b);
    EXPECT_EQ(b->GetPixel(1, 0), 0xFF203040u);
}

// A strip of three 32-pixel tiles whose texel (x, y) is 0xFF000000 | x << 8 | y.
void WriteStrip(const std::filesystem::path& file) {
    auto strip = DrawPicture(96, 32, [](int32_t x, int32_t y) { return static_cast<TColor32>(0xFF000000 | x << 8 | y); });
    thorn::test::WriteBmp24(file, *strip);
}

TEST(Textures, TexelsRepeatInBothDirections) {
    TempDir dir;
    WriteStrip(dir / "strip.bmp");
    CTextures textures;
    ASSERT_EQ(textures.Load(dir / "strip.bmp"), 1);
    EXPECT_EQ(textures.StripWidth(), 96);
    EXPECT_EQ(textures.TileWidth(), 32);
    EXPECT_EQ(textures.TileHeight(), 32);
    EXPECT_EQ(textures.GetPixel(2, 70, 70), 0xFF000000u | 70 << 8 | 6);
    EXPECT_EQ(textures.GetPixel(0, 31, 31), 0xFF000000u | 31 << 8 | 31);
}

TEST(Textures, MissingStripOrTileStandsInWithOneColour) {
    TempDir dir;
    CTextures textures;
    EXPECT_EQ(textures.Load(dir / "absent.bmp"), 0);
    EXPECT_EQ(textures.TileWidth(), 0);
    EXPECT_EQ(textures.GetPixel(0, 5, 5), CTextures::kStandInColor);

    WriteStrip(dir / "strip.bmp");
    ASSERT_EQ(textures.Load(dir / "strip.bmp"), 1);
    EXPECT_EQ(textures.GetPixel(7, 1, 1), CTextures::kStandInColor);  // only three tiles

    // A piece painted from an absent tile keeps all its pixels.
    auto mask = DrawPicture(5, 5, [](int32_t x, int32_t y) { return (x + y) % 2 ? 0xFFFFFFFFu : 0u; });
    EXPECT_EQ(FillFromTexture(*mask, textures, 7), 12u);
    EXPECT_EQ(mask->GetPixel(1, 0), CTextures::kStandInColor);
    EXPECT_EQ(mask->GetPixel(0, 0), 0u);
}

TEST(Textures, FillFromTextureUsesThePiecesOwnCoordinates) {
    TempDir dir;
    WriteStrip(dir / "strip.bmp");
    CTextures textures;
    ASSERT_EQ(textures.Load(dir / "strip.bmp"), 1);
    auto mask = DrawPicture(40, 3, [](int32_t x, int32_t) { return x == 3 ? 0u : 0xFF000001u; });
    EXPECT_EQ(FillFromTexture(*mask, textures, 1), 117u);
    EXPECT_EQ(mask->GetPixel(35, 2), 0xFF000000u | (32 + 3) << 8 | 2);
    EXPECT_EQ(mask->GetPixel(3, 1), 0u);
}

// The rims as their rules give them: the diagonals x + y = 0, 1, 2 ... are
// walked from their lower-left ends, every point writing into a light and a
// dark layer, later writes replacing earlier ones; both layers are then
// blended onto the shape.
void BevelByDiagonals(TBitmap32& b) {
    const int32_t w = b.Width(), h = b.Height();
    auto B = [&](int32_t x, int32_t y) { return x < 0 || y < 0 || x >= w || y >= h ? 0u : b.GetPixel(x, y); };
    std::vector<TColor32> light(static_cast<size_t>(w) * h, 0), dark(light.size(), 0);
    auto set = [&](std::vector<TColor32>& layer, int32_t x, int32_t y, TColor32 c) {
        if (B(x, y) != 0) layer[static_cast<size_t>(y) * w + x] = c;
    };
    auto L = LightenColor32;
    auto D = DarkenColor32;
    for (int32_t s = 0; s <= w + h; ++s) {
        const int32_t visits = s == h ? 2 : 1;
        for (int32_t v = 0; v < visits; ++v)
            for (int32_t x = std::max(0, s - h); x <= std::min(w, s); ++x) {
                const int32_t y = s - x;
                if (B(x, y) == 0) continue;
                if (B(x, y - 1) == 0) {
                    set(light, x, y, L(L(B(x, y))));
                    set(light, x, y + 1, L(B(x, y)));
                }
                if (B(x - 1, y) == 0) {
                    set(light, x, y, L(L(B(x, y))));
                    set(light, x + 1, y, L(B(x + 1, y)));
                }
                if (B(x - 1, y - 1) == 0) {
                    set(light, x, y, L(L(B(x, y))));
                    set(light, x + 1, y, L(B(x + 1, y)));
                    set(light, x, y + 1, L(B(x, y + 1)));
                }
                if (B(x, y + 1) == 0) {
                    set(dark, x, y, D(D(B(x, y))));
                    if (B(x + 1, y) != 0 && B(x + 1, y - 1) != 0) set(dark, x, y - 1, D(B(x, y - 1)));
                }
                if (B(x + 1, y) == 0) {
                    set(dark, x, y, D(D(B(x, y))));
                    if (B(x, y + 1) != 0 && B(x - 1, y + 1) != 0) set(dark, x - 1, y, D(B(x - 1, y)));
                }
                if (B(x + 1, y + 1) == 0) {
                    set(dark, x, y, D(D(B(x, y))));
                    if (B(x + 1, y) != 0 && B(x, y + 1) != 0) {
                        set(dark, x - 1, y, D(B(x - 1, y)));
                        set(dark, x, y - 1, D(B(x, y - 1)));
                    }
                }
            }
    }
    for (size_t i = 0; i < light.size(); ++i) {
        TColor32& p = b.Bits()[i];
        BlendMem(light[i], p);
        BlendMem(dark[i], p);
    }
}

TEST(BitmapHelpers, BevelOfALonePixelIsTwiceDarkened) {
    auto b = DrawPicture(3, 3, [](int32_t x, int32_t y) { return x == 1 && y == 1 ? 0xFF808080u : 0u; });
    BevelEdges(*b);
    EXPECT_EQ(b->GetPixel(1, 1), DarkenColor32(DarkenColor32(0xFF808080)));
    EXPECT_EQ(b->GetPixel(0, 0), 0u);
}

TEST(BitmapHelpers, BevelMatchesTheDiagonalWalkOnRandomShapes) {
    std::mt19937 random(7);
    for (int round = 0; round < 90; ++round) {
        // Every third shape is large and dense, with inner parts that keep their colour.
        const int32_t most = round % 3 == 0 ? 40 : 14;
        const int32_t w = 1 + static_cast<int32_t>(random() % most), h = 1 + static_cast<int32_t>(random() % most);
        const uint32_t density = round % 3 == 0 ? 97 + random() % 4 : random() % 100;
        auto shape = DrawPicture(w, h, [&](int32_t, int32_t) -> TColor32 {
            if (random() % 100 >= density) return 0;
            const TColor32 alphas[] = {0xFF000000, 0x80000000, 0};
            return alphas[random() % 3] | (random() & 0xFFFFFF) | 1;
        });
        TBitmap32 expected;
        expected.Assign(*shape);
        BevelByDiagonals(expected);
        BevelEdges(*shape);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                ASSERT_EQ(shape->GetPixel(x, y), expected.GetPixel(x, y)) << "round " << round << " at " << x << "," << y;
    }
}

// Random shapes painted from random strips (texels of every alpha, 0
// among them, and tiles past the strip's end): the one-pass paint against
// FillFromTexture then BevelEdges; and with the opaque strips, the paint of
// a part of the shape from its bits, drawn over a picture, against the
// painted mask blended over the same picture.
TEST(BitmapHelpers, TexturedBevelInOnePassMatchesFillThenBevel) {
    TempDir dir;
    std::mt19937 random(11);
    auto below = [&](uint32_t n) { return static_cast<int32_t>(random() % n); };
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const bool opaque = round % 2 == 0;
        const int32_t side = 1 + below(9);
        auto strip = DrawPicture(4 * side, side, [&](int32_t, int32_t) -> TColor32 {
            if (opaque) return 0xFF000000u | (random() & 0xFFFFFF);
            const TColor32 alphas[] = {0xFF000000, 0x80000000, 0};
            return below(6) == 0 ? 0u : alphas[below(3)] | (random() & 0xFFFFFF);
        });
        const auto file = dir / ("strip" + std::to_string(round) + ".bmp");
        thorn::test::WriteBmp32(file, *strip);
        CTextures textures;
        ASSERT_EQ(textures.Load(file), 1);
        const uint8_t tile = static_cast<uint8_t>(below(5));  // 4 is past the end

        const int32_t w = 1 + below(round % 3 ? 20 : 70), h = 1 + below(round % 3 ? 20 : 50);
        const int32_t density = round % 3 ? below(100) : 97;
        auto shape = DrawPicture(w, h, [&](int32_t, int32_t) -> TColor32 {
            return below(100) < density ? (random() | 1) : 0u;
        });
        TBitmap32 plain;
        plain.Assign(*shape);
        const uint32_t plainCount = FillFromTexture(plain, textures, tile);
        BevelEdges(plain);
        const thorn::ShapeBits bits = thorn::ShapeOf(*shape);
        EXPECT_EQ(thorn::PaintTexturedBevel(*shape, thorn::TileTexels(textures, tile)), plainCount);
        ASSERT_EQ(thorn::test::PixelsOf(*shape), thorn::test::PixelsOf(plain));
        if (!opaque) continue;

        // A part of the shape, anywhere over a picture that it may overhang.
        auto picture = DrawPicture(60, 40, [&](int32_t, int32_t) { return static_cast<TColor32>(random()); });
        TBitmap32 expected;
        expected.Assign(*picture);
        const TPoint at{below(60) - 20, below(40) - 20};
        const TRect part{below(60) - 5, below(40) - 5, below(70), below(50)};
        for (int32_t y = std::max(part.Top, 0); y < std::min({part.Bottom, 40, at.Y + h}); ++y)
            for (int32_t x = std::max(part.Left, 0); x < std::min({part.Right, 60, at.X + w}); ++x)
                if (x >= at.X && y >= at.Y) BlendMem(plain.GetPixel(x - at.X, y - at.Y), *expected.PixelPtr(x, y));
        thorn::DrawTexturedBevel(bits, thorn::TileTexels(textures, tile), *picture, at, part);
        ASSERT_EQ(thorn::test::PixelsOf(*picture), thorn::test::PixelsOf(expected));
    }
}

TEST(MapMap, CellsOutsideAnswerTheOutsideValue) {
    CMapMap map;
    EXPECT_EQ(map.Get(0, 0), -1);
    map.Resize(4, 3);
    EXPECT_EQ(map.Get(3, 2), -1);
    map.Set(3, 2, 7);
    EXPECT_EQ(map.Get(3, 2), 7);
    EXPECT_EQ(map.Get(-1, 0), -1);
    EXPECT_EQ(map.Get(4, 0), -1);
    EXPECT_EQ(map.Get(0, 3), -1);
    map.Set(4, 0, 9);  // outside: nothing written
    map.Resize(4, 3);
    EXPECT_EQ(map.Get(3, 2), -1);
    map.Free();
    EXPECT_FALSE(map.HasCells());
    CMapMap zero(0);
    EXPECT_EQ(zero.Get(1, 1), 0);
}

}  // namespace
