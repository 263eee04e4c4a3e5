#include <gtest/gtest.h>

#include <chrono>

#include "formats/GLDPNGImage.h"
#include "platform/Palettes.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

std::unique_ptr<TGLDPNG> LoadPng(const std::vector<uint8_t>& bytes) {
    auto png = std::make_unique<TGLDPNG>();
    LoadInto(*png, bytes);
    return png;
}

std::vector<uint8_t> WritePng(const TBitmap& picture, const TPNGWriteOptions& options = {},
                              const TBitmap* alpha = nullptr) {
    TMemoryStream stream;
    WritePNG(picture, stream, options, alpha);
    return stream.TakeBytes();
}

struct Ihdr {
    int bitDepth, colourType, interlace;
    friend bool operator==(const Ihdr&, const Ihdr&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Ihdr& h) {
        return os << "depth " << h.bitDepth << " type " << h.colourType << " interlace " << h.interlace;
    }
};
Ihdr HeaderOf(const std::vector<uint8_t>& png) { return {png.at(24), png.at(25), png.at(28)}; }

bool HasChunk(const std::vector<uint8_t>& png, const char* type) {
    return std::search(png.begin(), png.end(), type, type + 4) != png.end();
}

std::vector<uint8_t> AlphaLevels(const TGLDPNG& png) {
    std::vector<uint8_t> alpha;
    for (TColor c : Colours(png.AlphaBitmap())) alpha.push_back(GetRValue(c));
    return alpha;
}

TPalette TestPalette(size_t count) {
    TPalette palette(count);
    for (size_t i = 0; i < count; ++i) palette[i] = {uint8_t(i * 7 + 3), uint8_t(255 - i), uint8_t(i * 13), 0};
    return palette;
}

TBitmap IndexedPicture(TPixelFormat format, uint32_t seed) {
    TBitmap picture = RandomBitmap(11, 6, seed, format);
    picture.SetPalette(TestPalette(size_t(1) << TBitmap::BitsPerPixel(format)));
    return picture;
}

std::vector<TColor> GreyOf(const std::vector<TColor>& colours) {
    std::vector<TColor> grey;
    for (TColor c : colours) {
        const uint8_t g = uint8_t((77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8);
        grey.push_back(RGBColor(g, g, g));
    }
    return grey;
}

}  // namespace

TEST(PNGImage, FilesWrittenByOtherToolsLoadWithTheirPixelsAndAlpha) {
    const struct {
        const char* stem;
        TPixelFormat format;
    } cases[] = {
        {"png_grey1", pf8bit},      {"png_grey2", pf8bit},       {"png_grey4", pf8bit},
        {"png_grey8", pf8bit},      {"png_grey16", pf8bit},      {"png_grey2_adam7", pf8bit},
        {"png_rgb8", pf24bit},      {"png_rgb8_adam7", pf24bit}, {"png_rgb16", pf24bit},
        {"png_pal1", pf8bit},       {"png_pal2", pf8bit},        {"png_pal4", pf8bit},
        {"png_pal4_adam7", pf8bit}, {"png_pal8", pf8bit},        {"png_greya8", pf8bit},
        {"png_greya16", pf8bit},    {"png_rgba8", pf24bit},      {"png_rgba8_adam7", pf24bit},
        {"png_rgba16", pf24bit},    {"png_pal4_trns", pf8bit},   {"png_pal8_trns", pf8bit},
        {"png_rgb8_trns", pf24bit}, {"png_rgb16_trns", pf24bit}, {"png_grey8_trns", pf8bit},
        {"png_grey16_trns", pf8bit}, {"png_grey2_trns", pf8bit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stem);
        int width = 0, height = 0;
        const std::vector<TColor> expected = Reference(c.stem, &width, &height);
        const auto png = LoadPng(Fixture(std::string(c.stem) + ".png"));
        const TBitmap& picture = png->Bitmap();
        EXPECT_EQ(picture.PixelFormat(), c.format);
        ASSERT_EQ(picture.Width(), width);
        ASSERT_EQ(picture.Height(), height);
        EXPECT_EQ(Colours(picture), expected);
        if (std::string(c.stem).starts_with("png_grey")) {
            EXPECT_EQ(picture.PaletteEntries(), GreyRampPalette());
        }

        ASSERT_EQ(png->HasAlpha(), HasAlphaReference(c.stem));
        if (!png->HasAlpha()) continue;
        const TBitmap& alpha = png->AlphaBitmap();
        EXPECT_EQ(alpha.PixelFormat(), pf8bit);
        EXPECT_EQ(alpha.PaletteEntries(), GreyRampPalette());
        EXPECT_EQ(Indices(alpha), AlphaReference(c.stem));
    }
}

TEST(PNGImage, WrittenPicturesComeBackWithTheirPixels) {
    // Indexed pictures keep their bit depth as palette files; every other
    // format becomes 8-bit RGB.
    const struct {
        TPixelFormat format;
        Ihdr header;
    } cases[] = {
        {pf1bit, {1, 3, 0}}, {pf4bit, {4, 3, 0}},  {pf8bit, {8, 3, 0}},  {pf15bit, {8, 2, 0}},
        {pf16bit, {8, 2, 0}}, {pf24bit, {8, 2, 0}}, {pf32bit, {8, 2, 0}},
    };
    for (const auto& c : cases) {
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "format " << c.format << " interlaced " << interlaced);
            const TBitmap picture = TBitmap::IsIndexed(c.format) ? IndexedPicture(c.format, 3)
                                                                 : RandomBitmap(11, 6, 3, c.format);
            TPNGWriteOptions options;
            options.Interlaced = interlaced;
            const std::vector<uint8_t> file = WritePng(picture, options);
            EXPECT_EQ(HeaderOf(file), (Ihdr{c.header.bitDepth, c.header.colourType, interlaced ? 1 : 0}));
            EXPECT_FALSE(HasChunk(file, "tRNS"));
            const auto back = LoadPng(file);
            EXPECT_EQ(Colours(back->Bitmap()), Colours(picture));
            EXPECT_FALSE(back->HasAlpha());
        }
    }
}

TEST(PNGImage, GrayscaleOutputWritesTheLumaOfEveryPixel) {
    for (const TBitmap& picture : {RandomBitmap(9, 4, 8), IndexedPicture(pf8bit, 8), IndexedPicture(pf4bit, 8)}) {
        TPNGWriteOptions options;
        options.Grayscale = true;
        const std::vector<uint8_t> file = WritePng(picture, options);
        EXPECT_EQ(HeaderOf(file), (Ihdr{8, 0, 0}));
        EXPECT_EQ(Colours(LoadPng(file)->Bitmap()), GreyOf(Colours(picture)));
    }
}

TEST(PNGImage, TransparentColourMarksExactlyThatColour) {
    // A palette picture: every entry of that colour (here two) becomes
    // transparent, also when written grey.
    TBitmap indexed = IndexedPicture(pf8bit, 5);
    TPalette palette = indexed.PaletteEntries();
    palette[200] = palette[7];
    indexed.SetPalette(palette);
    indexed.ScanLine(0)[0] = 7;
    indexed.ScanLine(1)[0] = 200;
    const TColor key = indexed.Pixel(0, 0);
    for (bool grayscale : {false, true}) {
        SCOPED_TRACE(grayscale);
        TPNGWriteOptions options;
        options.TransparentColor = key;
        options.Grayscale = grayscale;
        const std::vector<uint8_t> file = WritePng(indexed, options);
        EXPECT_EQ(HeaderOf(file), (Ihdr{8, 3, 0}));
        const auto back = LoadPng(file);
        ASSERT_TRUE(back->HasAlpha());
        const std::vector<TColor> colours = Colours(indexed);
        std::vector<uint8_t> expected;
        for (TColor c : colours) expected.push_back(c == key ? 0 : 255);
        EXPECT_EQ(AlphaLevels(*back), expected);
        EXPECT_EQ(Colours(back->Bitmap()), grayscale ? GreyOf(colours) : colours);
    }

    // A colour picture gets the single-colour transparency of RGB files.
    TBitmap colour = RandomBitmap(6, 3, 2);
    colour.SetPixel(4, 2, colour.Pixel(1, 0));
    TPNGWriteOptions options;
    options.TransparentColor = colour.Pixel(1, 0);
    const auto back = LoadPng(WritePng(colour, options));
    std::vector<uint8_t> expected(18, 255);
    expected[1] = expected[2 * 6 + 4] = 0;
    EXPECT_EQ(AlphaLevels(*back), expected);
}

TEST(PNGImage, AlphaPlaneIsWrittenAndReadBack) {
    const TBitmap picture = RandomBitmap(10, 7, 21);
    TBitmap alpha = RandomBitmap(10, 7, 22, pf8bit);
    alpha.SetPalette(GreyRampPalette());
    for (bool grayscale : {false, true}) {
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "grayscale " << grayscale << " interlaced " << interlaced);
            TGLDPNG png;
            png.Assign(picture);
            png.SetAlphaBitmap(alpha);
            png.WriteOptions().Grayscale = grayscale;
            png.WriteOptions().Interlaced = interlaced;
            const std::vector<uint8_t> file = Saved(png);
            EXPECT_EQ(HeaderOf(file), (Ihdr{8, grayscale ? 4 : 6, interlaced ? 1 : 0}));
            const auto back = LoadPng(file);
            EXPECT_EQ(Colours(back->Bitmap()), grayscale ? GreyOf(Colours(picture)) : Colours(picture));
            ASSERT_TRUE(back->HasAlpha());
            EXPECT_EQ(Indices(back->AlphaBitmap()), Indices(alpha));
            // Saving what was read keeps the plane.
            EXPECT_EQ(Indices(LoadPng(Saved(*back))->AlphaBitmap()), Indices(alpha));
        }
    }

    // A 24-bit grey picture serves as a plane too; a plane of another size
    // is refused.
    TBitmap greyPlane(10, 7, pf24bit);
    greyPlane.FillRect(Rect(0, 0, 10, 7), RGBColor(90, 90, 90));
    TGLDPNG png;
    png.Assign(picture);
    png.SetAlphaBitmap(greyPlane);
    EXPECT_EQ(Indices(LoadPng(Saved(png))->AlphaBitmap()), std::vector<uint8_t>(70, 90));
    TBitmap wrongSize(9, 7, pf8bit);
    EXPECT_THROW(WritePng(picture, {}, &wrongSize), EInvalidGraphic);

    // Handing a bitmap over drops the plane; the alpha path sets it after.
    png.Assign(RandomBitmap(3, 3, 1));
    EXPECT_FALSE(png.HasAlpha());
    EXPECT_FALSE(LoadPng(Saved(png))->HasAlpha());
}

TEST(PNGImage, HostileFilesGiveOneClearError) {
    auto expectInvalid = [](const std::vector<uint8_t>& bytes) {
        try {
            LoadPng(bytes);
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with("Invalid PNG file: ")) << e.what();
        }
    };
    // Truncation: a clear error, or (once the image data is complete) the
    // whole picture.
    for (const char* stem : {"png_rgba8_adam7", "png_pal4_trns", "png_rgb16"}) {
        SCOPED_TRACE(stem);
        const std::vector<uint8_t> file = Fixture(std::string(stem) + ".png");
        const std::vector<TColor> expected = Reference(stem);
        size_t firstLoaded = file.size();
        for (size_t length = 0; length < file.size(); ++length) {
            try {
                const auto png = LoadPng(Cut(file, length));
                EXPECT_EQ(Colours(png->Bitmap()), expected) << length;
                firstLoaded = std::min(firstLoaded, length);
            } catch (const EInvalidGraphic& e) {
                EXPECT_TRUE(std::string(e.what()).starts_with("Invalid PNG file: ")) << e.what();
            }
        }
        EXPECT_GE(firstLoaded, file.size() - 12) << "only the end chunk may be missing";
    }

    const std::vector<uint8_t> good = Fixture("png_rgb8.png");
    std::vector<uint8_t> badSignature = good;
    badSignature[1] = 'Q';
    expectInvalid(badSignature);
    std::vector<uint8_t> badChecksum = good;
    badChecksum[40] ^= 0x55;  // inside the image data
    expectInvalid(badChecksum);

    // Absurd sizes are refused before any picture is allocated, whether
    // libpng's limit or the image data's size stops them.
    TPixelBytesCap cap(1 << 20);
    for (auto [w, h] : {std::pair{100000u, 100000u}, {20000u, 20000u}, {1u << 25, 1u}, {1u, 1u << 25}}) {
        SCOPED_TRACE(::testing::Message() << w << " x " << h);
        expectInvalid(WithPngSize(good, w, h));
    }
}

TEST(PNGImage, ChunksTheReaderDoesNotUseCostNothing) {
    const std::vector<uint8_t> good = Fixture("png_rgb8.png");
    auto withChunk = [&](const char* type, uint32_t declared, const std::vector<uint8_t>& body) {
        std::vector<uint8_t> file(good.begin(), good.begin() + 33);  // signature and header
        std::vector<uint8_t> chunk(8);
        PutBE32(chunk, 0, declared);
        std::copy(type, type + 4, chunk.begin() + 4);
        chunk.insert(chunk.end(), body.begin(), body.end());
        std::vector<uint8_t> crc(4);
        PutBE32(crc, 0, Crc32(chunk.data() + 4, chunk.size() - 4));
        if (declared == body.size()) chunk.insert(chunk.end(), crc.begin(), crc.end());
        file.insert(file.end(), chunk.begin(), chunk.end());
        file.insert(file.end(), good.begin() + 33, good.end());
        return file;
    };
    for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT"}) {
        SCOPED_TRACE(type);
        // Declaring 2 GB in a few bytes: libpng would allocate and clear it.
        const auto start = std::chrono::steady_clock::now();
        EXPECT_THROW(LoadPng(withChunk(type, 0x7FFFFFF0u, {'k', 0, 'x'})), EInvalidGraphic);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
        // A real one is passed over.
        const std::vector<uint8_t> body = {'k', 'e', 'y', 0, 0, 0, 0, 0};
        EXPECT_EQ(Colours(LoadPng(withChunk(type, uint32_t(body.size()), body))->Bitmap()), Reference("png_rgb8"));
    }
}

TEST(PNGImage, FailedWritesRaiseAndKeepTheExistingFile) {
    const TBitmap picture = RandomBitmap(40, 30, 4);
    for (int64_t capacity : {0, 10, 60, 200}) {
        TFailingStream stream(capacity);
        EXPECT_THROW(WritePNG(picture, stream), EWriteError) << capacity;
    }
    EXPECT_THROW(WritePng(TBitmap()), EInvalidGraphic);

    ExpectFailedSaveKeepsFile("alpha.png", [&](const std::string& path) {
        TGLDPNG png;
        png.Assign(picture);
        png.SetAlphaBitmap(TBitmap(3, 3, pf8bit));
        png.SaveToFile(path);
    });
    const std::string path = TempPath("written.png");
    TGLDPNG png;
    png.Assign(picture);
    png.SaveToFile(path);
    EXPECT_EQ(Colours(LoadPng(ReadFileBytes(path))->Bitmap()), Colours(picture));
    std::filesystem::remove(path);
}

TEST(PNGImage, DamagedBytesGiveThePictureOrOneClearError) {
    for (const char* stem : {"png_rgba8_adam7", "png_pal8_trns", "png_grey2"}) {
        const std::vector<uint8_t> good = Fixture(std::string(stem) + ".png");
        std::mt19937 random(11);
        for (int trial = 0; trial < 300; ++trial) {
            std::vector<uint8_t> damaged = good;
            for (int i = 0; i < 2; ++i) damaged[8 + random() % (damaged.size() - 8)] = uint8_t(random());
            try {
                LoadPng(damaged);
            } catch (const EInvalidGraphic&) {
            }
        }
    }
}
