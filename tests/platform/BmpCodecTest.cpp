#include <gtest/gtest.h>

#include "platform/BmpCodec.h"
#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "support/TestPictures.h"

using namespace testing_support;

namespace {

TBitmap LoadBmp(const std::vector<uint8_t>& bytes) {
    TMemoryStream stream(bytes);
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    return bitmap;
}

std::vector<uint8_t> SaveBmp(const TBitmap& bitmap) {
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return stream.TakeBytes();
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

}  // namespace

TEST(BmpCodec, FilesWrittenByImageMagickLoadWithTheirPixels) {
    const struct {
        const char* file;
        const char* reference;
        TPixelFormat format;
        int greenBits;  // bits a channel keeps in the file (red and blue: 5 when green is 5 or 6)
    } cases[] = {
        {"rgb24.bmp", "picture.ppm", pf24bit, 8}, {"os2core24.bmp", "picture.ppm", pf24bit, 8},
        {"rgba32_v4.bmp", "picture.ppm", pf32bit, 8}, {"rgb565.bmp", "picture.ppm", pf16bit, 6},
        {"rgb555.bmp", "picture.ppm", pf15bit, 5}, {"pal8.bmp", "many.ppm", pf8bit, 8},
        {"rle8.bmp", "many.ppm", pf8bit, 8}, {"pal4.bmp", "eight.ppm", pf4bit, 8},
        {"mono1.bmp", "mono.ppm", pf1bit, 8},
    };
    // ImageMagick scales a channel down by truncation; reading shifts it back.
    auto quantise = [](uint8_t v, int bits) { return uint8_t((v * ((1 << bits) - 1) / 255) << (8 - bits)); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        int width = 0, height = 0;
        std::vector<TColor> expected = PpmColours(DataPath(std::string("bmp/") + c.reference), &width, &height);
        const TBitmap bitmap = LoadBmp(ReadFileBytes(DataPath(std::string("bmp/") + c.file)));
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        ASSERT_EQ(bitmap.Width(), width);
        ASSERT_EQ(bitmap.Height(), height);
        const int redBits = c.greenBits == 8 ? 8 : 5;
        for (TColor& colour : expected)
            colour = RGBColor(quantise(GetRValue(colour), redBits), quantise(GetGValue(colour), c.greenBits),
                              quantise(GetBValue(colour), redBits));
        EXPECT_EQ(Colours(bitmap), expected);
    }
}

TEST(BmpCodec, EveryPixelFormatSurvivesARoundTrip) {
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(format);
        TBitmap bitmap = RandomBitmap(13, 7, 5, format);
        if (TBitmap::IsIndexed(format)) {
            TPalette palette(size_t(1) << TBitmap::BitsPerPixel(format));
            for (size_t i = 0; i < palette.size(); ++i)
                palette[i] = {uint8_t(i * 7), uint8_t(i * 13), uint8_t(255 - i), 0};
            bitmap.SetPalette(palette);
        }
        const TBitmap back = LoadBmp(SaveBmp(bitmap));
        EXPECT_EQ(back.PixelFormat(), format);
        EXPECT_EQ(PixelBytes(back), PixelBytes(bitmap));
        EXPECT_EQ(back.PaletteEntries(), bitmap.PaletteEntries());
    }
}

TEST(BmpCodec, TopDownRowsAndRunLengthFourBit) {
    TBitmap picture = RandomBitmap(3, 2, 7);
    std::vector<uint8_t> bytes = SaveBmp(picture);
    // Flip to a top-down file by hand: negative height, rows swapped.
    Put32(bytes, 14 + 8, uint32_t(-2));
    std::vector<uint8_t> flipped(bytes.begin(), bytes.begin() + 54);
    flipped.insert(flipped.end(), bytes.begin() + 54 + 12, bytes.end());
    flipped.insert(flipped.end(), bytes.begin() + 54, bytes.begin() + 54 + 12);
    EXPECT_EQ(PixelBytes(LoadBmp(flipped)), PixelBytes(picture));

    // RLE4: a run of 5 pixels alternating 1 and 2, end of line, absolute run
    // of 3 pixels 3 4 5, end of bitmap. Rows are stored bottom-up.
    std::vector<uint8_t> rle(14 + 40 + 16 * 4, 0);
    rle[0] = 'B';
    rle[1] = 'M';
    Put32(rle, 10, 14 + 40 + 64);
    Put32(rle, 14, 40);
    Put32(rle, 18, 5);
    Put32(rle, 22, 2);
    rle[26] = 1;
    rle[28] = 4;
    Put32(rle, 30, BI_RLE4);
    for (int i = 0; i < 16; ++i) rle[54 + 4 * size_t(i)] = uint8_t(i * 16);
    const uint8_t data[] = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1};
    rle.insert(rle.end(), std::begin(data), std::end(data));
    const TBitmap decoded = LoadBmp(rle);
    ASSERT_EQ(decoded.PixelFormat(), pf4bit);
    const int bottom[5] = {1, 2, 1, 2, 1}, top[5] = {3, 4, 5, 0, 0};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(decoded.PixelIndex(x, 1), bottom[x]);
        EXPECT_EQ(decoded.PixelIndex(x, 0), top[x]);
    }
}

TEST(BmpCodec, HostileFilesGiveOneClearError) {
    const std::vector<uint8_t> good = ReadFileBytes(DataPath("bmp/pal8.bmp"));
    // Every truncation either fails cleanly or (past the pixels) loads.
    for (size_t length = 0; length < good.size(); ++length) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(length));
        try {
            LoadBmp(cut);
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "Bitmap image is not valid");
        } catch (const EReadError&) {
        }
    }
    const std::vector<uint8_t> rle = ReadFileBytes(DataPath("bmp/rle8.bmp"));
    // Only the end-of-bitmap mark may be missing: the last line's end already
    // completes the picture.
    for (size_t length = 1078; length < rle.size() - 2; ++length) {
        std::vector<uint8_t> cut(rle.begin(), rle.begin() + static_cast<ptrdiff_t>(length));
        EXPECT_THROW(LoadBmp(cut), EInvalidGraphic) << length;
    }

    std::vector<uint8_t> huge = ReadFileBytes(DataPath("bmp/rgb24.bmp"));
    Put32(huge, 18, 100000);
    Put32(huge, 22, 100000);
    EXPECT_THROW(LoadBmp(huge), EInvalidGraphic);  // rows not in the file: refused before allocating
    std::vector<uint8_t> badSignature = good;
    badSignature[0] = 'X';
    EXPECT_THROW(LoadBmp(badSignature), EInvalidGraphic);
    std::vector<uint8_t> badDepth = good;
    badDepth[28] = 7;
    EXPECT_THROW(LoadBmp(badDepth), EInvalidGraphic);
    std::vector<uint8_t> badHeader = good;
    Put32(badHeader, 14, 0xFFFFFFF0u);
    EXPECT_THROW(LoadBmp(badHeader), EInvalidGraphic);
}
