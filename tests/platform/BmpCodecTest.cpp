#include <gtest/gtest.h>

#include "platform/BmpCodec.h"
#include "platform/Exceptions.h"
#include "platform/PlatformGraphics.h"
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

// An info-header DIB of width x height (height doubled when it is an
// icon's), with a 16-entry (RLE4) or 256-entry (RLE8) grey palette, and the
// given codes as its pixels.
std::vector<uint8_t> RleDib(int width, int height, uint32_t compression, const std::vector<uint8_t>& codes) {
    const size_t colours = compression == BI_RLE4 ? 16 : 256;
    std::vector<uint8_t> dib(40 + colours * 4, 0);
    Put32(dib, 0, 40);
    Put32(dib, 4, uint32_t(width));
    Put32(dib, 8, uint32_t(height));
    dib[12] = 1;
    dib[14] = compression == BI_RLE4 ? 4 : 8;
    Put32(dib, 16, compression);
    dib.insert(dib.end(), codes.begin(), codes.end());
    return dib;
}

// codes repeated n times.
std::vector<uint8_t> Repeat(std::initializer_list<uint8_t> codes, size_t n) {
    std::vector<uint8_t> out(codes.size() * n);
    for (size_t i = 0; i < out.size(); ++i) out[i] = codes.begin()[i % codes.size()];
    return out;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// Row y (top row 0) of an indexed picture as indices.
std::vector<int> Indices(const TBitmap& bitmap, int y) {
    std::vector<int> row;
    for (int x = 0; x < bitmap.Width(); ++x) row.push_back(bitmap.PixelIndex(x, y));
    return row;
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

// Enough 255-pixel steps to carry a column counter past 2^31 and back into
// the picture from below, where the writes would land before the rows.
constexpr size_t kWrappingSteps = (size_t{1} << 31) / 255 + 1;

TEST(BmpCodec, RunLengthCodesNeverLeaveTheirRow) {
    const struct {
        const char* name;
        uint32_t compression;
        std::vector<uint8_t> codes;
        std::vector<int> bottom, top;
    } cases[] = {
        // Runs without an end of line: only the first fills the row.
        {"RLE8 runs", BI_RLE8, Concat({Repeat({255, 7}, kWrappingSteps), {2, 9}, {0, 0, 2, 5, 0, 1}}),
         {7, 7, 7}, {5, 5, 0}},
        // Deltas to the right stop at the row's end; the run after them is dropped.
        {"RLE8 deltas", BI_RLE8, Concat({{1, 3}, Repeat({0, 2, 255, 0}, kWrappingSteps), {2, 9, 0, 0, 1, 4, 0, 1}}),
         {3, 0, 0}, {4, 0, 0}},
        {"RLE4 runs", BI_RLE4, Concat({Repeat({255, 0x12}, kWrappingSteps), {0, 0, 3, 0x34, 0, 1}}),
         {1, 2, 1}, {3, 4, 3}},
        {"RLE4 absolute run past the end", BI_RLE4, {0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 1, 0xF0, 0, 1},
         {1, 2, 3}, {15, 0, 0}},
        // A delta below the last row ends the picture, with no end code needed.
        {"RLE8 delta past the picture", BI_RLE8, {1, 6, 0, 2, 1, 200}, {6, 0, 0}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> dib = RleDib(3, 2, c.compression, c.codes);
        const TBitmap bitmap = ReadDib(dib.data(), dib.size());
        EXPECT_EQ(Indices(bitmap, 1), c.bottom);
        EXPECT_EQ(Indices(bitmap, 0), c.top);
    }
}

TEST(BmpCodec, AnIconsRunLengthImageStaysInItsRows) {
    // The stored height covers the mask too; the codes run on into it.
    const std::vector<uint8_t> dib =
        RleDib(2, 4, BI_RLE8, Concat({{2, 1, 0, 0, 2, 2, 0, 0}, Repeat({255, 3}, kWrappingSteps), {0, 1}}));
    std::vector<uint8_t> file = {0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 8, 0};
    file.resize(22, 0);
    Put32(file, 14, uint32_t(dib.size()));
    Put32(file, 18, 22);
    file.insert(file.end(), dib.begin(), dib.end());
    TMemoryStream stream(file);
    TIcon icon;
    icon.LoadFromStream(stream);
    TBitmap bitmap;
    bitmap.Assign(icon);
    ASSERT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(Indices(bitmap, 1), (std::vector<int>{1, 1}));
    EXPECT_EQ(Indices(bitmap, 0), (std::vector<int>{2, 2}));
}

TEST(BmpCodec, EmptyOrImplausibleRunLengthPicturesAreRefused) {
    const struct {
        const char* name;
        int width, height;
        uint32_t compression;
    } cases[] = {
        {"no columns", 0, 5, BI_RGB},
        {"no rows", 5, 0, BI_RLE8},
        // 1 GiB of pixels from one end-of-bitmap code.
        {"huge run-length header", 32768, 32767, BI_RLE8},
        {"huge four-bit header", 65535, 32767, BI_RLE4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> dib = RleDib(c.width, c.height, c.compression, {0, 1});
        EXPECT_THROW(ReadDib(dib.data(), dib.size()), EInvalidGraphic);
    }
    // Below the bound, a picture may leave itself to the end code.
    const std::vector<uint8_t> small = RleDib(1000, 1000, BI_RLE8, {0, 1});
    EXPECT_EQ(ReadDib(small.data(), small.size()).Width(), 1000);
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
