#include <gtest/gtest.h>

#include <chrono>

#include "formats/PCXImage.h"
#include "platform/Palettes.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

constexpr auto LoadPcx = &Loaded<TPCXImage>;

std::vector<uint8_t> WritePcx(const TBitmap& picture) {
    TPCXImage pcx;
    pcx.Assign(picture);
    return Saved(pcx);
}

struct PcxFields {
    uint8_t bits = 8;
    uint8_t planes = 1;
    uint16_t width = 1;
    uint16_t height = 1;
    uint16_t bytesPerLine = 2;
    uint8_t encoding = 1;
    uint16_t xMin = 0;
};

std::vector<uint8_t> Pcx(const PcxFields& f, const std::vector<uint8_t>& body, const std::vector<uint8_t>& palette = {}) {
    std::vector<uint8_t> bytes(128 + body.size(), 0);
    std::copy(body.begin(), body.end(), bytes.begin() + 128);
    bytes[0] = 10;
    bytes[1] = 5;
    bytes[2] = f.encoding;
    bytes[3] = f.bits;
    PutLE16(bytes, 4, f.xMin);
    PutLE16(bytes, 8, static_cast<uint16_t>(f.xMin + f.width - 1));
    PutLE16(bytes, 10, static_cast<uint16_t>(f.height - 1));
    std::copy(palette.begin(), palette.end(), bytes.begin() + 16);
    bytes[65] = f.planes;
    PutLE16(bytes, 66, f.bytesPerLine);
    return bytes;
}

// The encoded pixel data of a written file (the 0x0C palette left off).
std::vector<uint8_t> Body(const std::vector<uint8_t>& file) {
    const bool palette = file[65] == 1;
    return {file.begin() + 128, file.end() - (palette ? 769 : 0)};
}

constexpr auto ErrorOf = &LoadError<TPCXImage>;

}  // namespace

TEST(PCXImage, FilesWrittenByOtherToolsLoadWithTheirPixels) {
    const struct {
        const char* stem;
        TPixelFormat format;
    } cases[] = {
        {"pcx_rgb24_im", pf24bit},       {"pcx_rgb24_pil", pf24bit},       {"pcx_rgb24_netpbm", pf24bit},
        {"pcx_pal8_netpbm", pf8bit},     {"pcx_pal8_pil", pf8bit},         {"pcx_pal8_im", pf8bit},
        {"pcx_pal16_im", pf8bit},        {"pcx_grey8_pil", pf8bit},        {"pcx_mono_pil", pf1bit},
        {"pcx_mono_netpbm", pf1bit},     {"pcx_planes2_netpbm", pf4bit},   {"pcx_planes3_netpbm", pf4bit},
        {"pcx_planes4_netpbm", pf4bit},  {"pcx_packed4_netpbm", pf4bit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stem);
        std::unique_ptr<TPCXImage> pcx;
        ASSERT_NO_FATAL_FAILURE(ExpectFixtureLoads(c.stem, ".pcx", c.format, pcx));
        EXPECT_EQ(pcx->BitDepth(), TBitmap::BitsPerPixel(c.format));
    }
}

TEST(PCXImage, PaletteAndPlaneLayouts) {
    // 8-bit: the palette after the 0x0C byte, or none at all without it.
    std::vector<uint8_t> tail(769, 0);
    tail[0] = 0x0C;
    tail[1 + 3 * 7] = 200;  // entry 7 red
    std::vector<uint8_t> body = {7, 0};
    body.insert(body.end(), tail.begin(), tail.end());
    const auto paletted = LoadPcx(Pcx({.encoding = 0}, body));
    ASSERT_EQ(paletted->Bitmap().PaletteEntries().size(), 256u);
    EXPECT_EQ(paletted->Bitmap().Pixel(0, 0), RGBColor(200, 0, 0));
    body[2] = 0x0B;
    EXPECT_TRUE(LoadPcx(Pcx({.encoding = 0}, body))->Bitmap().PaletteEntries().empty());

    // Four bit planes, most significant bit first, give the header palette's
    // colours; plane 0 is the lowest bit of the value.
    std::vector<uint8_t> header(48);
    for (size_t i = 0; i < 16; ++i) header[3 * i] = static_cast<uint8_t>(i * 16);
    const auto planar = LoadPcx(Pcx({.bits = 1, .planes = 4, .width = 3, .bytesPerLine = 1, .encoding = 0},
                                    {0xA0, 0x60, 0x00, 0x80}, header));
    EXPECT_EQ(planar->Bitmap().PixelFormat(), pf4bit);
    EXPECT_EQ(Indices(planar->Bitmap()), (std::vector<uint8_t>{1 + 8, 2, 1 + 2}));
    EXPECT_EQ(planar->Bitmap().Pixel(0, 0), RGBColor(144, 0, 0));

    // Three 8-bit planes are red, green, blue; a fourth is the fourth byte.
    const auto rgba = LoadPcx(Pcx({.planes = 4, .bytesPerLine = 1}, {1, 2, 3, 4}, {}));
    EXPECT_EQ(rgba->Bitmap().PixelFormat(), pf32bit);
    const uint8_t* pixel = rgba->Bitmap().ScanLine(0);
    EXPECT_EQ(std::vector<uint8_t>(pixel, pixel + 4), (std::vector<uint8_t>{3, 2, 1, 4}));

    // Monochrome with a header palette that does not tell its colours apart
    // is black and white; a real palette is kept.
    EXPECT_EQ(Colours(LoadPcx(Pcx({.bits = 1, .width = 2}, {0x40, 0}))->Bitmap()), (std::vector<TColor>{clBlack, clWhite}));
    const std::vector<uint8_t> two = {10, 20, 30, 40, 50, 60};
    EXPECT_EQ(Colours(LoadPcx(Pcx({.bits = 1, .width = 2}, {0x40, 0}, two))->Bitmap()),
              (std::vector<TColor>{RGBColor(10, 20, 30), RGBColor(40, 50, 60)}));

    // Runs cross the row ends; a run past the end of the data is cut; a run
    // of 0 gives nothing; the window's left edge does not move pixels.
    const auto runs = LoadPcx(Pcx({.width = 3, .height = 2, .bytesPerLine = 3, .xMin = 100}, {0xC4, 9, 0xC0, 1, 5, 0xFF, 6}));
    EXPECT_EQ(Indices(runs->Bitmap()), (std::vector<uint8_t>{9, 9, 9, 9, 5, 6}));
    EXPECT_TRUE(runs->LoadWarning().empty());

    // Layouts without a reading load as an unfilled 24-bit picture.
    const auto unknown = LoadPcx(Pcx({.bits = 2, .width = 4, .height = 2}, {0xFF, 0xFF}));
    EXPECT_EQ(unknown->Bitmap().PixelFormat(), pf24bit);
    EXPECT_EQ(Colours(unknown->Bitmap()), std::vector<TColor>(8, clBlack));
    EXPECT_EQ(unknown->BitDepth(), 0);
    EXPECT_FALSE(unknown->LoadWarning().empty());
    EXPECT_TRUE(LoadPcx(Pcx({.width = 2, .xMin = 65535}, {0xC5, 1}))->Bitmap().Empty());  // Xmax below Xmin
    const auto noBytes = LoadPcx(Pcx({.width = 2, .bytesPerLine = 0}, {0xC5, 1}));
    EXPECT_EQ(Colours(noBytes->Bitmap()), std::vector<TColor>(2, clBlack));
    EXPECT_FALSE(noBytes->LoadWarning().empty());
}

TEST(PCXImage, DamagedAndHostileFiles) {
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        std::string result;
    } cases[] = {
        {"empty", {}, "Signature err"},
        {"wrong manufacturer", {11, 5, 1, 8}, "Signature err"},
        {"cut inside the header", std::vector<uint8_t>(100, 10), "Stream read error"},
        {"raw data cut short", Pcx({.width = 2, .height = 2, .encoding = 0}, {1, 2, 3}), "Stream read error"},
        {"run-length data cut short", Pcx({.width = 2, .height = 2}, {0xC3, 1}), "loaded"},
        {"65535 x 65535 in a few bytes", Pcx({.planes = 3, .width = 65535, .height = 65535, .bytesPerLine = 65535}, {0xFF, 1}),
         "Stream read error"},
        {"16384 x 16384 with one byte per line", Pcx({.width = 16384, .height = 16384, .bytesPerLine = 1, .encoding = 0},
                                                     std::vector<uint8_t>(16384, 1)),
         "Stream read error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorOf(c.file), c.result);
    }
    const auto cut = LoadPcx(Pcx({.width = 2, .height = 2, .bytesPerLine = 2}, {0xC3, 1}));
    EXPECT_EQ(Indices(cut->Bitmap()), (std::vector<uint8_t>{1, 1, 1, 0}));
    EXPECT_FALSE(cut->LoadWarning().empty());

    // Wide planes and many rows with little data end as soon as the data does.
    const auto start = std::chrono::steady_clock::now();
    const auto wide = LoadPcx(Pcx({.planes = 4, .width = 2, .height = 60000, .bytesPerLine = 65535}, std::vector<uint8_t>(4000, 0xFF)));
    EXPECT_EQ(wide->Bitmap().Height(), 60000);
    for (const char* file : {"pcx_rgb24_im.pcx", "pcx_planes4_netpbm.pcx", "pcx_pal8_netpbm.pcx"}) {
        const std::vector<uint8_t> full = Fixture(file);
        for (size_t length = 0; length < full.size(); ++length) {
            try {
                LoadPcx(Cut(full, length));
            } catch (const EStreamError&) {
                EXPECT_LT(length, 128u);
            } catch (const EInvalidGraphic&) {
                EXPECT_EQ(length, 0u);
            }
            // Changed bytes: any header value, runs in any place.
            std::vector<uint8_t> changed = full;
            changed[length] ^= 0xC3;
            try {
                LoadPcx(changed);
            } catch (const EStreamError&) {
            } catch (const EInvalidGraphic&) {
                EXPECT_EQ(length, 0u);
            }
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));  // a hang, not a slow machine
}

TEST(PCXImage, WriterEscapesAndRuns) {
    auto encoded = [](std::vector<uint8_t> row) {
        TBitmap picture(static_cast<int>(row.size()), 1, pf8bit);
        picture.SetPalette(GreyRampPalette());
        std::copy(row.begin(), row.end(), picture.ScanLine(0));
        return Body(WritePcx(picture));
    };
    // Even widths, so no alignment byte joins the row.
    EXPECT_EQ(encoded({0xC5, 1}), (std::vector<uint8_t>{0xC1, 0xC5, 1}));
    EXPECT_EQ(encoded({7, 7, 7, 0xC0}), (std::vector<uint8_t>{0xC3, 7, 0xC1, 0xC0}));
    std::vector<uint8_t> hundred(100, 0xD0);
    EXPECT_EQ(encoded(hundred), (std::vector<uint8_t>{0xFF, 0xD0, 0xE5, 0xD0}));
    // Literals are not cut at 63 bytes.
    std::vector<uint8_t> noise(200);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i % 150);
    EXPECT_EQ(encoded(noise), noise);

    // Three pixels wide: four bytes a plane, the fourth 0, planes red, green, blue.
    TBitmap colour(3, 1);
    colour.SetPixel(0, 0, RGBColor(1, 2, 3));
    colour.SetPixel(1, 0, RGBColor(1, 2, 3));
    colour.SetPixel(2, 0, RGBColor(1, 5, 3));
    const std::vector<uint8_t> file = WritePcx(colour);
    ASSERT_EQ(file.size(), 128u + 10);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 16),
              (std::vector<uint8_t>{10, 5, 1, 8, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(file[65], 3);
    EXPECT_EQ(file[66], 4);
    EXPECT_EQ(file[68], 1);
    EXPECT_EQ(Body(file), (std::vector<uint8_t>{0xC3, 1, 0, 0xC2, 2, 5, 0, 0xC3, 3, 0}));
}

TEST(PCXImage, WrittenFilesComeBack) {
    for (int width : {1, 6, 13}) {
        SCOPED_TRACE(width);
        TBitmap paletted = RandomBitmap(width, 5, 7, pf8bit);
        TPalette palette(256);
        for (size_t i = 0; i < palette.size(); ++i) palette[i] = {uint8_t(i), uint8_t(i * 7), uint8_t(255 - i), 0};
        paletted.SetPalette(palette);
        const std::vector<uint8_t> file = WritePcx(paletted);
        EXPECT_EQ(file[file.size() - 769], 0x0C);
        const auto back = LoadPcx(file);
        EXPECT_EQ(PixelBytes(back->Bitmap()), PixelBytes(paletted));
        EXPECT_EQ(back->Bitmap().PaletteEntries(), palette);

        const TBitmap colour = RandomBitmap(width, 5, 8);
        EXPECT_EQ(PixelBytes(LoadPcx(WritePcx(colour))->Bitmap()), PixelBytes(colour));
    }
    // 1-bit goes out as 8-bit with its palette; 4-, 16- and 32-bit as three planes.
    TBitmap bilevel = RandomBitmap(9, 3, 9, pf1bit);
    bilevel.SetPalette({{255, 255, 255, 0}, {0, 0, 0, 0}});
    const std::vector<uint8_t> mono = WritePcx(bilevel);
    EXPECT_EQ(mono[65], 1);
    EXPECT_EQ(Colours(LoadPcx(mono)->Bitmap()), Colours(bilevel));
    for (TPixelFormat format : {pf4bit, pf16bit, pf32bit}) {
        TPCXImage pcx;
        pcx.Assign(RandomBitmap(9, 3, 10, format));
        const std::vector<uint8_t> file = Saved(pcx);
        EXPECT_EQ(file[65], 3);
        EXPECT_EQ(Colours(LoadPcx(file)->Bitmap()), Colours(pcx.Bitmap()));
        EXPECT_EQ(pcx.Bitmap().PixelFormat(), format);
    }
    EXPECT_THROW(WritePcx(TBitmap(65535, 1)), EInvalidGraphic);
}
