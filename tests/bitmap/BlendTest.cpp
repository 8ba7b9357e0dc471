// The blend arithmetic against the per-channel formula, and every vector
// path of the blended runs against the plain per-pixel ones.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bitmap/Pix32_Blend.h"
#include "support/Pixels.h"

namespace {

using thorn::test::ExpectedMix;

TEST(Blend, WorkedExamples) {
    TColor32 b = 0xFF102030u;
    BlendMem(0xFF123456u, b);
    EXPECT_EQ(b, 0xFF123456u);
    b = 0xFF102030u;
    BlendMem(0x00123456u, b);
    EXPECT_EQ(b, 0xFF102030u);

    b = 0xFF000000u;
    BlendMemEx(0xFFFFFFFFu, b, 255);  // weight 255 mixes, it does not copy
    EXPECT_EQ(b, 0xFFFEFEFEu);

    EXPECT_EQ(CombineReg(0xFF000000u, 0xFFFFFFFFu, 128), 0xFF808080u);
    EXPECT_EQ(BlendRegEx(0x01FFFFFFu, 0xFF000000u, 255), ExpectedMix(0x01FFFFFFu, 0xFF000000u, 1));
    EXPECT_EQ(BlendRegEx(0x01FFFFFFu, 0xFF000000u, 0), 0xFF000000u);

    EXPECT_EQ(ColorSub(0x10203040u, 0x20202020u), 0x00001020u);
    EXPECT_EQ(Lighten(0x80102030u, -32), 0x80000010u);
    EXPECT_EQ(Lighten(0x80F01020u, 32), 0x80FF3040u);
    EXPECT_EQ(ColorAdd(0x80F01020u, 0x90203040u), 0xFFFF4060u);
    EXPECT_EQ(ColorModulate(0xFF808080u, 0x80FF4000u), 0x7F7F2000u);
    EXPECT_EQ(ColorMax(0x10F02030u, 0x2010F000u), 0x20F0F030u);
    EXPECT_EQ(ColorMin(0x10F02030u, 0x2010F000u), 0x10102000u);
}

TEST(Blend, EntryPointsFollowTheFormula) {
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        TColor32 f = rng(), b = rng();
        uint32_t w = rng() & 255, m = rng() & 255, fa = f >> 24;
        EXPECT_EQ(CombineReg(f, b, w), ExpectedMix(f, b, w));
        TColor32 mem = b;
        CombineMem(f, mem, w);
        EXPECT_EQ(mem, w == 0 ? b : w == 255 ? f : ExpectedMix(f, b, w));
        EXPECT_EQ(BlendReg(f, b), ExpectedMix(f, b, fa));
        mem = b;
        BlendMem(f, mem);
        EXPECT_EQ(mem, fa == 0 ? b : fa == 255 ? f : ExpectedMix(f, b, fa));
        uint32_t weight = ((m + 1) * fa) >> 8;
        EXPECT_EQ(BlendRegEx(f, b, m), weight == 0 ? b : ExpectedMix(f, b, weight));
        mem = b;
        BlendMemEx(f, mem, m);
        EXPECT_EQ(mem, weight == 0 ? b : ExpectedMix(f, b, weight));
    }
}

TEST(Blend, WeightsAndMasterAlphaAbove255AreTakenAs255) {
    EXPECT_EQ(CombineReg(0xFF000000u, 0xFFFFFFFFu, 100000), CombineReg(0xFF000000u, 0xFFFFFFFFu, 255));
    TColor32 a = 0x80102030u, b = a;
    BlendMemEx(0x80FFFFFFu, a, 4096);
    BlendMemEx(0x80FFFFFFu, b, 255);
    EXPECT_EQ(a, b);
    TColor32 c = 0xFF000000u;
    CombineMem(0x12345678u, c, 999);
    EXPECT_EQ(c, 0x12345678u);
}

// Runs of every length up to a few vector widths, with plenty of the special
// alphas and runs of them, beside untouched guard pixels.
TEST(Blend, EveryPathOfTheRunsMatchesThePlainOne) {
    thorn::test::ForEachVectorSet([] {
        std::mt19937 rng(11);
        for (int round = 0; round < 200; ++round) {
            // Every 13th run long, for the pass over transparent stretches.
            const int32_t count = static_cast<int32_t>(round % 13 == 0 ? 32 + rng() % 48 : rng() % 40);
            std::vector<TColor32> src(count + 2), dst(count + 2);
            for (int32_t i = 0; i < count + 2; ++i) {
                src[i] = rng();
                dst[i] = rng();
                if (rng() % 5 == 0) src[i] |= 0xFF000000u;
                if (rng() % 5 == 0) src[i] &= 0x00FFFFFFu;
            }
            if (round % 7 == 0) for (auto& s : src) s |= 0xFF000000u;
            if (round % 11 == 0) for (auto& s : src) s &= 0x00FFFFFFu;
            // Long transparent runs broken by one visible pixel, as an overlay's.
            if (round % 13 == 0) {
                for (auto& s : src) s &= 0x00FFFFFFu;
                src[1 + rng() % count] |= 0x80000000u;
            }
            const uint32_t m = round % 3 == 0 ? 255 : rng() & 255;
            std::vector<TColor32> fast = dst, plain = dst;
            BlendLine(src.data() + 1, fast.data() + 1, count);
            thorn::blend::BlendLineReference(src.data() + 1, plain.data() + 1, count);
            ASSERT_EQ(fast, plain) << "round " << round;
            fast = dst, plain = dst;
            BlendLineEx(src.data() + 1, fast.data() + 1, count, m);
            thorn::blend::BlendLineExReference(src.data() + 1, plain.data() + 1, count, m);
            ASSERT_EQ(fast, plain) << "round " << round;
        }
        TColor32 src = 0x80FFFFFFu, dst = 0xFF000000u;
        BlendLine(&src, &dst, -5);
        BlendLineEx(&src, &dst, -1, 128);
        EXPECT_EQ(dst, 0xFF000000u);
    });
}

TEST(VectorSets, ALimitKeepsTheWiderSetsOut) {
    using thorn::VectorSet;
    const VectorSet before = thorn::LimitVectorSet(VectorSet::Plain);
    EXPECT_FALSE(thorn::HasSse2() || thorn::HasSse41() || thorn::HasAvx2());
    thorn::LimitVectorSet(VectorSet::Sse41);
    EXPECT_FALSE(thorn::HasAvx2());
    EXPECT_EQ(thorn::HasSse41(), thorn::ProcessorVectorSet() >= VectorSet::Sse41);
    EXPECT_EQ(thorn::LimitVectorSet(before), VectorSet::Sse41);
    EXPECT_EQ(thorn::HasAvx2(), thorn::ProcessorVectorSet() == VectorSet::Avx2);
}

}  // namespace
