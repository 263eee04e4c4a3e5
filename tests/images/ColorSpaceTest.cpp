#include <gtest/gtest.h>

#include "images/Effector/ColorSpace.h"
#include "support/TestPictures.h"

TEST(ColourPresence, ListsColoursGreenThenRedThenBlue) {
    TColourPresence presence;
    presence.Add(255, 0, 0);
    presence.Add(0, 255, 0);
    presence.Add(0, 0, 255);
    presence.Add(0, 0, 7);
    presence.Add(0, 0, 7);
    presence.Add(9, 0, 7);
    EXPECT_EQ(presence.Count(), 5);
    EXPECT_TRUE(presence.Contains(9, 0, 7));
    EXPECT_FALSE(presence.Contains(7, 0, 9));
    const TPalette expected = {{0, 0, 7, 0}, {0, 0, 255, 0}, {9, 0, 7, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}};
    EXPECT_EQ(presence.GreenRedBlueOrder(), expected);
}

TEST(CountColours, CountsDistinctColoursOfAnyFormatWithoutChangingIt) {
    TBitmap picture(16, 16, pf24bit);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) picture.SetPixel(x, y, RGBColor(uint8_t(x * 16), uint8_t(y), uint8_t(x & 1)));
    EXPECT_EQ(CountColours(picture), 256);
    picture.SetPixel(3, 3, RGBColor(1, 2, 3));
    picture.SetPixel(4, 4, RGBColor(1, 2, 3));
    EXPECT_EQ(CountColours(picture), 255);

    picture.SetPixelFormat(pf32bit);
    const auto before = testing_support::PixelBytes(picture);
    EXPECT_EQ(CountColours(picture), 255);
    EXPECT_EQ(picture.PixelFormat(), pf32bit);
    EXPECT_EQ(testing_support::PixelBytes(picture), before);

    EXPECT_EQ(CountColours(TBitmap(0, 0)), 0);
    TBitmap mono(9, 3, pf1bit);  // black and white by its standard palette
    mono.SetPixel(0, 0, clWhite);
    EXPECT_EQ(CountColours(mono), 2);
}
