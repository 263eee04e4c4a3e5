#include <gtest/gtest.h>

#include <chrono>

#include "formats/TGAImage.h"
#include "platform/Palettes.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

constexpr auto LoadTga = &Loaded<TTGAImage>;

std::vector<uint8_t> WriteTga(const TBitmap& picture, bool rle) {
    TTGAImage tga;
    tga.Assign(picture);
    tga.SetRLE(rle);
    return Saved(tga);
}

struct TgaFields {
    uint8_t type = 2;
    uint8_t depth = 24;
    uint16_t width = 1;
    uint16_t height = 1;
    uint8_t descriptor = 0;
    uint8_t idLength = 0;
    uint8_t mapType = 0;
    uint16_t mapFirst = 0;
    uint16_t mapLength = 0;
    uint8_t mapEntrySize = 0;
};

std::vector<uint8_t> Tga(const TgaFields& f, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> bytes(18 + body.size(), 0);
    std::copy(body.begin(), body.end(), bytes.begin() + 18);
    bytes[0] = f.idLength;
    bytes[1] = f.mapType;
    bytes[2] = f.type;
    PutLE16(bytes, 3, f.mapFirst);
    PutLE16(bytes, 5, f.mapLength);
    bytes[7] = f.mapEntrySize;
    PutLE16(bytes, 12, f.width);
    PutLE16(bytes, 14, f.height);
    bytes[16] = f.depth;
    bytes[17] = f.descriptor;
    return bytes;
}

constexpr auto ErrorOf = &LoadError<TTGAImage>;

}  // namespace

TEST(TGAImage, FilesWrittenByOtherToolsLoadWithTheirPixels) {
    const struct {
        const char* stem;
        TPixelFormat format;
    } cases[] = {
        {"tga_rgb24_im", pf24bit},         {"tga_rgb24_rle_im", pf24bit},     {"tga_rgb24_rle_netpbm", pf24bit},
        {"tga_rgb24_top_pil", pf24bit},    {"tga_rgb24_top_rle_pil", pf24bit}, {"tga_rgba32_pil", pf32bit},
        {"tga_rgba32_rle_pil", pf32bit},   {"tga_rgba32_rle_im", pf32bit},    {"tga_cmap_im", pf8bit},
        {"tga_cmap_rle_netpbm", pf8bit},   {"tga_cmap_top_pil", pf8bit},      {"tga_grey_pil", pf8bit},
        {"tga_grey_rle_netpbm", pf8bit},   {"tga_rgb16", pf24bit},            {"tga_rgb16_top_rle", pf24bit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stem);
        std::unique_ptr<TTGAImage> tga;
        ASSERT_NO_FATAL_FAILURE(ExpectFixtureLoads(c.stem, ".tga", c.format, tga));
        const TBitmap& picture = tga->Bitmap();
        if (std::string(c.stem).find("grey") != std::string::npos) {
            EXPECT_EQ(picture.PaletteEntries(), GreyRampPalette());
        }
        if (c.format == pf8bit) {
            EXPECT_EQ(picture.PaletteEntries().size(), 256u);
        }
    }
}

TEST(TGAImage, RowOrdersPacketsAndColourMaps) {
    // 2 x 2, rows stored bottom-up: the same picture both ways up.
    const std::vector<uint8_t> bottomUp = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::vector<uint8_t> topDown = {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6};
    const auto a = LoadTga(Tga({.width = 2, .height = 2}, bottomUp));
    const auto b = LoadTga(Tga({.width = 2, .height = 2, .descriptor = 0x20}, topDown));
    EXPECT_EQ(PixelBytes(a->Bitmap()), PixelBytes(b->Bitmap()));
    EXPECT_EQ(a->Bitmap().Pixel(0, 0), RGBColor(9, 8, 7));
    EXPECT_TRUE(b->TopDown());

    // Packets run on across row ends; the last one is cut at the picture's end.
    const auto rle = LoadTga(Tga({.type = 11, .depth = 8, .width = 3, .height = 2, .descriptor = 0x20},
                                 {0x83, 9, 0x01, 4, 5, 0xFF, 6}));
    EXPECT_EQ(Indices(rle->Bitmap()), (std::vector<uint8_t>{9, 9, 9, 9, 4, 5}));
    EXPECT_TRUE(rle->RunLength());
    const auto rawPastEnd = LoadTga(Tga({.type = 11, .depth = 8, .width = 2, .height = 1}, {0x05, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Indices(rawPastEnd->Bitmap()), (std::vector<uint8_t>{1, 2}));

    // 5-5-5 pixels, bit 15 ignored, plain and run-length.
    EXPECT_EQ(LoadTga(Tga({.depth = 16}, {0xFF, 0x7F}))->Bitmap().Pixel(0, 0), RGBColor(248, 248, 248));
    EXPECT_EQ(LoadTga(Tga({.depth = 15}, {0x1F, 0x80}))->Bitmap().Pixel(0, 0), RGBColor(0, 0, 248));
    EXPECT_EQ(Colours(LoadTga(Tga({.type = 10, .depth = 16, .width = 2}, {0x81, 0x00, 0x7C}))->Bitmap()),
              (std::vector<TColor>{RGBColor(248, 0, 0), RGBColor(248, 0, 0)}));

    // A 16-entry colour map (16-bit entries) leaves entries 16..255 black; an
    // ID field comes first and is skipped.
    std::vector<uint8_t> body = {'i', 'd', '!'};
    for (int i = 0; i < 16; ++i) {
        body.push_back(static_cast<uint8_t>(i));  // blue i << 3
        body.push_back(0);
    }
    body.push_back(15);
    const auto mapped = LoadTga(Tga({.type = 1, .depth = 8, .idLength = 3, .mapType = 1, .mapLength = 16,
                                     .mapEntrySize = 16}, body));
    const TPalette& palette = mapped->Bitmap().PaletteEntries();
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[15], (TPaletteEntry{0, 0, 120, 0}));
    for (size_t i = 16; i < 256; ++i) EXPECT_EQ(palette[i], TPaletteEntry{}) << i;
    EXPECT_EQ(mapped->Bitmap().Pixel(0, 0), RGBColor(0, 0, 120));

    // Map entry k is pixel value first + k; 32-bit entries drop their alpha.
    const auto offsetMap = LoadTga(Tga({.type = 1, .depth = 8, .width = 2, .mapType = 1, .mapFirst = 200,
                                        .mapLength = 1, .mapEntrySize = 32}, {10, 20, 30, 99, 200, 0}));
    EXPECT_EQ(Colours(offsetMap->Bitmap()), (std::vector<TColor>{RGBColor(30, 20, 10), clBlack}));

    // A colour map in a true-colour file is skipped.
    const auto skipped = LoadTga(Tga({.mapType = 1, .mapLength = 2, .mapEntrySize = 24}, {1, 1, 1, 2, 2, 2, 7, 8, 9}));
    EXPECT_EQ(skipped->Bitmap().Pixel(0, 0), RGBColor(9, 8, 7));
}

TEST(TGAImage, UnreadVariantsLoadSilently) {
    // An unknown depth leaves the picture as it was.
    TTGAImage tga;
    LoadInto(tga, Fixture("tga_rgb24_im.tga"));
    LoadInto(tga, Tga({.depth = 1, .width = 4}, {0xFF}));
    EXPECT_EQ(tga.Bitmap().Width(), 11);
    EXPECT_FALSE(tga.LoadWarning().empty());
    // Known depth, unread type or combination: the size is set, nothing filled.
    for (const TgaFields& f : {TgaFields{.type = 1, .depth = 24, .width = 3}, TgaFields{.type = 2, .depth = 8, .width = 3},
                               TgaFields{.type = 3, .depth = 16, .width = 3}, TgaFields{.type = 7, .depth = 24, .width = 3}}) {
        const auto odd = LoadTga(Tga(f, std::vector<uint8_t>(12, 0x55)));
        EXPECT_EQ(odd->Bitmap().Width(), 3);
        EXPECT_EQ(Colours(odd->Bitmap()), std::vector<TColor>(3, clBlack)) << int(f.type) << " " << int(f.depth);
        EXPECT_FALSE(odd->LoadWarning().empty());
    }
}

TEST(TGAImage, DamagedAndHostileFiles) {
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        std::string result;
    } cases[] = {
        {"empty", {}, "Signature err"},
        {"cut inside the header", std::vector<uint8_t>(17, 0), "Stream read error"},
        {"raw 8-bit packet cut short", Tga({.type = 9, .depth = 8, .width = 4}, {0x03, 1, 2}), "Stream read error"},
        {"raw 24-bit packet cut short", Tga({.type = 10, .width = 2}, {0x01, 1, 2, 3, 4}), "Stream read error"},
        {"raw 32-bit packet cut short", Tga({.type = 10, .depth = 32}, {0x00, 1, 2, 3}), "Stream read error"},
        {"raw 16-bit packet cut short", Tga({.type = 10, .depth = 16, .width = 2}, {0x01, 1, 2}), "loaded"},
        {"run packet without its pixel", Tga({.type = 10, .width = 2}, {0x81, 1, 2}), "loaded"},
        {"plain rows cut short", Tga({.width = 2, .height = 2}, {1, 2, 3, 4}), "loaded"},
        {"colour map cut short", Tga({.type = 1, .depth = 8, .mapType = 1, .mapLength = 9, .mapEntrySize = 24}, {1, 2}),
         "loaded"},
        // Far more picture than the data could ever fill.
        {"plain 65535 x 65535 of 32 bits", Tga({.depth = 32, .width = 65535, .height = 65535}, {1, 2, 3, 4}),
         "Stream read error"},
        {"run-length 16384 x 16384 from 40 bytes", Tga({.type = 9, .depth = 8, .width = 16384, .height = 16384},
                                                       std::vector<uint8_t>(40, 0xFF)),
         "Stream read error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorOf(c.file), c.result);
        if (c.result == "loaded") {
            EXPECT_FALSE(LoadTga(c.file)->LoadWarning().empty());
        }
    }
    const auto cut = LoadTga(Tga({.width = 2, .height = 2}, {1, 2, 3, 4}));
    EXPECT_EQ(Colours(cut->Bitmap()), (std::vector<TColor>{clBlack, clBlack, RGBColor(3, 2, 1), clBlack}));

    // A run-length picture as large as its packets can fill loads, quickly:
    // 2048 x 2048 from 128-pixel runs.
    const auto start = std::chrono::steady_clock::now();
    const auto big = LoadTga(Tga({.type = 11, .depth = 8, .width = 2048, .height = 2048},
                                 std::vector<uint8_t>(2048 * 2048 / 128 * 2, 0xFF)));
    EXPECT_EQ(big->Bitmap().PixelIndex(2047, 0), 0xFF);
    EXPECT_TRUE(big->LoadWarning().empty());

    EXPECT_EQ(LoadTga(Tga({.width = 0, .height = 3}, {}))->Bitmap().Height(), 3);

    // Every cut of real files, and every byte changed, loads what it holds
    // or fails cleanly.
    for (const char* file : {"tga_rgb24_rle_im.tga", "tga_cmap_rle_netpbm.tga", "tga_rgb16_top_rle.tga", "tga_rgba32_pil.tga"}) {
        const std::vector<uint8_t> full = Fixture(file);
        for (size_t length = 0; length < full.size(); ++length) {
            std::vector<uint8_t> changed = full;
            changed[length] ^= 0x5A;
            for (const std::vector<uint8_t>& bytes : {Cut(full, length), changed}) {
                try {
                    LoadTga(bytes);
                } catch (const EStreamError&) {
                } catch (const EInvalidGraphic&) {
                    EXPECT_EQ(bytes.size(), 0u);
                }
            }
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));  // a hang, not a slow machine
}

TEST(TGAImage, RunLengthPacketsFollowTheLiteralAndRepeatRules) {
    auto packets = [](std::vector<uint8_t> row) {
        TBitmap picture(static_cast<int>(row.size()), 1, pf8bit);
        picture.SetPalette(GreyRampPalette());
        std::copy(row.begin(), row.end(), picture.ScanLine(0));
        const std::vector<uint8_t> file = WriteTga(picture, true);
        return std::vector<uint8_t>(file.begin() + 18 + 768, file.end());
    };
    EXPECT_EQ(packets({5, 5, 5, 7, 8, 9}), (std::vector<uint8_t>{0x82, 5, 0x01, 7, 8, 0x00, 9}));
    EXPECT_EQ(packets({4}), (std::vector<uint8_t>{0x00, 4}));
    EXPECT_EQ(packets({1, 2, 3, 3}), (std::vector<uint8_t>{0x01, 1, 2, 0x81, 3}));
    // Both counts stop at 128 pixels.
    std::vector<uint8_t> noise(300), expected;
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 7);
    for (size_t at = 0; at < 299; at += 128) {
        const size_t n = std::min<size_t>(128, 299 - at);
        expected.push_back(static_cast<uint8_t>(n - 1));
        expected.insert(expected.end(), noise.begin() + ptrdiff_t(at), noise.begin() + ptrdiff_t(at + n));
    }
    expected.insert(expected.end(), {0x00, noise.back()});
    EXPECT_EQ(packets(noise), expected);
    EXPECT_EQ(packets(std::vector<uint8_t>(300, 6)), (std::vector<uint8_t>{0xFF, 6, 0xFF, 6, 0xAB, 6}));

    // 24-bit pixels compare as whole values; no packet crosses a row.
    TBitmap colour(2, 2);
    colour.FillRect(Rect(0, 0, 2, 2), RGBColor(1, 2, 3));
    colour.SetPixel(1, 0, RGBColor(1, 2, 4));
    const std::vector<uint8_t> file = WriteTga(colour, true);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 18, file.end()),
              (std::vector<uint8_t>{0x81, 3, 2, 1, 0x00, 3, 2, 1, 0x00, 4, 2, 1}));
    EXPECT_EQ(file[2], 10);
}

TEST(TGAImage, WrittenFilesHaveTheirLayoutAndComeBack) {
    TBitmap paletted = RandomBitmap(13, 7, 1, pf8bit);
    TPalette palette(256);
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = {uint8_t(i * 3), uint8_t(255 - i), uint8_t(i * 11), 0};
    paletted.SetPalette(palette);
    const std::vector<uint8_t> mapped = WriteTga(paletted, true);
    EXPECT_EQ(std::vector<uint8_t>(mapped.begin(), mapped.begin() + 18),
              (std::vector<uint8_t>{0, 1, 9, 0, 0, 0, 1, 24, 0, 0, 0, 0, 13, 0, 7, 0, 8, 0}));
    EXPECT_EQ(std::vector<uint8_t>(mapped.begin() + 18 + 3, mapped.begin() + 18 + 6),
              (std::vector<uint8_t>{11, 254, 3}));  // entry 1 as blue, green, red

    const TBitmap colour = RandomBitmap(13, 7, 2);
    EXPECT_EQ(WriteTga(colour, false).size(), 18u + 13 * 7 * 3);
    for (bool rle : {false, true}) {
        SCOPED_TRACE(rle);
        const auto back = LoadTga(WriteTga(paletted, rle));
        EXPECT_EQ(back->Bitmap().PixelFormat(), pf8bit);
        EXPECT_EQ(PixelBytes(back->Bitmap()), PixelBytes(paletted));
        EXPECT_EQ(back->Bitmap().PaletteEntries(), palette);
        EXPECT_EQ(PixelBytes(LoadTga(WriteTga(colour, rle))->Bitmap()), PixelBytes(colour));
        // Other formats go out as 24-bit; the own picture stays as it is.
        for (TPixelFormat format : {pf4bit, pf32bit, pf16bit}) {
            TTGAImage tga;
            tga.Assign(RandomBitmap(9, 4, 3, format));
            tga.SetRLE(rle);
            const auto written = LoadTga(Saved(tga));
            EXPECT_EQ(written->Bitmap().PixelFormat(), pf24bit);
            EXPECT_EQ(Colours(written->Bitmap()), Colours(tga.Bitmap()));
            EXPECT_EQ(tga.Bitmap().PixelFormat(), format);
        }
    }
    // An 8-bit picture without a palette is written as true colour.
    EXPECT_EQ(WriteTga(RandomBitmap(3, 3, 4, pf8bit), false)[2], 2);

    // Sizes that do not fit the 16-bit fields are refused, not cut.
    EXPECT_THROW(WriteTga(TBitmap(65536, 1), false), EInvalidGraphic);
    ExpectFailedSaveKeepsFile("failed.tga", [&](const std::string& path) {
        TTGAImage tga;
        tga.Assign(TBitmap(1, 70000));
        tga.SaveToFile(path);
    });
}
