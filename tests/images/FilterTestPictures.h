#pragma once
// Pictures the filter tests share: sizes that hit every edge case of the
// block and window walks, and random pictures with edges and equal lumas.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "platform/Bitmap.h"
#include "support/TestPictures.h"

namespace filter_tests {

// 1 x 1, single rows and columns, sizes below, at and past multiples of 8.
inline const std::vector<std::pair<int, int>>& OddSizes() {
    static const std::vector<std::pair<int, int>> sizes = {
        {1, 1}, {2, 1}, {1, 3}, {2, 2}, {3, 5}, {7, 7}, {8, 8}, {9, 8}, {8, 9},
        {10, 10}, {17, 3}, {1, 33}, {31, 23}, {40, 16}, {57, 41}, {130, 67},
    };
    return sizes;
}

// Flat patches of random colours with random noise on top, so that a
// picture has edges, flat areas and many pixels of equal luma.
inline TBitmap PatchyBitmap(int width, int height, uint32_t seed, int noise = 3) {
    TBitmap bitmap(width, height, pf24bit);
    std::mt19937 random(seed);
    std::vector<uint8_t> patch(27);
    for (auto& v : patch) v = static_cast<uint8_t>(random());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int p = ((x / 5) * 7 + (y / 4) * 3) % 9;
            uint8_t* px = bitmap.ScanLine(y) + 3 * x;
            for (int c = 0; c < 3; ++c) {
                const int v = patch[size_t(3 * p + c)] + int(random() % unsigned(2 * noise + 1)) - noise;
                px[c] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
            }
        }
    return bitmap;
}

inline TBitmap Filled(int width, int height, uint8_t r, uint8_t g, uint8_t b, TPixelFormat format = pf24bit) {
    TBitmap bitmap(width, height, format);
    bitmap.FillRect(Rect(0, 0, width, height), RGBColor(r, g, b));
    return bitmap;
}

// Whole pictures compared: size, format and the meaningful bytes.
inline void ExpectSamePicture(const TBitmap& actual, const TBitmap& expected) {
    ASSERT_EQ(actual.Width(), expected.Width());
    ASSERT_EQ(actual.Height(), expected.Height());
    ASSERT_EQ(actual.PixelFormat(), expected.PixelFormat());
    const auto a = testing_support::PixelBytes(actual), e = testing_support::PixelBytes(expected);
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != e[i]) {
            FAIL() << "first difference at byte " << i << ": " << int(a[i]) << " instead of " << int(e[i]);
        }
}

}  // namespace filter_tests
