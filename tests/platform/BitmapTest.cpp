#include <gtest/gtest.h>

#include <cstring>

#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "support/TestPictures.h"

using testing_support::Colours;
using testing_support::RandomBitmap;

TEST(Bitmap, RowsArePaddedToFourBytesInEveryFormat) {
    const struct {
        TPixelFormat format;
        int width;
        ptrdiff_t stride;
    } cases[] = {{pf1bit, 1, 4},   {pf1bit, 33, 8},  {pf4bit, 9, 8},   {pf8bit, 5, 8},   {pf15bit, 3, 8},
                 {pf16bit, 2, 4},  {pf24bit, 1, 4},  {pf24bit, 5, 16}, {pf32bit, 3, 12}, {pfDevice, 1, 4}};
    for (const auto& c : cases) {
        TBitmap bitmap(c.width, 2, c.format);
        EXPECT_EQ(bitmap.RowStride(), c.stride) << c.format << " " << c.width;
        EXPECT_EQ(bitmap.ScanLine(1) - bitmap.ScanLine(0), c.stride);
    }
}

TEST(Bitmap, ResizingKeepsTheTopLeftAreaAndZeroesTheRest) {
    TBitmap bitmap = RandomBitmap(5, 4, 1);
    const TBitmap original = bitmap;
    bitmap.SetSize(7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(bitmap.Pixel(x, y), x < 5 ? original.Pixel(x, y) : clBlack) << x << "," << y;

    // A partial byte of a 1-bit row keeps only the bits of kept pixels.
    TBitmap mono(8, 1, pf1bit);
    mono.ScanLine(0)[0] = 0xFF;
    mono.SetSize(3, 1);
    mono.SetSize(8, 1);
    EXPECT_EQ(mono.ScanLine(0)[0], 0xE0);
}

TEST(Bitmap, CopiesShareNothing) {
    TBitmap a = RandomBitmap(3, 3, 2);
    TBitmap b;
    b.Assign(a);
    b.ScanLine(0)[0] ^= 0xFF;
    EXPECT_NE(a.ScanLine(0)[0], b.ScanLine(0)[0]);
}

TEST(Bitmap, PixelFormatConversions) {
    TBitmap colour(4, 1, pf24bit);
    colour.SetPixel(0, 0, RGBColor(255, 0, 0));
    colour.SetPixel(1, 0, RGBColor(10, 250, 12));
    colour.SetPixel(2, 0, RGBColor(255, 255, 255));
    colour.SetPixel(3, 0, RGBColor(0x9F, 0x47, 0x23));

    TBitmap c15 = colour;  // five bits a channel, expanded by shifting
    c15.SetPixelFormat(pf15bit);
    c15.SetPixelFormat(pf24bit);
    EXPECT_EQ(c15.Pixel(3, 0), RGBColor(0x98, 0x40, 0x20));
    TBitmap c16 = colour;
    c16.SetPixelFormat(pf16bit);
    EXPECT_EQ(c16.Pixel(3, 0), RGBColor(0x98, 0x44, 0x20));

    TBitmap mono = colour;  // no palette: black and white
    mono.SetPixelFormat(pf1bit);
    EXPECT_EQ(Colours(mono), (std::vector<TColor>{clBlack, clBlack, clWhite, clBlack}));

    TBitmap indexed = colour;  // an own palette is used as it is
    indexed.SetPalette({{0, 0, 0, 0}, {250, 0, 0, 0}, {0, 200, 0, 0}});
    indexed.SetPixelFormat(pf8bit);
    EXPECT_EQ(indexed.PixelIndex(0, 0), 1);
    EXPECT_EQ(indexed.PixelIndex(1, 0), 2);
    indexed.SetPixelFormat(pf4bit);  // indices survive between indexed formats
    EXPECT_EQ(indexed.PixelIndex(1, 0), 2);
    indexed.SetPixelFormat(pf24bit);
    EXPECT_EQ(indexed.Pixel(0, 0), RGBColor(250, 0, 0));
    EXPECT_TRUE(indexed.PaletteEntries().empty());

    TBitmap quad = RandomBitmap(3, 2, 3, pf32bit);
    TBitmap expected = quad;
    quad.SetPixelFormat(pf24bit);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c) EXPECT_EQ(quad.ScanLine(y)[3 * x + c], expected.ScanLine(y)[4 * x + c]);
    quad.SetPixelFormat(pf32bit);
    EXPECT_EQ(quad.ScanLine(1)[3], 0);
}

TEST(Bitmap, PixelBuffersAboveTheCapAreRefused) {
    TPixelBytesCap cap(1 << 20);
    TBitmap bitmap;
    EXPECT_THROW(bitmap.SetSize(1024, 1024), EOutOfMemory);  // 3 MiB of 24-bit pixels
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_THROW(TBitmap(0x7FFFFFFF, 0x7FFFFFFF), EOutOfMemory);
    EXPECT_NO_THROW(bitmap.SetSize(512, 512));
}

TEST(Bitmap, DrawingCombinesClipsAndStretches) {
    TBitmap canvas(4, 2, pf24bit);
    canvas.FillRect(Rect(0, 0, 4, 2), RGBColor(0xF0, 0x0F, 0xFF));
    TBitmap mask(2, 1, pf24bit);
    mask.FillRect(Rect(0, 0, 2, 1), RGBColor(0x3C, 0xFF, 0x00));
    canvas.Draw(3, 0, mask, TRasterOp::And);  // one pixel inside, one clipped
    EXPECT_EQ(canvas.Pixel(3, 0), RGBColor(0x30, 0x0F, 0x00));
    EXPECT_EQ(canvas.Pixel(2, 0), RGBColor(0xF0, 0x0F, 0xFF));
    canvas.Draw(0, 1, mask, TRasterOp::Or);
    EXPECT_EQ(canvas.Pixel(0, 1), RGBColor(0xFC, 0xFF, 0xFF));

    // One column stretched over three repeats it.
    TBitmap column(1, 2, pf8bit);
    column.SetPalette(GreyRampPalette());
    column.ScanLine(0)[0] = 9;
    column.ScanLine(1)[0] = 200;
    TBitmap wide(3, 2, pf24bit);
    wide.StretchDraw(Rect(0, 0, 3, 2), column);
    EXPECT_EQ(Colours(wide), (std::vector<TColor>{RGBColor(9, 9, 9), RGBColor(9, 9, 9), RGBColor(9, 9, 9),
                                                 RGBColor(200, 200, 200), RGBColor(200, 200, 200),
                                                 RGBColor(200, 200, 200)}));
}

TEST(Bitmap, DrawingOnIndexedPicturesChangesOnlyTheTargetRectangle) {
    // Every pixel holds the highest index: for 1 bit a duplicate of entry 0,
    // for 4 and 8 bits an index past the palette. Re-encoding any of them
    // through its colour would give another index.
    const TRect target = Rect(3, 1, 6, 2);
    TBitmap white(2, 2);
    white.FillRect(Rect(0, 0, 2, 2), clWhite);
    const struct {
        const char* name;
        void (*draw)(TBitmap& canvas, const TRect& rect, const TBitmap& source);
    } operations[] = {
        {"FillRect", [](TBitmap& c, const TRect& r, const TBitmap&) { c.FillRect(r, clWhite); }},
        {"CopyRect", [](TBitmap& c, const TRect& r, const TBitmap& s) { c.CopyRect(r, s, Rect(0, 0, 1, 1)); }},
        {"Draw", [](TBitmap& c, const TRect& r, const TBitmap&) {
             TBitmap piece(r.Width(), r.Height());
             piece.FillRect(Rect(0, 0, r.Width(), r.Height()), clWhite);
             c.Draw(r.Left, r.Top, piece);
         }},
        {"StretchDraw", [](TBitmap& c, const TRect& r, const TBitmap& s) { c.StretchDraw(r, s); }},
    };
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit}) {
        const unsigned highest = (1u << TBitmap::BitsPerPixel(format)) - 1;
        for (const auto& operation : operations) {
            SCOPED_TRACE(std::string(operation.name) + " " + std::to_string(format));
            TBitmap canvas(10, 3, format);
            canvas.SetPalette({{0, 0, 0, 0}, {0, 0, 0, 0}});
            for (int y = 0; y < 3; ++y) std::memset(canvas.ScanLine(y), 0xFF, size_t(canvas.RowStride()));
            operation.draw(canvas, target, white);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 10; ++x) {
                    const bool inside = x >= target.Left && x < target.Right && y >= target.Top && y < target.Bottom;
                    if (!inside) EXPECT_EQ(canvas.PixelIndex(x, y), highest) << x << "," << y;
                    else EXPECT_LT(canvas.PixelIndex(x, y), 2u) << x << "," << y;
                }
        }
    }
    // One format and palette on both sides: the indices themselves move.
    TBitmap source(2, 1, pf8bit), canvas(2, 1, pf8bit);
    source.SetPalette({{9, 9, 9, 0}, {9, 9, 9, 0}});
    canvas.SetPalette(source.Palette());
    source.ScanLine(0)[0] = 1;
    source.ScanLine(0)[1] = 0;
    canvas.Draw(0, 0, source);
    EXPECT_EQ(canvas.PixelIndex(0, 0), 1);
    EXPECT_EQ(canvas.PixelIndex(1, 0), 0);
}
