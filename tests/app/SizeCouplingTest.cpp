#include <gtest/gtest.h>

#include "app/SizeCoupling.h"

TEST(SizeCoupling, EachEditSetsTheOtherTwoRoundedHalfUp) {
    const auto fromWidth = CoupleFromWidth(100, 640, 480);  // r = 0.15625
    ASSERT_TRUE(fromWidth);
    EXPECT_EQ(fromWidth->Height, 75);  // Trunc(75.5)
    EXPECT_EQ(fromWidth->Scale, 16);   // Trunc(16.125)
    const auto fromScale = CoupleFromScale(50, 641, 481);
    ASSERT_TRUE(fromScale);
    EXPECT_EQ(fromScale->Width, 321);
    EXPECT_EQ(fromScale->Height, 241);
    const auto fromHeight = CoupleFromHeight(240, 640, 480);
    ASSERT_TRUE(fromHeight);
    EXPECT_EQ(fromHeight->Width, 320);
    EXPECT_EQ(fromHeight->Scale, 50);
    EXPECT_FALSE(CoupleFromWidth(0, 640, 480));
}

TEST(SizeCoupling, RoundsTowardZeroAndKeepsHugeSizesInRange) {
    const struct {
        long double value;
        int32_t rounded;
    } cases[] = {{75.5L, 76}, {75.49L, 75}, {-49.5L, -49}, {-0.6L, 0}, {-1.5L, -1},
                 {2e11L, INT32_MAX}, {-2e11L, INT32_MIN}};
    for (const auto& c : cases) EXPECT_EQ(RoundHalfUp(c.value), c.rounded) << static_cast<double>(c.value);
    const auto huge = CoupleFromWidth(2000000000, 1, 1);
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->Height, 2000000000);
    EXPECT_EQ(huge->Scale, INT32_MAX);
}
