#pragma once
// Fixture access for the JPEG save and Exif tests
// (tests/data/make_jpegsave_fixtures.sh).

#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Streams.h"
#include "support/TestPictures.h"

namespace jpegsave_testing {

inline std::string SaveFixture(const std::string& name) { return testing_support::DataPath("jpegsave/" + name); }

inline std::vector<uint8_t> SaveFixtureBytes(const std::string& name) {
    return testing_support::ReadFileBytes(SaveFixture(name));
}

// The 45 x 29 colour picture every encoder reference was made from.
inline TBitmap SourcePicture() {
    int width = 0, height = 0;
    const std::vector<TColor> colours = testing_support::PpmColours(SaveFixture("source.ppm"), &width, &height);
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

// The segment (marker included) of the first APP1 "Exif" in bytes, or
// nothing.
inline std::vector<uint8_t> ExifSegmentOf(const std::vector<uint8_t>& bytes) {
    size_t p = 2;
    while (p + 4 <= bytes.size() && bytes[p] == 0xFF) {
        const size_t length = size_t(bytes[p + 2]) << 8 | bytes[p + 3];
        if (bytes[p + 1] == 0xE1 && p + 8 <= bytes.size() && std::string(bytes.begin() + long(p) + 4, bytes.begin() + long(p) + 8) == "Exif")
            return std::vector<uint8_t>(bytes.begin() + long(p), bytes.begin() + long(std::min(bytes.size(), p + 2 + length)));
        if (bytes[p + 1] == 0xDA) break;
        p += 2 + length;
    }
    return {};
}

}  // namespace jpegsave_testing
