#pragma once
// Fixture access for the JPEG tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Streams.h"
#include "save/ZetJPEGImage.h"
#include "support/TestPictures.h"

namespace jpeg_testing {

inline std::string Fixture(const std::string& name) { return testing_support::DataPath("jpeg/" + name); }

// A 24-bit picture from a binary PPM fixture.
inline TBitmap LoadPpm(const std::string& name) {
    int width = 0, height = 0;
    const std::vector<TColor> colours = testing_support::PpmColours(Fixture(name), &width, &height);
    TBitmap picture(width, height, pf24bit);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = picture.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const TColor c = colours[size_t(y) * width + x];
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
    }
    return picture;
}

inline TBitmap LoadBmp(const std::string& name) {
    TBitmap picture;
    picture.LoadFromFile(Fixture(name));
    return picture;
}

inline TBitmap Decoded(const TJPEGImage& jpeg) {
    TBitmap picture;
    picture.Assign(jpeg);
    return picture;
}

inline std::vector<uint8_t> Indices(const TBitmap& picture) {
    std::vector<uint8_t> indices;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) indices.push_back(picture.PixelIndex(x, y));
    return indices;
}

// An 8-bit picture equals djpeg's BMP: the same indices and, entry for
// entry, the same colour map (djpeg pads its map to 256 entries).
inline void ExpectSameIndexedPicture(const TBitmap& actual, const TBitmap& expected) {
    ASSERT_EQ(actual.PixelFormat(), pf8bit);
    ASSERT_EQ(actual.Width(), expected.Width());
    ASSERT_EQ(actual.Height(), expected.Height());
    const TPalette& palette = actual.PaletteEntries();
    ASSERT_LE(palette.size(), expected.PaletteEntries().size());
    for (size_t i = 0; i < palette.size(); ++i) {
        const TPaletteEntry& want = expected.PaletteEntries()[i];
        EXPECT_EQ(palette[i].Red, want.Red) << "entry " << i;
        EXPECT_EQ(palette[i].Green, want.Green) << "entry " << i;
        EXPECT_EQ(palette[i].Blue, want.Blue) << "entry " << i;
    }
    EXPECT_EQ(Indices(actual), Indices(expected));
}

}  // namespace jpeg_testing
