#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "WorldPictures.h"
#include "model/Textures.h"
#include "model/TexturedBevel.h"
#include "model/WorldComposer.h"
#include "support/TempDir.h"

namespace {

using thorn::ShapeBits;
using thorn::TileTexels;
using thorn::test::DrawPicture;
using thorn::test::PixelsOf;

// Random orders of random shapes that overlap one another (some of them
// again in the box of an earlier one, within its shape or not), parts of
// the world completed at random in between and pixels drawn straight onto
// it, a box or a shape, as a piece's eager drawing does once what lies
// under them (the tiles of the box, the orders that meet the shape) is
// complete:
// the world always ends as carrying out every order at once makes it, and
// a completed part already is. A shape drawn again over all of it cancels
// what waits of it.
TEST(WorldComposer, CompletesInTheOrderGivenWhateverPartIsAskedFor) {
    thorn::test::TempDir dir;
    thorn::test::WriteBmp24(dir / "strip.bmp", *DrawPicture(24, 8, [](int32_t x, int32_t y) {
        return 0xFF000000u | static_cast<uint32_t>(x * 10) << 8 | static_cast<uint32_t>(y * 30);
    }));
    CTextures textures;
    ASSERT_EQ(textures.Load(dir / "strip.bmp"), 1);
    std::mt19937 random(3);
    auto below = [&](int32_t n) { return static_cast<int32_t>(random() % static_cast<uint32_t>(n)); };

    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int32_t w = 150 + below(300), h = 150 + below(300);
        auto lazy = DrawPicture(w, h, [&](int32_t, int32_t) { return 0xFF000000u | (random() & 0xFFFFFF); });
        TBitmap32 eager;
        eager.Assign(*lazy);
        thorn::WorldComposer composer;
        struct Given {
            std::shared_ptr<const ShapeBits> shape;
            std::shared_ptr<const TileTexels> texels;
            TPoint at;
        };
        std::vector<Given> given;
        for (int step = 0; step < 40; ++step) {
            const int32_t what = below(10);
            if (what < 6) {
                // A shape: a box anywhere (partly outside the world too), or
                // the box of an earlier order, its shape thinned or grown.
                Given order;
                TBitmap32 mask;
                if (!given.empty() && below(2) == 0) {
                    const Given& earlier = given[static_cast<size_t>(below(static_cast<int32_t>(given.size())))];
                    order.at = earlier.at;
                    mask.SetSize(earlier.shape->Width(), earlier.shape->Height());
                    std::vector<uint8_t> on(static_cast<size_t>(mask.Width()));
                    const bool grown = below(2) == 0;
                    for (int32_t y = 0; y < mask.Height(); ++y) {
                        earlier.shape->GetRow(y, 0, mask.Width(), on.data());
                        for (int32_t x = 0; x < mask.Width(); ++x)
                            if (on[static_cast<size_t>(x)] ? below(8) != 0 : grown && below(8) == 0)
                                mask.SetPixel(x, y, 1);
                    }
                } else {
                    order.at = {below(w) - 40, below(h) - 40};
                    mask.SetSize(1 + below(250), 1 + below(250));
                    const int32_t cx = below(mask.Width()), cy = below(mask.Height()), r = 20 + below(120);
                    for (int32_t y = 0; y < mask.Height(); ++y)
                        for (int32_t x = 0; x < mask.Width(); ++x)
                            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r || below(40) == 0) mask.SetPixel(x, y, 1);
                }
                order.shape = std::make_shared<const ShapeBits>(thorn::ShapeOf(mask));
                order.texels = std::make_shared<const TileTexels>(textures, static_cast<uint8_t>(below(3)));
                thorn::DrawTexturedBevel(*order.shape, *order.texels, eager, order.at, eager.BoundsRect());
                composer.Order(order.shape, order.texels, order.at, *lazy);
                given.push_back(order);
            } else if (what < 8) {
                const TRect part{below(w), below(h), below(w + 50), below(h + 50)};
                composer.Complete(*lazy, part);
                TRect inside;
                if (!IntersectRect(inside, part, lazy->BoundsRect())) continue;
                for (int32_t y = inside.Top; y < inside.Bottom; ++y)
                    for (int32_t x = inside.Left; x < inside.Right; ++x)
                        ASSERT_EQ(lazy->GetPixel(x, y), eager.GetPixel(x, y)) << "at " << x << "," << y;
            } else if (what < 9 && !given.empty()) {
                // An earlier shape drawn again at once over all of it, as a
                // piece's mask is: what waits of it is cancelled first.
                const Given& earlier = given[static_cast<size_t>(below(static_cast<int32_t>(given.size())))];
                const TRect box{earlier.at.X, earlier.at.Y, earlier.at.X + earlier.shape->Width(),
                                earlier.at.Y + earlier.shape->Height()};
                composer.Cancel(*earlier.shape, earlier.at);
                composer.Complete(*lazy, box);
                thorn::DrawTexturedBevel(*earlier.shape, *earlier.texels, *lazy, earlier.at, lazy->BoundsRect());
                thorn::DrawTexturedBevel(*earlier.shape, *earlier.texels, eager, earlier.at, eager.BoundsRect());
            } else if (below(2) == 0) {
                const TRect box{below(w), below(h), below(w) + 30, below(h) + 30};
                composer.Complete(*lazy, box);
                const TColor32 colour = 0xFF000000u | (random() & 0xFFFFFF);
                lazy->FillRectS(box, colour);
                eager.FillRectS(box, colour);
            } else {
                // A shape of one colour drawn over the world, only what lies
                // under its pixels completed first.
                const TPoint at{below(w) - 20, below(h) - 20};
                TBitmap32 blot;
                blot.SetSize(1 + below(90), 1 + below(90));
                for (int32_t y = 0; y < blot.Height(); ++y)
                    for (int32_t x = 0; x < blot.Width(); ++x)
                        if ((x / 7 + y / 5) % 3 != 0 && below(5) != 0) blot.SetPixel(x, y, 1);
                composer.CompleteUnder(*lazy, thorn::ShapeOf(blot), at);
                const TColor32 colour = 0xFF000000u | (random() & 0xFFFFFF);
                for (int32_t y = 0; y < blot.Height(); ++y)
                    for (int32_t x = 0; x < blot.Width(); ++x)
                        if (blot.GetPixel(x, y) != 0) {
                            lazy->SetPixelS(at.X + x, at.Y + y, colour);
                            eager.SetPixelS(at.X + x, at.Y + y, colour);
                        }
            }
        }
        EXPECT_FALSE(composer.Idle() && given.empty());
        composer.CompleteAll(*lazy);
        EXPECT_TRUE(composer.Idle());
        ASSERT_EQ(PixelsOf(*lazy), PixelsOf(eager));
    }
}

// A bitmap resized behind the orders' back starts empty: they are dropped
// rather than drawn at places of another world.
TEST(WorldComposer, AResizedWorldDropsTheOrders) {
    thorn::test::TempDir dir;
    thorn::test::WriteBmp24(dir / "strip.bmp", *DrawPicture(8, 8, [](int32_t, int32_t) { return 0xFF336699u; }));
    CTextures textures;
    ASSERT_EQ(textures.Load(dir / "strip.bmp"), 1);
    TBitmap32 world;
    world.SetSize(300, 300);
    TBitmap32 square;
    square.SetSize(50, 50);
    square.Clear(1);
    thorn::WorldComposer composer;
    composer.Order(std::make_shared<const ShapeBits>(thorn::ShapeOf(square)),
                   std::make_shared<const TileTexels>(textures, 0), {10, 10}, world);
    world.SetSize(200, 200);
    composer.CompleteAll(world);
    EXPECT_TRUE(composer.Idle());
    EXPECT_EQ(world.GetPixel(30, 30), 0u);
}

}  // namespace
