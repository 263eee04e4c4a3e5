#include <gtest/gtest.h>

#include <cstring>

#include "formats/FormatTestSupport.h"
#include "formats/PCDImage.h"
#include "formats/RawImage.h"

namespace {

using namespace formats_test;

TEST(RawImage, KnownSizesGiveTheirLayouts) {
    struct Case {
        size_t Size;
        int Width, Height;
        TPixelFormat Format;
    };
    for (const Case c : {Case{64000, 320, 200, pf8bit}, Case{14720, 115, 32, pf32bit}, Case{5984, 136, 11, pf32bit},
                         Case{3968, 32, 31, pf32bit}}) {
        std::vector<uint8_t> bytes(c.Size);
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + i / 251);
        TRawImage raw;
        LoadInto(raw, bytes);
        ASSERT_EQ(raw.Width(), c.Width) << c.Size;
        ASSERT_EQ(raw.Height(), c.Height);
        ASSERT_EQ(raw.Bitmap().PixelFormat(), c.Format);
        // Top row first, stored as they are.
        const size_t rowBytes = bytes.size() / size_t(c.Height);
        for (int y : {0, c.Height - 1})
            EXPECT_EQ(0, std::memcmp(raw.Bitmap().ScanLine(y), bytes.data() + size_t(y) * rowBytes, rowBytes));
        if (c.Format == pf8bit) {
            EXPECT_EQ(raw.Bitmap().Palette()[200], (TPaletteEntry{200, 200, 200, 0}));
        }
        EXPECT_EQ(Saved(raw), bytes);  // the kept file is what it writes
    }
}

TEST(RawImage, PowersOfTwoFromTheFirstBytesBottomRowFirst) {
    std::vector<uint8_t> bytes = {'5', '4'};
    for (int i = 0; i < 32 * 16 * 3; ++i) bytes.push_back(uint8_t(i / 96));  // stored row r is all r
    ASSERT_EQ(bytes.size(), 1538u);
    TRawImage raw;
    LoadInto(raw, bytes);
    ASSERT_EQ(raw.Width(), 32);
    ASSERT_EQ(raw.Height(), 16);
    EXPECT_EQ(raw.Bitmap().ScanLine(0)[0], 15);  // the last stored row is the top
    EXPECT_EQ(raw.Bitmap().ScanLine(15)[95], 0);
    // Exponents of 0 or below give sides of 1.
    TRawImage tiny;
    LoadInto(tiny, {'0', '!', 1, 2, 3});
    EXPECT_EQ(tiny.Width(), 1);
    EXPECT_EQ(tiny.Height(), 1);
}

TEST(RawImage, OtherSizesAreRefused) {
    for (const std::vector<uint8_t>& bytes :
         {std::vector<uint8_t>(1000, 0), std::vector<uint8_t>{}, std::vector<uint8_t>{'9'},
          std::vector<uint8_t>{'~', '~', 0, 0, 0}, std::vector<uint8_t>(1537, '4')}) {
        TRawImage raw;
        try {
            LoadInto(raw, bytes);
            ADD_FAILURE() << bytes.size();
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "Unsupported RAW format");
        }
    }
}

TEST(PCDImage, PixelConversion) {
    struct Case {
        uint8_t Y, C1, C2;
        uint8_t R, G, B;
    };
    for (const Case c : {Case{0, 156, 137, 0, 0, 0}, Case{188, 156, 137, 255, 255, 255},
                         Case{100, 156, 200, 251, 77, 136}, Case{0, 0, 0, 0, 194, 0}}) {
        uint8_t bgr[3];
        PCDPixelToBGR(c.Y, c.C1, c.C2, bgr);
        EXPECT_EQ(bgr[2], c.R) << int(c.Y) << " " << int(c.C1) << " " << int(c.C2);
        EXPECT_EQ(bgr[1], c.G);
        EXPECT_EQ(bgr[0], c.B);
    }
}

TEST(PCDImage, BaseImageGroupsAndShortFiles) {
    // Group g: luminance lines of value 2g and 2g + 1, chrominance neutral
    // except C2 of the first pixel pair.
    std::vector<uint8_t> bytes(0xB800, 0xEE);
    for (int g = 0; g < 128; ++g) {
        bytes.insert(bytes.end(), 384, uint8_t(2 * g));
        bytes.insert(bytes.end(), 384, uint8_t(2 * g + 1));
        std::vector<uint8_t> chroma(384);
        std::fill(chroma.begin(), chroma.begin() + 192, 156);
        std::fill(chroma.begin() + 192, chroma.end(), 137);
        chroma[192] = 200;
        bytes.insert(bytes.end(), chroma.begin(), chroma.end());
    }
    TPCDImage pcd;
    LoadInto(pcd, bytes);
    ASSERT_EQ(pcd.Width(), 384);
    ASSERT_EQ(pcd.Height(), 256);
    uint8_t expected[3];
    for (int y : {0, 1, 100, 255}) {
        PCDPixelToBGR(uint8_t(y), 156, 137, expected);
        EXPECT_EQ(0, std::memcmp(pcd.Bitmap().ScanLine(y) + 3 * 2, expected, 3)) << y;
        PCDPixelToBGR(uint8_t(y), 156, 200, expected);
        EXPECT_EQ(0, std::memcmp(pcd.Bitmap().ScanLine(y) + 3 * 1, expected, 3)) << y;  // pairs share chroma
    }
    // A short file keeps its size and leaves the missing rows black.
    TPCDImage shortened;
    LoadInto(shortened, Cut(bytes, 0xB800 + 3 * 384 * 10 + 100));
    ASSERT_EQ(shortened.Height(), 256);
    EXPECT_NE(shortened.Bitmap().ScanLine(19)[0], 0);
    EXPECT_EQ(shortened.Bitmap().Pixel(0, 20), 0u);
    EXPECT_EQ(shortened.Bitmap().Pixel(383, 255), 0u);

    TPCDImage empty;
    EXPECT_THROW(LoadInto(empty, {}), EInvalidGraphic);
}

}  // namespace
