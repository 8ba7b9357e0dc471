#include <gtest/gtest.h>

#include <random>

#include "ExportProject.h"
#include "ImgDecoder.h"
#include "export/PieceShades.h"
#include "export/Previews.h"

namespace thorn::test {
namespace {

using Bytes = std::vector<uint8_t>;

struct Picture {
    int width = 0, height = 0;
    Bytes pixels;
    uint8_t At(int x, int y) const { return pixels.at(static_cast<size_t>(y * width + x)); }
};

class Previews : public ExportProject {
protected:
    Previews() { SetGameData(1, 1); }

    PreviewMap Map() {
        PieceShadeCache shades(project.MapPieces);
        return BuildPreviewMap(project, shades);
    }
    Picture Write(const PreviewMap& map, int width, int height) {
        WritePreviewImage(dir / "Preview.img", width, height, map);
        const ImgFile img = DecodeImg(ReadFileBytes(dir / "Preview.img"), 0x77);
        return {img.width, img.height, img.frames.at(0).pixels};
    }
};


TEST_F(Previews, SizesAreClampedToTheWorld) {
    SetPieces(120, 80, [](int32_t x, int32_t) { return x / 60; }, {3, 3});
    BindAllProvincePieces();
    const PreviewMap map = Map();
    const Picture preview = Write(map, 96, 96), hi = Write(map, 200, 200), lo = Write(map, 60, 60);
    EXPECT_EQ(std::pair(preview.width, preview.height), std::pair(96, 80));
    EXPECT_EQ(std::pair(hi.width, hi.height), std::pair(120, 80));
    EXPECT_EQ(std::pair(lo.width, lo.height), std::pair(60, 60));
}

TEST_F(Previews, WorldBytes) {
    // Ocean on the left, provinces 0 and 1, green land, a small piece and
    // a province piece no province is bound to.
    SetPieces(
        200, 100,
        [](int32_t x, int32_t y) {
            if (x < 20) return 0;
            if (x >= 180) return y < 50 ? 3 : 4;
            if (x >= 160) return 5;
            return x < 90 ? 1 : 2;
        },
        {1, 3, 3, 2, 5, 3});
    BindProvince(1);
    BindProvince(2);
    const Picture full = Write(Map(), 200, 100);  // one source pixel per output pixel
    EXPECT_EQ(full.At(5, 50), 0xFE);
    EXPECT_EQ(full.At(190, 20), 0xFF);
    EXPECT_EQ(full.At(190, 70), 0);   // small piece
    EXPECT_EQ(full.At(170, 50), 0);   // unbound province piece
    EXPECT_EQ(full.At(50, 50), 0);    // province 0's interior
    EXPECT_EQ(full.At(120, 50), 1);   // province 1's interior
    // The light top and left edges keep the index; the dark bottom and right
    // edges are borders.
    EXPECT_EQ(full.At(90, 50), 1);
    EXPECT_EQ(full.At(91, 50), 1);
    EXPECT_EQ(full.At(120, 0), 1);
    EXPECT_EQ(full.At(158, 50), 0xFA);
    EXPECT_EQ(full.At(159, 50), 0xFA);
    EXPECT_EQ(full.At(120, 98), 0xFA);
    EXPECT_EQ(full.At(120, 99), 0xFA);
    EXPECT_EQ(full.At(88, 50), 0xFA);
    EXPECT_EQ(full.At(87, 50), 0);
}

TEST(PreviewShrink, BorderWinsWhenItFillsMoreThanAQuarter) {
    // 6 x 3 shrunk to 2 x 1: two areas of 3 x 3.
    PreviewMap map{6, 3, Bytes(18, 7)};
    for (int i : {1, 2, 3}) map.bytes[static_cast<size_t>(i)] = 0xFA;  // 2 in the first area, 1 in the second
    map.bytes[6] = 0xFA;                                                // a third in the first area
    int width = 2, height = 1;
    EXPECT_EQ(ShrinkPreview(map, width, height), (Bytes{0xFA, 0xFA}));
    map.bytes[6] = 7;
    map.bytes[3] = 7;
    width = 2;
    height = 1;
    EXPECT_EQ(ShrinkPreview(map, width, height), (Bytes{7, 7}));  // 2 of 9 keeps the top-left sample
    map.bytes[0] = 3;
    width = 2;
    height = 1;
    EXPECT_EQ(ShrinkPreview(map, width, height), (Bytes{3, 7}));
}

// The rule counted area by area, on random maps and sizes.
TEST(PreviewShrink, FollowsTheAreaRuleOnRandomMaps) {
    std::mt19937 rng(3);
    for (int round = 0; round < 40; ++round) {
        const int32_t W = 1 + static_cast<int32_t>(rng() % 90), H = 1 + static_cast<int32_t>(rng() % 70);
        PreviewMap map{static_cast<uint16_t>(W), static_cast<uint16_t>(H), Bytes(static_cast<size_t>(W) * H)};
        for (uint8_t& b : map.bytes) b = rng() % 3 == 0 ? kPreviewBorder : static_cast<uint8_t>(rng() % 5);
        int width = 1 + static_cast<int>(rng() % W), height = 1 + static_cast<int>(rng() % H);
        const int w = width, h = height;
        const Bytes shrunk = ShrinkPreview(map, width, height);
        ASSERT_EQ(shrunk.size(), static_cast<size_t>(w) * h);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const int x0 = i * W / w, x1 = (i + 1) * W / w, y0 = j * H / h, y1 = (j + 1) * H / h;
                int border = 0;
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x) border += map.bytes[static_cast<size_t>(y) * W + x] == kPreviewBorder;
                const uint8_t expected =
                    border > (x1 - x0) * (y1 - y0) / 4 ? kPreviewBorder : map.bytes[static_cast<size_t>(y0) * W + x0];
                ASSERT_EQ(shrunk[static_cast<size_t>(j) * w + i], expected) << round << " at " << i << "," << j;
            }
    }
}

TEST(PreviewShrink, SameSizeKeepsEveryPixel) {
    PreviewMap map{3, 2, Bytes{1, 0xFA, 3, 0xFE, 0xFF, 0}};
    int width = 3, height = 2;
    EXPECT_EQ(ShrinkPreview(map, width, height), map.bytes);
}

}  // namespace
}  // namespace thorn::test
