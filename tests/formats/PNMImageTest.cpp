#include <gtest/gtest.h>

#include <chrono>

#include "formats/PNMImage.h"
#include "platform/Palettes.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

std::unique_ptr<TPNMImage> LoadPnm(const std::vector<uint8_t>& bytes) {
    auto pnm = std::make_unique<TPNMImage>();
    LoadInto(*pnm, bytes);
    return pnm;
}

std::unique_ptr<TPNMImage> LoadPnm(const std::string& text) { return LoadPnm(Bytes(text)); }

std::vector<uint8_t> WritePnm(const TBitmap& picture, const std::string& format) {
    TPNMImage pnm;
    pnm.Assign(picture);
    pnm.SetOutputFormat(format);
    return Saved(pnm);
}

std::string ErrorOf(const std::string& text) {
    try {
        LoadPnm(text);
    } catch (const Exception& e) {
        return e.what();
    }
    return "loaded";
}

const TPalette kBlackOnWhite = {{255, 255, 255, 0}, {0, 0, 0, 0}};

}  // namespace

TEST(PNMImage, FilesWrittenByOtherToolsLoadWithTheirPixels) {
    const struct {
        const char* file;
        TPixelFormat format;
    } cases[] = {
        {"pnm_p1.pbm", pf1bit},     {"pnm_p1_im.pbm", pf1bit},  {"pnm_p4.pbm", pf1bit},
        {"pnm_p2.pgm", pf8bit},     {"pnm_p2_im.pgm", pf8bit},  {"pnm_p5.pgm", pf8bit},
        {"pnm_p3.ppm", pf24bit},    {"pnm_p3_im.ppm", pf24bit}, {"pnm_p6.ppm", pf24bit},
        {"pnm_p5_16.pgm", pf8bit},  {"pnm_p6_16.ppm", pf24bit}, {"pnm_p3_16.ppm", pf24bit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string stem = std::string(c.file).substr(0, std::string(c.file).size() - 4);
        int width = 0, height = 0;
        const std::vector<TColor> expected = Reference(stem, &width, &height);
        const auto pnm = LoadPnm(Fixture(c.file));
        const TBitmap& picture = pnm->Bitmap();
        EXPECT_EQ(picture.PixelFormat(), c.format);
        ASSERT_EQ(picture.Width(), width);
        ASSERT_EQ(picture.Height(), height);
        EXPECT_EQ(Colours(picture), expected);
        const TPalette expectedPalette =
            c.format == pf1bit ? kBlackOnWhite : c.format == pf8bit ? GreyRampPalette() : TPalette();
        EXPECT_EQ(picture.PaletteEntries(), expectedPalette);
        EXPECT_EQ(pnm->BitDepth(), TBitmap::BitsPerPixel(c.format));
        EXPECT_EQ(pnm->Magic().substr(0, 1), "P");
    }
}

TEST(PNMImage, HeaderAndRasterRules) {
    const struct {
        const char* name;
        std::string file;
        std::vector<TColor> expected;
    } cases[] = {
        {"binary colour", std::string("P6\n2 1\n255\n\xFF\0\0\0\0\xFF", 17),
         {RGBColor(255, 0, 0), RGBColor(0, 0, 255)}},
        {"comments between the numbers", "P2\n3 #one\n# two\n\t1 # three\r255\n1 2 3",
         {RGBColor(1, 1, 1), RGBColor(2, 2, 2), RGBColor(3, 3, 3)}},
        {"maximum value 15 leaves samples unscaled", "P2 2 1 15 15 7", {RGBColor(15, 15, 15), RGBColor(7, 7, 7)}},
        {"ASCII samples are taken modulo 256", "P3 1 1 255 300 256 511", {RGBColor(44, 0, 255)}},
        {"non-digits between ASCII samples are skipped, missing ones are 0", "P3 2 1 255 x10,y20;;30 40",
         {RGBColor(10, 20, 30), RGBColor(40, 0, 0)}},
        {"16-bit ASCII samples are scaled", "P2 3 1 1000 1000 500 2000",
         {RGBColor(255, 255, 255), RGBColor(128, 128, 128), RGBColor(255, 255, 255)}},
        {"16-bit binary samples are scaled", std::string("P5 2 1 65535\n\xFF\xFF\x80\x00", 17),
         {RGBColor(255, 255, 255), RGBColor(128, 128, 128)}},
        {"a P1 raster cut short is black", "P1 3 2 0 1 # 0 0",
         {clWhite, clBlack, clWhite, clWhite, clBlack, clBlack}},
        {"P1 digits need no separators", "P1 4 1 0101", {clWhite, clBlack, clWhite, clBlack}},
        {"binary rows cut short leave the rest unfilled", std::string("P5 3 2 255\n\x09\x08\x07\x06", 15),
         {RGBColor(9, 9, 9), RGBColor(8, 8, 8), RGBColor(7, 7, 7), RGBColor(6, 6, 6), clBlack, clBlack}},
        {"P4 rows are whole bytes", std::string("P4 3 2\n\xA0\x40", 9),
         {clBlack, clWhite, clBlack, clWhite, clBlack, clWhite}},
        {"the raster starts after one white-space byte", std::string("P5 2 1 255\n\n\x05", 13),
         {RGBColor(10, 10, 10), RGBColor(5, 5, 5)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Colours(LoadPnm(c.file)->Bitmap()), c.expected);
    }
    const auto commented = LoadPnm("P2 1 1 # first\n# second\n255 0");
    EXPECT_TRUE(commented->HasComment());
    EXPECT_EQ(commented->Comment(), " second");
    EXPECT_EQ(commented->MaxValue(), 255);
    const std::string longComment(400, 'c');
    EXPECT_EQ(LoadPnm("P2 1 1 #" + longComment + "\n255 0")->Comment(), longComment.substr(0, 255));
}

TEST(PNMImage, BadFilesGiveTheirErrors) {
    const struct {
        std::string file;
        std::string message;
    } cases[] = {
        {"", "Signature Error"},
        {"P", "Signature Error"},
        {"P7 1 1 255 0", "Signature Error"},
        {"Q6 1 1 255 0", "Signature Error"},
        {"P0 1 1", "Signature Error"},
        {"P6 1", "TPNMImage Read Error"},
        {"P6 1 1   \n\t", "TPNMImage Read Error"},
        {"P2 1 1 # comment without end", "TPNMImage Read Error"},
        {"P2 1 x1 255 0", "'x1' は整数ではありません"},
        {"P2 1 1#c\n255 0", "'1#c' は整数ではありません"},
        {"P2 99999999999 1 255 0", "'99999999999' は整数ではありません"},
        {"P2 -3 1 255 0", "TPNMImage Read Error"},
        {"P5 1 1 70000 \x01\x02", "TPNMImage Read Error"},
        // Far more raster than the file holds, beyond the always-accepted size.
        {"P5 30000 30000 255\n\x01", "TPNMImage Read Error"},
        {"P1 90000 90000 1", "TPNMImage Read Error"},
        {"P6 10000 10000 255\n" + std::string(1000, 'x'), "TPNMImage Read Error"},
        {"P6 2000000000 2000000000 255\n", "TPNMImage Read Error"},
        // Empty pictures.
        {"P6 2147483647 0 255\n", "TPNMImage Read Error"},
        {"P5 0 2147483647 255\n", "TPNMImage Read Error"},
        {"P4 0 0\n", "TPNMImage Read Error"},
    };
    TPixelBytesCap cap(size_t{1} << 27);  // well above the accepted size, far below the declared ones
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.file), c.message) << c.file;
    {
        // Within the raster bound but beyond the picture cap: the file's fault.
        TPixelBytesCap small(size_t{1} << 20);
        EXPECT_EQ(ErrorOf("P5 2000 1000 255\n\x01"), "TPNMImage Read Error");
    }
    EXPECT_THROW(LoadPnm("P2 x 1 255"), EConvertError);
}

TEST(PNMImage, ShortFilesWithLargeHeadersLoadQuicklyWithinTheBound) {
    // 4000 x 4000 black in a few bytes (2 MB of pixels), and a binary file
    // that really is cut short.
    const auto start = std::chrono::steady_clock::now();
    const auto bilevel = LoadPnm("P1 4000 4000 1");
    EXPECT_EQ(bilevel->Bitmap().Width(), 4000);
    EXPECT_EQ(bilevel->Bitmap().Pixel(3999, 3999), clBlack);
    EXPECT_EQ(bilevel->Bitmap().Pixel(0, 0), clBlack);
    EXPECT_EQ(bilevel->Bitmap().ScanLine(5)[499], 0xFF);
    const std::vector<uint8_t> full = Fixture("pnm_p6.ppm");
    for (size_t length = 0; length < full.size(); ++length) {
        try {
            const auto pnm = LoadPnm(Cut(full, length));
            // Whatever loaded agrees with the full picture where it was filled.
            const std::vector<TColor> whole = Reference("pnm_p6"), part = Colours(pnm->Bitmap());
            const size_t header = full.size() - whole.size() * 3;
            const size_t filled = length > header ? (length - header) / 3 : 0;
            ASSERT_EQ(part.size(), whole.size());
            for (size_t i = 0; i < part.size(); ++i) EXPECT_EQ(part[i], i < filled ? whole[i] : clBlack) << length;
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), length < 2 ? "Signature Error" : "TPNMImage Read Error");
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(PNMImage, WritersProduceTheirHeadersAndSamples) {
    TBitmap white(10, 1);
    white.FillRect(Rect(0, 0, 10, 1), clWhite);
    EXPECT_EQ(WritePnm(white, "PBM"), Bytes(std::string("P4\n# Created by Kestrune\n10 1\n\0\0", 32)));
    TBitmap red(1, 1);
    red.SetPixel(0, 0, RGBColor(255, 0, 0));
    EXPECT_EQ(WritePnm(red, "PGM"), Bytes("P5\n# Created by Kestrune\n1 1\n255\nL"));
    EXPECT_EQ(WritePnm(red, "PPM"), Bytes("P6\n# Created by Kestrune\n1 1\n255\n\xFF" + std::string(2, '\0')));
    EXPECT_TRUE(WritePnm(red, "ppm").empty());
    EXPECT_TRUE(WritePnm(red, "").empty());

    // The PBM threshold: luminance above 128 is white.
    TBitmap grey(3, 1);
    grey.SetPixel(0, 0, RGBColor(128, 128, 128));
    grey.SetPixel(1, 0, RGBColor(129, 129, 129));
    grey.SetPixel(2, 0, RGBColor(0, 0, 255));
    const std::vector<uint8_t> pbm = WritePnm(grey, "PBM");
    EXPECT_EQ(pbm.back(), 0xA0);
}

TEST(PNMImage, WrittenPicturesComeBack) {
    const TBitmap picture = RandomBitmap(13, 7, 3);
    EXPECT_EQ(Colours(LoadPnm(WritePnm(picture, "PPM"))->Bitmap()), Colours(picture));

    std::vector<TColor> grey;
    for (TColor c : Colours(picture)) {
        const uint8_t g = uint8_t((77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8);
        grey.push_back(RGBColor(g, g, g));
    }
    EXPECT_EQ(Colours(LoadPnm(WritePnm(picture, "PGM"))->Bitmap()), grey);

    TBitmap bilevel = RandomBitmap(13, 7, 4, pf1bit);
    bilevel.SetPalette(kBlackOnWhite);
    EXPECT_EQ(Colours(LoadPnm(WritePnm(bilevel, "PBM"))->Bitmap()), Colours(bilevel));

    // The writer converts its own copy only.
    TPNMImage pnm;
    TBitmap indexed(picture);
    indexed.SetPixelFormat(pf8bit);
    pnm.Assign(indexed);
    pnm.SetOutputFormat("PPM");
    Saved(pnm);
    EXPECT_EQ(pnm.Bitmap().PixelFormat(), pf8bit);

    ExpectFailedSaveKeepsFile("failed.ppm", [&](const std::string& path) {
        TPixelBytesCap cap(100);  // too small for the writer's copy
        pnm.SaveToFile(path);
    });
}
