#include <gtest/gtest.h>

#include <chrono>

#include "formats/SGIImage.h"
#include "platform/Palettes.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

constexpr auto LoadSgi = &Loaded<TSGIImage>;

std::vector<uint8_t> WriteSgi(const TBitmap& picture) {
    TSGIImage sgi;
    sgi.Assign(picture);
    return Saved(sgi);
}

void PutBE16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
    bytes[at] = uint8_t(value >> 8);
    bytes[at + 1] = uint8_t(value);
}

struct SgiFields {
    uint8_t storage = 0;
    uint8_t bytesPerChannel = 1;
    uint16_t dimension = 3;
    uint16_t width = 1;
    uint16_t height = 1;
    uint16_t channels = 3;
};

std::vector<uint8_t> Sgi(const SgiFields& f, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> bytes(512 + body.size(), 0);
    std::copy(body.begin(), body.end(), bytes.begin() + 512);
    PutBE16(bytes, 0, 474);
    bytes[2] = f.storage;
    bytes[3] = f.bytesPerChannel;
    PutBE16(bytes, 4, f.dimension);
    PutBE16(bytes, 6, f.width);
    PutBE16(bytes, 8, f.height);
    PutBE16(bytes, 10, f.channels);
    return bytes;
}

// A run-length file: the tables, then each row's data at the given offsets.
std::vector<uint8_t> SgiRle(const SgiFields& f, const std::vector<uint32_t>& starts, const std::vector<uint32_t>& lengths,
                            const std::vector<uint8_t>& data) {
    std::vector<uint8_t> tables(8 * starts.size());
    for (size_t i = 0; i < starts.size(); ++i) {
        PutBE32(tables, 4 * i, starts[i]);
        PutBE32(tables, 4 * (starts.size() + i), lengths[i]);
    }
    tables.insert(tables.end(), data.begin(), data.end());
    SgiFields rle = f;
    rle.storage = 1;
    return Sgi(rle, tables);
}

constexpr auto ErrorOf = &LoadError<TSGIImage>;

}  // namespace

TEST(SGIImage, FilesWrittenByOtherToolsLoadWithTheirPixels) {
    const struct {
        const char* stem;
        TPixelFormat format;
    } cases[] = {
        {"sgi_rgb_im", pf24bit},      {"sgi_rgb_rle_im", pf24bit},  {"sgi_rgb_rle_netpbm", pf24bit},
        {"sgi_rgb_pil", pf24bit},     {"sgi_rgba_rle_im", pf32bit}, {"sgi_rgba_pil", pf32bit},
        // The tools store grey pictures with dimension 2.
        {"sgi_grey_rle_im", pf8bit},  {"sgi_grey_netpbm", pf8bit},  {"sgi_grey_pil", pf8bit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stem);
        std::unique_ptr<TSGIImage> sgi;
        ASSERT_NO_FATAL_FAILURE(ExpectFixtureLoads(c.stem, ".sgi", c.format, sgi));
        const TBitmap& picture = sgi->Bitmap();
        EXPECT_EQ(sgi->BitDepth(), TBitmap::BitsPerPixel(c.format));
        if (c.format == pf8bit) {
            EXPECT_EQ(picture.PaletteEntries(), GreyRampPalette());
        }
    }
}

TEST(SGIImage, HeaderChecks) {
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        std::string result;
    } cases[] = {
        {"empty", {}, "Signature err"},
        {"two bytes per channel", Sgi({.bytesPerChannel = 2}, {}), "BPC Err"},
        {"dimension 0", Sgi({.dimension = 0}, {}), "Dimension Err"},
        {"dimension 4", Sgi({.dimension = 4}, {}), "Dimension Err"},
        {"two channels", Sgi({.channels = 2}, {}), "Dimension Err"},
        {"five channels", Sgi({.channels = 5}, {}), "Dimension Err"},
        {"grey with dimension 3", Sgi({.channels = 1}, {7}), "loaded"},
        {"grey with dimension 2", Sgi({.dimension = 2, .channels = 7}, {7}), "loaded"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.file), c.result) << c.name;

    // A file without the magic number loads nothing, silently.
    TSGIImage sgi;
    LoadInto(sgi, Fixture("sgi_rgb_im.sgi"));
    std::vector<uint8_t> bad = Fixture("sgi_rgb_im.sgi");
    bad[1] = 0xDB;
    LoadInto(sgi, bad);
    EXPECT_EQ(sgi.Bitmap().Width(), 11);
    EXPECT_FALSE(sgi.LoadWarning().empty());
    EXPECT_TRUE(LoadSgi(bad)->Bitmap().Empty());
    EXPECT_TRUE(LoadSgi({0x01})->Bitmap().Empty());

    EXPECT_EQ(LoadSgi(Sgi({.width = 0, .height = 3, .channels = 1}, {1, 2}))->Bitmap().Height(), 3);

    // Dimension 1 is a single row, whatever the other sizes say.
    const auto row = LoadSgi(Sgi({.dimension = 1, .width = 2, .height = 9, .channels = 3}, {4, 5}));
    EXPECT_EQ(row->Bitmap().Height(), 1);
    EXPECT_EQ(Colours(row->Bitmap()), (std::vector<TColor>{RGBColor(4, 4, 4), RGBColor(5, 5, 5)}));
}

TEST(SGIImage, RowsAreFoundThroughTheTables) {
    // 2 x 2 grey; stored row 0 (the bottom row) comes last in the file and
    // row 1 uses a copy packet. Decoding stops at a 0 count, at the end of
    // the row's bytes and after width bytes.
    const SgiFields grey = {.width = 2, .height = 2, .channels = 1};
    const uint32_t data = 512 + 16;
    const auto loaded = LoadSgi(SgiRle(grey, {data + 4, data}, {3, 4}, {0x82, 1, 2, 0, 0x02, 9, 0, 0xEE}));
    EXPECT_EQ(Indices(loaded->Bitmap()), (std::vector<uint8_t>{1, 2, 9, 9}));
    EXPECT_TRUE(loaded->RunLength());
    EXPECT_TRUE(loaded->LoadWarning().empty());

    const auto overlong = LoadSgi(SgiRle(grey, {data, data}, {3, 3}, {0x7F, 6, 0}));
    EXPECT_EQ(Indices(overlong->Bitmap()), (std::vector<uint8_t>{6, 6, 6, 6}));

    // A row whose bytes end early, and one that lies past the end of the file.
    const auto cut = LoadSgi(SgiRle(grey, {data, 5000}, {2, 4}, {0x82, 3}));
    EXPECT_EQ(Indices(cut->Bitmap()), (std::vector<uint8_t>{0, 0, 3, 0}));
    EXPECT_FALSE(cut->LoadWarning().empty());

    // Three channels: 0 red, 1 green, 2 blue, from the tables' channel order.
    const SgiFields colour = {.width = 1, .height = 1, .channels = 3};
    const uint32_t at = 512 + 24;
    const auto rgb = LoadSgi(SgiRle(colour, {at, at + 2, at + 4}, {2, 2, 2}, {0x01, 10, 0x01, 20, 0x01, 30}));
    EXPECT_EQ(rgb->Bitmap().Pixel(0, 0), RGBColor(10, 20, 30));

    // Verbatim: planes one after the other, bottom row first.
    const auto plain = LoadSgi(Sgi({.width = 1, .height = 2}, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Colours(plain->Bitmap()), (std::vector<TColor>{RGBColor(2, 4, 6), RGBColor(1, 3, 5)}));
}

TEST(SGIImage, DamagedAndHostileFiles) {
    // Verbatim files cut short keep the rows they hold.
    const auto cut = LoadSgi(Sgi({.width = 2, .height = 2, .channels = 1}, {1, 2, 3}));
    EXPECT_EQ(Indices(cut->Bitmap()), (std::vector<uint8_t>{3, 0, 1, 2}));
    EXPECT_FALSE(cut->LoadWarning().empty());

    const struct {
        const char* name;
        std::vector<uint8_t> file;
    } hostile[] = {
        {"verbatim 65535 x 65535 x 4 in a few bytes", Sgi({.width = 65535, .height = 65535, .channels = 4}, {1, 2, 3})},
        {"run-length tables that promise more than their rows hold",
         SgiRle({.width = 65535, .height = 2000, .channels = 1}, std::vector<uint32_t>(2000, 512 + 16000),
                std::vector<uint32_t>(2000, 0xFFFFFFFF), {0x7F, 1})},
    };
    for (const auto& c : hostile) EXPECT_EQ(ErrorOf(c.file), "Stream read error") << c.name;

    const auto start = std::chrono::steady_clock::now();
    for (const char* file : {"sgi_rgb_rle_im.sgi", "sgi_rgba_pil.sgi", "sgi_grey_rle_im.sgi"}) {
        const std::vector<uint8_t> full = Fixture(file);
        for (size_t length = 1; length < full.size(); ++length) {
            std::vector<uint8_t> part = Cut(full, length);
            try {
                LoadSgi(part);
            } catch (const EInvalidGraphic&) {
                EXPECT_LT(length, 12u) << file;  // a header field is cut off
            }
            // Bytes of the tables and rows changed, one at a time.
            if (length > 512) {
                part = full;
                part[length] ^= 0xA5;
                EXPECT_NO_THROW(LoadSgi(part)) << file << " " << length;
            }
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));  // a hang, not a slow machine
}

TEST(SGIImage, WrittenFilesHaveTheirLayoutAndComeBack) {
    TBitmap square(2, 2);
    square.SetPixel(0, 0, RGBColor(1, 2, 3));
    square.SetPixel(1, 0, RGBColor(4, 5, 6));
    square.SetPixel(0, 1, RGBColor(7, 8, 9));
    square.SetPixel(1, 1, RGBColor(10, 11, 12));
    const std::vector<uint8_t> file = WriteSgi(square);
    ASSERT_EQ(file.size(), 524u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 12),
              (std::vector<uint8_t>{0x01, 0xDA, 0, 1, 0, 3, 0, 2, 0, 2, 0, 3}));
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 12, file.begin() + 20), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 255}));
    EXPECT_TRUE(std::all_of(file.begin() + 20, file.begin() + 512, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 512, file.end()),
              (std::vector<uint8_t>{7, 10, 1, 4, 8, 11, 2, 5, 9, 12, 3, 6}));

    TBitmap withFourth = RandomBitmap(13, 5, 11, pf32bit);
    const std::vector<uint8_t> four = WriteSgi(withFourth);
    EXPECT_EQ(four.size(), 512u + 4 * 13 * 5);
    EXPECT_EQ(PixelBytes(LoadSgi(four)->Bitmap()), PixelBytes(withFourth));
    const TBitmap colour = RandomBitmap(13, 5, 12);
    EXPECT_EQ(PixelBytes(LoadSgi(WriteSgi(colour))->Bitmap()), PixelBytes(colour));
    // Other formats go out as 24-bit; the own picture stays as it is.
    TSGIImage sgi;
    sgi.Assign(RandomBitmap(5, 3, 13, pf8bit));
    const auto back = LoadSgi(Saved(sgi));
    EXPECT_EQ(back->Bitmap().PixelFormat(), pf24bit);
    EXPECT_EQ(Colours(back->Bitmap()), Colours(sgi.Bitmap()));
    EXPECT_EQ(sgi.Bitmap().PixelFormat(), pf8bit);
    EXPECT_THROW(WriteSgi(TBitmap(65536, 1)), EInvalidGraphic);
}
