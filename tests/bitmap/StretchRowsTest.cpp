// The vector row loops of nearest and bilinear stretching against the plain
// ones, on random rows and on maps of every shape they meet: enlarging
// (neighbouring pixels, one load), reducing and shuffled (one by one), with
// row ends and tails of every length.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "bitmap/Pix32_StretchRows.h"
#include "support/Pixels.h"

namespace {

std::vector<int32_t> Map(std::mt19937& rng, int32_t count, int32_t width, int shape) {
    std::vector<int32_t> map(static_cast<size_t>(count));
    const double step = shape == 0 ? 0.37 : 2.6;
    for (int32_t k = 0; k < count; ++k)
        map[k] = shape == 2 ? static_cast<int32_t>(rng() % static_cast<uint32_t>(width))
                            : std::min(width - 1, static_cast<int32_t>(k * step) + static_cast<int32_t>(rng() % 2));
    return map;
}

TEST(StretchRows, EveryPathOfTheRowLoopsMatchesThePlainOne) {
    thorn::test::ForEachVectorSet([] {
        std::mt19937 rng(7);
        for (int round = 0; round < 200; ++round) {
            const int32_t width = 1 + static_cast<int32_t>(rng() % 90), count = static_cast<int32_t>(rng() % 70);
            std::vector<TColor32> a(static_cast<size_t>(width)), b(static_cast<size_t>(width));
            for (auto& c : a) c = rng();
            for (auto& c : b) c = rng();
            const int shape = round % 3;
            const std::vector<int32_t> first = Map(rng, count, width, shape);
            std::vector<int32_t> second(first);
            for (auto& s : second) s = std::min(width - 1, s + 1);
            std::vector<uint32_t> weight(static_cast<size_t>(count));
            for (auto& w : weight) w = rng() % 257;
            std::vector<TColor32> fast(static_cast<size_t>(std::max(count, width)) + 1, 0x12345678u), plain(fast);

            thorn::GatherRow(a.data(), width, first.data(), fast.data(), count);
            thorn::GatherRowReference(a.data(), first.data(), plain.data(), count);
            ASSERT_EQ(fast, plain) << "gather, round " << round;

            const uint32_t w = rng() % 257;
            thorn::LerpRow(a.data(), b.data(), w, fast.data(), width);
            thorn::LerpRowReference(a.data(), b.data(), w, plain.data(), width);
            ASSERT_EQ(fast, plain) << "lerp, round " << round;

            thorn::LerpGatherRow(a.data(), width, first.data(), second.data(), weight.data(), fast.data(), count);
            thorn::LerpGatherRowReference(a.data(), first.data(), second.data(), weight.data(), plain.data(), count);
            ASSERT_EQ(fast, plain) << "lerp gather, round " << round;
        }
    });
}

}  // namespace
