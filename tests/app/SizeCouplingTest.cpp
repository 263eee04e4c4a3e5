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
