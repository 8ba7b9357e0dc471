// Every vector path of the resampler's passes against the plain per-channel
// ones, on random pictures and random clusters (negative weights included).
#include <gtest/gtest.h>

#include <random>

#include "bitmap/Pix32_ResampleRows.h"
#include "support/Pixels.h"

namespace {

TEST(ResampleRows, EveryPathMatchesThePlainPasses) {
    thorn::test::ForEachVectorSet([] {
        std::mt19937 rng(23);
        TBitmap32 src;
        src.SetSize(61, 17);
        for (int32_t i = 0; i < 61 * 17; ++i) src.Bits()[i] = rng();
        for (int round = 0; round < 300; ++round) {
            int32_t lo = static_cast<int32_t>(rng() % 20);
            int32_t columns = 1 + static_cast<int32_t>(rng() % (61 - lo));
            std::vector<TMappingEntry> cluster(1 + rng() % 9);
            for (auto& e : cluster) e = {static_cast<int32_t>(rng() % 17), static_cast<int32_t>(rng() % 700) - 200};
            thorn::ResampleRows fast(columns), plain(columns);
            fast.Vertical(src, lo, cluster);
            plain.VerticalReference(src, lo, cluster);
            ASSERT_TRUE(std::equal(fast.Cells().begin(), fast.Cells().end(), plain.Cells().begin())) << round;

            TMappingTable mapX(1 + rng() % 12);
            for (auto& c : mapX) {
                c.resize(1 + rng() % 7);
                for (auto& e : c) e = {lo + static_cast<int32_t>(rng() % columns), static_cast<int32_t>(rng() % 400) - 80};
            }
            for (bool clamp : {false, true}) {
                std::vector<TColor32> a(mapX.size()), b(mapX.size());
                fast.Horizontal(lo, mapX, clamp, a.data());
                plain.HorizontalReference(lo, mapX, clamp, b.data());
                ASSERT_EQ(a, b) << round;
            }
        }
    });
}

}  // namespace
