#include <gtest/gtest.h>

#include "formats/FormatRegistry.h"
#include "formats/PSDImage.h"
#include "platform/Palettes.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

constexpr auto LoadPsd = &Loaded<TPSDImage>;

constexpr auto ErrorOf = &LoadError<TPSDImage>;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v >> 16);
    Put16(out, v);
}

struct PsdHeader {
    PsdHeader(uint16_t channels, uint32_t height, uint32_t width, uint16_t depth, uint16_t mode,
              std::vector<uint8_t> colourData, uint16_t compression)
        : Channels(channels), Height(height), Width(width), Depth(depth), Mode(mode),
          ColourData(std::move(colourData)), Compression(compression) {}
    uint16_t Channels;
    uint32_t Height;
    uint32_t Width;
    uint16_t Depth;
    uint16_t Mode;
    std::vector<uint8_t> ColourData;
    uint16_t Compression;
};

// A document with a few bytes of resources and layer section to skip.
std::vector<uint8_t> Psd(const PsdHeader& h, const std::vector<uint8_t>& imageData) {
    std::vector<uint8_t> file = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
    Put16(file, h.Channels);
    Put32(file, h.Height);
    Put32(file, h.Width);
    Put16(file, h.Depth);
    Put16(file, h.Mode);
    Put32(file, uint32_t(h.ColourData.size()));
    file.insert(file.end(), h.ColourData.begin(), h.ColourData.end());
    Put32(file, 3);
    file.insert(file.end(), {'r', 'e', 's'});
    Put32(file, 5);
    file.insert(file.end(), {'l', 'a', 'y', 'e', 'r'});
    Put16(file, h.Compression);
    file.insert(file.end(), imageData.begin(), imageData.end());
    return file;
}

// PackBits data: the row counts, then the rows, each row stored as one literal run.
std::vector<uint8_t> PackBits(const std::vector<std::vector<uint8_t>>& rows) {
    std::vector<uint8_t> data;
    for (const auto& row : rows) Put16(data, uint32_t(row.size() + 1));
    for (const auto& row : rows) {
        data.push_back(uint8_t(row.size() - 1));
        data.insert(data.end(), row.begin(), row.end());
    }
    return data;
}

}  // namespace

TEST(PSDImage, FilesWrittenByImageMagickLoadWithTheirPixels) {
    const struct {
        const char* stem;
        TPixelFormat format;
    } cases[] = {
        {"psd_rgb_raw", pf24bit},  {"psd_rgb_rle", pf24bit},   {"psd_grey_raw", pf8bit},
        {"psd_grey_rle", pf8bit},  {"psd_rgba_raw", pf32bit},  {"psd_rgba_rle", pf32bit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stem);
        int width = 0, height = 0;
        const std::vector<TColor> expected = Reference(c.stem, &width, &height);
        const auto psd = LoadPsd(Fixture(std::string(c.stem) + ".psd"));
        const TBitmap& picture = psd->Bitmap();
        EXPECT_EQ(picture.PixelFormat(), c.format);
        EXPECT_EQ(psd->BitDepth(), TBitmap::BitsPerPixel(c.format));
        EXPECT_EQ(psd->LoadWarning(), "");
        ASSERT_EQ(picture.Width(), width);
        ASSERT_EQ(picture.Height(), height);
        EXPECT_EQ(Colours(picture), expected);
        if (c.format == pf8bit) {
            EXPECT_EQ(picture.PaletteEntries(), GreyRampPalette());
        }
        if (HasAlphaReference(c.stem)) {
            std::vector<uint8_t> alpha;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) alpha.push_back(picture.ScanLine(y)[4 * x + 3]);
            EXPECT_EQ(alpha, AlphaReference(c.stem));
        }
    }
}

TEST(PSDImage, ChannelCountsAndDepthsChooseThePicture) {
    const auto rgb = [](uint8_t r, uint8_t g, uint8_t b) { return RGBColor(r, g, b); };
    std::vector<uint8_t> table(768, 0);
    table[1] = 200, table[256 + 1] = 100, table[512 + 1] = 50;
    const struct {
        const char* name;
        PsdHeader header;
        std::vector<uint8_t> data;
        TPixelFormat format;  // pfCustom: empty
        std::vector<TColor> colours;
    } cases[] = {
        {"RGB with a spot channel", {5, 1, 2, 8, 3, {}, 0}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 9}, pf24bit,
         {rgb(1, 3, 5), rgb(2, 4, 6)}},
        {"grey with two alpha channels", {3, 1, 2, 8, 1, {}, 0}, {10, 20, 30, 40, 50, 60}, pf24bit,
         {rgb(10, 30, 50), rgb(20, 40, 60)}},
        {"grey with four alpha channels, PackBits", {5, 2, 2, 8, 1, {}, 1},
         PackBits({{7, 8}, {9, 10}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}), pf8bit,
         {rgb(7, 7, 7), rgb(8, 8, 8), rgb(9, 9, 9), rgb(10, 10, 10)}},
        {"indexed", {1, 1, 2, 8, 2, table, 0}, {1, 0}, pf8bit, {rgb(200, 100, 50), rgb(0, 0, 0)}},
        {"bitmap", {1, 1, 9, 1, 0, {}, 0}, {0x80, 0x80}, pf1bit,
         {clBlack, clWhite, clWhite, clWhite, clWhite, clWhite, clWhite, clWhite, clBlack}},
        {"CMYK taken as it is", {4, 1, 1, 8, 4, {}, 0}, {1, 2, 3, 4}, pf32bit, {rgb(1, 2, 3)}},
        {"16-bit RGB", {3, 1, 1, 16, 3, {}, 0}, std::vector<uint8_t>(6, 1), pfCustom, {}},
        {"16-bit RGB with a spot channel", {5, 1, 1, 16, 3, {}, 0}, std::vector<uint8_t>(10, 1), pfCustom, {}},
        {"grey with alpha", {2, 1, 1, 8, 1, {}, 0}, {1, 2}, pfCustom, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto psd = LoadPsd(Psd(c.header, c.data));
        const TBitmap& picture = psd->Bitmap();
        if (c.format == pfCustom) {
            EXPECT_TRUE(picture.Empty());
            continue;
        }
        EXPECT_EQ(picture.PixelFormat(), c.format);
        EXPECT_EQ(Colours(picture), c.colours);
    }
    const auto cmyk = LoadPsd(Psd({4, 1, 1, 8, 4, {}, 0}, {1, 2, 3, 4}));
    EXPECT_EQ(cmyk->Bitmap().ScanLine(0)[3], 4);
}

TEST(PSDImage, PackBitsRunsStayInTheirRow) {
    // Row 0 repeats 0x11 far past the row's end and copies past it too; row 1
    // must still start with its own bytes.
    std::vector<uint8_t> data;
    Put16(data, 4);
    Put16(data, 3);
    data.insert(data.end(), {0x81, 0x11, 0x05, 0x22});  // 128 copies of 0x11, then 6 literal bytes
    data.insert(data.end(), {0x80, 0xFF, 0x33});         // 128 is passed over; 257 - 255 = 2 copies
    const auto psd = LoadPsd(Psd({1, 2, 3, 8, 1, {}, 1}, data));
    EXPECT_EQ(Indices(psd->Bitmap()), (std::vector<uint8_t>{0x11, 0x11, 0x11, 0x33, 0x33, 0}));
}

TEST(PSDImage, BadHeadersAndCutFiles) {
    std::vector<uint8_t> mac(128, 0);
    const std::vector<uint8_t> good = Psd({3, 1, 2, 8, 3, {}, 0}, {1, 2, 3, 4, 5, 6});
    mac.insert(mac.end(), good.begin(), good.end());
    std::vector<uint8_t> version2 = good;
    version2[5] = 2;
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        const char* message;
    } cases[] = {
        {"Macintosh header", mac, "with Macintosh resource"},
        {"signature", Bytes("8BPX and more"), "Invalid signature"},
        {"empty", {}, "Invalid signature"},
        {"version", version2, "Version error"},
        {"header cut", Cut(good, 20), "Stream read error"},
        {"sections longer than the file", Cut(good, 32), "Stream read error"},
        {"huge picture, a few bytes", Psd({3, 50000, 50000, 8, 3, {}, 0}, {1, 2, 3}), "Invalid image size"},
        {"huge PackBits picture", Psd({3, 30000, 30000, 8, 3, {}, 1}, {0, 1}), "Invalid image size"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorOf(c.file), c.message);
    }

    // Data that ends early shows what the file holds and says so.
    const auto raw = LoadPsd(Cut(good, good.size() - 2));
    EXPECT_EQ(Colours(raw->Bitmap()), (std::vector<TColor>{RGBColor(1, 3, 0), RGBColor(2, 4, 0)}));
    EXPECT_NE(raw->LoadWarning(), "");
    const std::vector<uint8_t> packed = Psd({1, 2, 2, 8, 1, {}, 1}, PackBits({{5, 6}, {7, 8}}));
    const auto cut = LoadPsd(Cut(packed, packed.size() - 3));
    EXPECT_EQ(Indices(cut->Bitmap()), (std::vector<uint8_t>{5, 6, 0, 0}));
    EXPECT_NE(cut->LoadWarning(), "");

    for (const char* name : {"psd_rgba_rle.psd", "psd_grey_raw.psd"}) {
        const std::vector<uint8_t> file = Fixture(name);
        for (size_t length = 0; length < file.size(); length += 5) {
            try {
                LoadPsd(Cut(file, length));
            } catch (const Exception&) {
            }
        }
    }
}

TEST(PSDImage, OpensThroughTheRegistry) {
    RegisterFormatUnits();
    EXPECT_EQ(TPicture::FindGraphicClass("PSD"), &TPSDImage::StaticClass());
    const std::string path = TempPath("registry.psd");
    TMemoryStream(Fixture("psd_rgb_rle.psd")).SaveToFile(path);
    TPicture picture;
    picture.LoadFromFile(path);
    TBitmap work;
    work.Assign(*picture.Graphic());
    EXPECT_EQ(Colours(work), Reference("psd_rgb_rle"));
    std::filesystem::remove(path);
}
