#include <gtest/gtest.h>

#include <cmath>

#include "controls/Rmlibrary_Numbers.h"

namespace {

TEST(RmlibraryNumbers, RangesAndExtremes) {
    EXPECT_TRUE(IntInRange(5, 5, 5));
    EXPECT_FALSE(IntInRange(4, 5, 9));
    EXPECT_TRUE(CompInRange(int64_t{1} << 40, 0, int64_t{1} << 41));
    EXPECT_FALSE(CompInRange(-1, 0, 1));
    EXPECT_EQ(GreaterThanInt(-3, 2), 2);
    EXPECT_EQ(LessThanInt(-3, 2), -3);
    EXPECT_EQ(GreaterThanFloat(1.5, -1.5), 1.5);
    EXPECT_EQ(LessThanFloat(1.5, -1.5), -1.5);
    // Equal values: the first argument, which tells apart the two zeros.
    EXPECT_TRUE(std::signbit(GreaterThanFloat(-0.0, 0.0)));
    EXPECT_TRUE(std::signbit(LessThanFloat(-0.0, 0.0)));
}

TEST(RmlibraryNumbers, RectDiameter) {
    struct Case {
        TRect rect;
        int32_t diameter;
    } const cases[] = {
        {{0, 0, 4, 3}, 7},     {{10, 20, 13, 24}, 7}, {{0, 0, 1, 1}, 3},  // 1.414 rounds to 1
        {{0, 0, 0, 5}, 0},     {{0, 0, 5, 0}, 0},     {{0, 0, 100, 100}, 143},
        {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 0},
    };
    for (const auto& [rect, diameter] : cases) EXPECT_EQ(RectDiameter(rect), diameter) << rect.Right;
}

}  // namespace
