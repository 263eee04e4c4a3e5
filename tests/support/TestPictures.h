#pragma once
// Helpers the test programs share: fixture paths, random pictures and
// pixel comparisons.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Streams.h"

namespace testing_support {

inline std::string DataPath(const std::string& relative) { return std::string(VORLIX_TEST_DATA_DIR) + "/" + relative; }

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    TMemoryStream stream;
    stream.LoadFromFile(path);
    return stream.TakeBytes();
}

// A picture of random bytes (in the given format), reproducible by seed.
inline TBitmap RandomBitmap(int width, int height, uint32_t seed, TPixelFormat format = pf24bit) {
    TBitmap bitmap(width, height, format);
    std::mt19937 random(seed);
    const size_t rowBytes = (size_t(width) * TBitmap::BitsPerPixel(format) + 7) / 8;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(random());
    }
    return bitmap;
}

// The meaningful bytes of every row (padding left out), for comparisons.
inline std::vector<uint8_t> PixelBytes(const TBitmap& bitmap) {
    std::vector<uint8_t> bytes;
    const size_t rowBytes = (size_t(bitmap.Width()) * TBitmap::BitsPerPixel(bitmap.PixelFormat()) + 7) / 8;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* row = bitmap.ScanLine(y);
        bytes.insert(bytes.end(), row, row + rowBytes);
    }
    return bytes;
}

// Colours of every pixel as 0x00BBGGRR, row by row.
inline std::vector<TColor> Colours(const TBitmap& bitmap) {
    std::vector<TColor> colours;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) colours.push_back(bitmap.Pixel(x, y));
    return colours;
}

// Colours of a binary PPM (P6, maxval 255) written by the fixture scripts.
inline std::vector<TColor> PpmColours(const std::string& path, int* width = nullptr, int* height = nullptr) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    size_t at = 0;
    auto number = [&]() {
        while (at < bytes.size() && (bytes[at] < '0' || bytes[at] > '9')) ++at;
        int value = 0;
        while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9') value = value * 10 + (bytes[at++] - '0');
        return value;
    };
    at = 2;
    const int w = number(), h = number();
    number();
    ++at;
    std::vector<TColor> colours;
    for (int i = 0; i < w * h; ++i, at += 3) colours.push_back(RGBColor(bytes[at], bytes[at + 1], bytes[at + 2]));
    if (width) *width = w;
    if (height) *height = h;
    return colours;
}

}  // namespace testing_support
