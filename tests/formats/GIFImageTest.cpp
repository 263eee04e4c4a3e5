#include <gtest/gtest.h>

#include "formats/GIFImage.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

std::unique_ptr<TGIFImage> LoadGif(const std::vector<uint8_t>& bytes) {
    auto gif = std::make_unique<TGIFImage>();
    LoadInto(*gif, bytes);
    return gif;
}

std::vector<uint8_t> WriteGif(const TBitmap& picture, std::optional<uint8_t> transparent = std::nullopt) {
    TMemoryStream stream;
    WriteGIF(picture, stream, transparent);
    return stream.TakeBytes();
}

TBitmap PalettePicture(int width, int height, size_t colours, uint32_t seed) {
    TBitmap picture = RandomBitmap(width, height, seed, pf8bit);
    TPalette palette(colours);
    for (size_t i = 0; i < colours; ++i) palette[i] = {uint8_t(i), uint8_t(i * 5 + 1), uint8_t(250 - i), 0};
    picture.SetPalette(palette);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.ScanLine(y)[x] = uint8_t(picture.ScanLine(y)[x] % colours);
    return picture;
}

void ExpectInvalidGif(const std::vector<uint8_t>& bytes) {
    try {
        LoadGif(bytes);
        ADD_FAILURE() << "loaded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("Invalid GIF file: ")) << e.what();
    }
}

// Logical screen 1 x 1, no colour table, then the given records.
std::vector<uint8_t> GifWith(const std::vector<uint8_t>& records) {
    std::vector<uint8_t> gif = Bytes("GIF89a");
    gif.insert(gif.end(), {1, 0, 1, 0, 0, 0, 0});
    gif.insert(gif.end(), records.begin(), records.end());
    return gif;
}

}  // namespace

TEST(GIFImage, FilesWrittenByOtherToolsLoadAsTheViewerShowsThem) {
    // Global and local colour tables, both interlace writers, transparency
    // from netpbm and PIL, and a frame placed on a larger screen.
    for (const char* stem : {"gif_global", "gif_local", "gif_interlaced", "gif_interlaced_im", "gif_transparent",
                             "gif_pil_transparent", "gif_offset", "gif_offset_transparent"}) {
        SCOPED_TRACE(stem);
        int width = 0, height = 0;
        const std::vector<TColor> expected = Reference(stem, &width, &height);
        const auto gif = LoadGif(Fixture(std::string(stem) + ".gif"));
        const TBitmap& picture = gif->Bitmap();
        EXPECT_EQ(picture.PixelFormat(), pf8bit);
        ASSERT_EQ(picture.Width(), width);
        ASSERT_EQ(picture.Height(), height);
        EXPECT_EQ(Colours(picture), expected);

        const bool transparent = HasAlphaReference(stem);
        EXPECT_EQ(gif->Transparent(), transparent);
        EXPECT_EQ(picture.Transparent(), transparent);
        ASSERT_EQ(gif->TransparentIndex().has_value(), transparent);
        if (!transparent) continue;
        std::vector<uint8_t> seeThrough;
        for (uint8_t index : Indices(picture)) seeThrough.push_back(index == *gif->TransparentIndex() ? 0 : 255);
        EXPECT_EQ(seeThrough, AlphaReference(stem));
    }
}

TEST(GIFImage, WrittenPicturesComeBackWithTheirIndicesAndPalette) {
    for (size_t colours : {256u, 200u, 3u}) {
        SCOPED_TRACE(colours);
        const TBitmap picture = PalettePicture(23, 9, colours, uint32_t(colours));
        const auto back = LoadGif(WriteGif(picture));
        EXPECT_EQ(Indices(back->Bitmap()), Indices(picture));
        EXPECT_EQ(Colours(back->Bitmap()), Colours(picture));
        // The palette comes back padded with black to a power of two.
        const TPalette& palette = back->Bitmap().PaletteEntries();
        ASSERT_GE(palette.size(), colours);
        EXPECT_EQ(TPalette(palette.begin(), palette.begin() + ptrdiff_t(colours)), picture.PaletteEntries());
        EXPECT_FALSE(back->Transparent());
    }
    // 1- and 4-bit pictures keep their colours; others are reduced by the
    // platform's conversion first.
    for (TPixelFormat format : {pf1bit, pf4bit, pf24bit}) {
        SCOPED_TRACE(format);
        const TBitmap picture = RandomBitmap(13, 5, 6, format);
        TBitmap expected(picture);
        expected.SetPixelFormat(pf8bit);
        EXPECT_EQ(Colours(LoadGif(WriteGif(picture))->Bitmap()), Colours(expected));
    }
}

TEST(GIFImage, TransparencyIsWrittenAsOneIndex) {
    const TBitmap picture = PalettePicture(8, 4, 16, 9);
    EXPECT_EQ(LoadGif(WriteGif(picture, 5))->TransparentIndex(), std::optional<uint8_t>(5));

    // The save flow marks the bitmap transparent: its bottom-left pixel's
    // index becomes the transparent one.
    TBitmap marked(picture);
    marked.SetTransparent(true);
    TGIFImage gif;
    gif.Assign(marked);
    EXPECT_TRUE(gif.Transparent());
    const auto back = LoadGif(Saved(gif));
    EXPECT_EQ(back->TransparentIndex(), std::optional<uint8_t>(picture.PixelIndex(0, 3)));
    // Saving a loaded file keeps its index; handing a plain bitmap over
    // drops it.
    EXPECT_EQ(LoadGif(Saved(*back))->TransparentIndex(), back->TransparentIndex());
    back->Assign(picture);
    EXPECT_FALSE(back->Transparent());
    EXPECT_FALSE(LoadGif(Saved(*back))->TransparentIndex().has_value());
}

TEST(GIFImage, HostileFilesGiveOneClearError) {
    for (const char* stem : {"gif_interlaced", "gif_offset_transparent", "gif_local"}) {
        SCOPED_TRACE(stem);
        const std::vector<uint8_t> file = Fixture(std::string(stem) + ".gif");
        const std::vector<TColor> expected = Reference(stem);
        for (size_t length = 0; length < file.size(); ++length) {
            try {
                // Only the trailer may be missing.
                EXPECT_EQ(Colours(LoadGif(Cut(file, length))->Bitmap()), expected) << length;
                EXPECT_EQ(length, file.size() - 1);
            } catch (const EInvalidGraphic& e) {
                EXPECT_TRUE(std::string(e.what()).starts_with("Invalid GIF file: ")) << e.what();
            }
        }
    }

    std::vector<uint8_t> badSignature = Fixture("gif_global.gif");
    badSignature[0] = 'J';
    ExpectInvalidGif(badSignature);
    ExpectInvalidGif(GifWith({';'}));                                // no picture
    ExpectInvalidGif(GifWith({',', 0, 0, 0, 0, 0, 0, 1, 0, 0, 2}));  // empty frame
    ExpectInvalidGif(GifWith({'!', 0xF9, 4, 1, 0}));                 // cut inside an extension
    // Image data that ends (clear, clear, end code) before the frame is full.
    ExpectInvalidGif(GifWith({',', 0, 0, 0, 0, 4, 0, 4, 0, 0, 2, 2, 0x64, 0x01, 0, ';'}));
    // Damaged bytes anywhere: the picture or one clear error, nothing else.
    const std::vector<uint8_t> good = Fixture("gif_interlaced.gif");
    std::mt19937 random(7);
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<uint8_t> damaged = good;
        for (int i = 0; i < 3; ++i) damaged[random() % damaged.size()] = uint8_t(random());
        try {
            LoadGif(damaged);
        } catch (const EInvalidGraphic&) {
        }
    }

    // A 65535 x 65535 frame in a few bytes is refused before the picture is
    // allocated; a huge screen around a small frame leaves the frame alone.
    TPixelBytesCap cap(1 << 20);
    std::vector<uint8_t> hugeFrame = Fixture("gif_global.gif");
    const size_t descriptor = 13 + (size_t(3) << ((hugeFrame[10] & 7) + 1));  // after the screen and its table
    ASSERT_EQ(hugeFrame[descriptor], ',');
    PutLE16(hugeFrame, descriptor + 5, 65535);
    PutLE16(hugeFrame, descriptor + 7, 65535);
    ExpectInvalidGif(hugeFrame);
    std::vector<uint8_t> hugeScreen = Fixture("gif_global.gif");
    PutLE16(hugeScreen, 6, 65535);
    PutLE16(hugeScreen, 8, 65535);
    const auto frameOnly = LoadGif(hugeScreen);
    EXPECT_EQ(Colours(frameOnly->Bitmap()), Reference("gif_global"));
}

TEST(GIFImage, FailedWritesRaiseAndKeepTheExistingFile) {
    const TBitmap picture = PalettePicture(50, 20, 256, 2);
    for (int64_t capacity : {0, 5, 13, 400, 900}) {
        TFailingStream stream(capacity);
        EXPECT_THROW(WriteGIF(picture, stream, 3), EWriteError) << capacity;
    }
    EXPECT_THROW(WriteGif(TBitmap()), EInvalidGraphic);
    EXPECT_THROW(WriteGif(TBitmap(65536, 1, pf8bit)), EInvalidGraphic);

    ExpectFailedSaveKeepsFile("failed.gif", [&](const std::string& path) {
        TGIFImage gif;
        gif.Assign(RandomBitmap(30, 30, 1));  // 24-bit: the writer needs an indexed copy
        TPixelBytesCap cap(100);
        gif.SaveToFile(path);
    });
}
