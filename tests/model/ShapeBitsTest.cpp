#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "WorldPictures.h"
#include "model/ShapeBits.h"

namespace {

using thorn::ShapeBits;
using thorn::test::DrawPicture;

// Random shapes of every width around a word's 64 bits, read back row by
// row from any column, and met by another anywhere around them: against
// the pixels themselves.
TEST(ShapeBits, RowsAndMeetingsAreThePixels) {
    std::mt19937 random(9);
    auto below = [&](int32_t n) { return static_cast<int32_t>(random() % static_cast<uint32_t>(n)); };
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int32_t density = 1 + below(round % 2 ? 12 : 200);
        auto picture = [&] {
            return DrawPicture(1 + below(150), 1 + below(12), [&](int32_t, int32_t) {
                return below(density) == 0 ? 0xFF000001u : 0u;
            });
        };
        const auto a = picture(), b = picture();
        const ShapeBits bitsA = thorn::ShapeOf(*a), bitsB = thorn::ShapeOf(*b);

        const int32_t y = below(a->Height()), from = below(a->Width() + 1), to = from + below(a->Width() - from + 1);
        std::vector<uint8_t> on(static_cast<size_t>(to - from));
        bitsA.GetRow(y, from, to, on.data());
        for (int32_t x = from; x < to; ++x)
            ASSERT_EQ(on[static_cast<size_t>(x - from)], a->GetPixel(x, y) != 0 ? 1 : 0) << x << "," << y;

        const TPoint at{below(a->Width() + 140) - 140, below(a->Height() + 12) - 12};
        const TRect within{below(a->Width() + 10) - 5, below(a->Height()) - 2, below(a->Width() + 10), 1 + below(14)};
        bool meet = false;
        for (int32_t py = std::max(0, within.Top); py < std::min(a->Height(), within.Bottom); ++py)
            for (int32_t px = std::max(0, within.Left); px < std::min(a->Width(), within.Right); ++px)
                meet = meet || (a->GetPixel(px, py) != 0 && b->GetPixelS(px - at.X, py - at.Y) != 0);
        ASSERT_EQ(bitsA.Meets(bitsB, at, within), meet) << "at " << at.X << "," << at.Y;
        EXPECT_TRUE(bitsA.Within(bitsA));
    }
}

}  // namespace
