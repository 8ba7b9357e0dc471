#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "WorldPictures.h"
#include "model/PieceMask.h"
#include "model/TexturedBevel.h"
#include "model/Textures.h"
#include "platform/Classes.h"
#include "support/TempDir.h"

namespace {

using thorn::PieceMask;
using thorn::TileTexels;
using thorn::test::DrawPicture;
using thorn::test::PixelsOf;

std::unique_ptr<TBitmap32> Disc() {
    return DrawPicture(20, 16, [](int32_t x, int32_t y) {
        return (x - 9) * (x - 9) + (y - 8) * (y - 8) < 40 ? 0xFF0000CCu : 0u;
    });
}

// A paint owed is paid before anyone sees the bitmap, read-only or not; a
// way that may change it forgets the shape learnt; a new bitmap owes
// nothing; only opaque texels may be owed.
TEST(PieceMask, OwesItsPaintUntilLookedAtAndForgetsTheShapeWhenChanged) {
    thorn::test::TempDir dir;
    thorn::test::WriteBmp32(dir / "strip.bmp", *DrawPicture(16, 8, [](int32_t x, int32_t y) {
        return (x < 8 ? 0xFF000000u : 0x80000000u) | static_cast<uint32_t>(x * 9 + y * 700);
    }));
    CTextures textures;
    ASSERT_EQ(textures.Load(dir / "strip.bmp"), 1);
    auto opaque = std::make_shared<const TileTexels>(textures, 0);
    TBitmap32 painted;
    painted.Assign(*Disc());
    thorn::PaintTexturedBevel(painted, *opaque);

    PieceMask mask(Disc());
    const std::shared_ptr<const thorn::ShapeBits> shape = mask.Shape();
    mask.OwePaint(opaque);
    EXPECT_EQ(mask.AsIs().GetPixel(9, 8), 0xFF0000CCu);
    EXPECT_EQ(PixelsOf(*std::as_const(mask)), PixelsOf(painted));
    EXPECT_FALSE(mask.OwesPaint());
    EXPECT_EQ(mask.Shape(), shape);  // read only: the shape is kept

    mask.OwePaint(opaque);
    mask->SetPixel(0, 0, 0xFF123456);
    EXPECT_EQ(mask.AsIs().GetPixel(9, 8), painted.GetPixel(9, 8));
    EXPECT_NE(mask.Shape(), shape);
    EXPECT_FALSE(shape->Within(*mask.Shape()) && mask.Shape()->Within(*shape));

    mask.OwePaint(opaque);
    mask = Disc();
    EXPECT_FALSE(mask.OwesPaint());
    EXPECT_EQ(mask->GetPixel(9, 8), 0xFF0000CCu);
    EXPECT_THROW(mask.OwePaint(std::make_shared<const TileTexels>(textures, 1)), EInvalidOperation);
}

}  // namespace
