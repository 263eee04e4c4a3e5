#include <gtest/gtest.h>

#include "app/TestCard.h"

TEST(TestCard, ZonePlateValues) {
    const TBitmap plate = MakeZonePlate();
    ASSERT_EQ(plate.Width(), 512);
    ASSERT_EQ(plate.Height(), 512);
    ASSERT_EQ(plate.PixelFormat(), pf24bit);
    // Centre: sin 0 = 0 -> 128. (257, 256): sin(pi / 512) * 128 = 0.785 -> 129.
    // (256 + 16, 256): sin(pi / 2) -> 256, clamped to 255.
    EXPECT_EQ(plate.Pixel(256, 256), RGBColor(128, 128, 128));
    EXPECT_EQ(plate.Pixel(257, 256), RGBColor(129, 129, 129));
    EXPECT_EQ(plate.Pixel(272, 256), RGBColor(255, 255, 255));
    // (256 + 27, 256): sin(729 pi / 512) * 128 = -124.34 -> 4.
    EXPECT_EQ(plate.Pixel(283, 256), RGBColor(4, 4, 4));
    EXPECT_EQ(plate.Pixel(256, 283), RGBColor(4, 4, 4));
}
