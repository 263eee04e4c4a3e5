#include <gtest/gtest.h>

#include <cstdlib>

#include "formats/FormatRegistry.h"
#include "formats/TiffDecodeUtils.h"
#include "formats/TiffTagNodes.h"
#include "formats/novTIFFImage.h"
#include "save/ZetJPEGImage.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

constexpr auto LoadTiff = &Loaded<TnovTIFFImage>;

constexpr auto ErrorOf = &LoadError<TnovTIFFImage>;

// Builds a TIFF file: header, then the data blobs, then the one directory;
// entries whose values do not fit in 4 bytes get them after the directory.
class TiffBuilder {
public:
    explicit TiffBuilder(bool little = true) : little_(little) {}

    // Appends raw bytes (pixel data) and returns their offset.
    uint32_t Data(const std::vector<uint8_t>& bytes) {
        const uint32_t at = uint32_t(8 + data_.size());
        data_.insert(data_.end(), bytes.begin(), bytes.end());
        return at;
    }
    TiffBuilder& Short(uint16_t tag, std::vector<uint16_t> values) {
        std::vector<uint8_t> raw;
        for (uint16_t v : values) Put(raw, v, 2);
        return Entry(tag, 3, uint32_t(values.size()), raw);
    }
    TiffBuilder& Long(uint16_t tag, std::vector<uint32_t> values) {
        std::vector<uint8_t> raw;
        for (uint32_t v : values) Put(raw, v, 4);
        return Entry(tag, 4, uint32_t(values.size()), raw);
    }
    TiffBuilder& Entry(uint16_t tag, uint16_t type, uint32_t count, std::vector<uint8_t> raw) {
        entries_.push_back({tag, type, count, std::move(raw)});
        return *this;
    }

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> file = little_ ? std::vector<uint8_t>{'I', 'I'} : std::vector<uint8_t>{'M', 'M'};
        Put(file, 42, 2);
        const uint32_t ifd = uint32_t(8 + data_.size());
        Put(file, ifd, 4);
        file.insert(file.end(), data_.begin(), data_.end());
        Put(file, uint32_t(entries_.size()), 2);
        uint32_t overflow = ifd + 2 + 12 * uint32_t(entries_.size()) + 4;
        std::vector<uint8_t> extra;
        for (const auto& e : entries_) {
            Put(file, e.tag, 2);
            Put(file, e.type, 2);
            Put(file, e.count, 4);
            if (e.raw.size() <= 4) {
                std::vector<uint8_t> inline4 = e.raw;
                inline4.resize(4, 0);
                file.insert(file.end(), inline4.begin(), inline4.end());
            } else {
                Put(file, overflow + uint32_t(extra.size()), 4);
                extra.insert(extra.end(), e.raw.begin(), e.raw.end());
            }
        }
        Put(file, 0, 4);
        file.insert(file.end(), extra.begin(), extra.end());
        return file;
    }

private:
    struct Item {
        uint16_t tag, type;
        uint32_t count;
        std::vector<uint8_t> raw;
    };
    void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) const {
        for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * (little_ ? i : bytes - 1 - i))));
    }
    bool little_;
    std::vector<uint8_t> data_;
    std::vector<Item> entries_;
};

// An uncompressed 8-bit grey picture of the given size whose pixel data is
// the given bytes (which may be fewer than the picture needs).
std::vector<uint8_t> GreyTiff(uint32_t width, uint32_t height, const std::vector<uint8_t>& pixels, bool little = true) {
    TiffBuilder b(little);
    const uint32_t at = b.Data(pixels);
    b.Long(256, {width}).Long(257, {height}).Short(258, {8}).Short(259, {1}).Short(262, {1});
    b.Long(273, {at}).Short(277, {1}).Long(278, {height}).Long(279, {uint32_t(pixels.size())});
    return b.Bytes();
}

std::vector<uint8_t> JpegOf(const TBitmap& picture) {
    TJPEGImage jpeg;
    jpeg.Assign(picture);
    return Saved(jpeg);
}

TBitmap Decoded(const std::vector<uint8_t>& jpegBytes) {
    TJPEGImage jpeg;
    LoadInto(jpeg, jpegBytes);
    TBitmap picture;
    picture.Assign(jpeg);
    return picture;
}

TBitmap TestPicture(int width, int height) {
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.SetPixel(x, y, RGBColor(uint8_t(x * 20), uint8_t(y * 30), 90));
    return picture;
}

}  // namespace

TEST(TIFFImage, FilesWrittenByOtherToolsLoadWithTheirPixels) {
    const struct {
        const char* stem;
        TPixelFormat format;
        int bitDepth;
        int tolerance;  // mean difference per channel, for lossy files
    } cases[] = {
        {"tiff_rgb_none_ii", pf24bit, 24, 0},        {"tiff_rgb_lzw_mm", pf24bit, 24, 0},
        {"tiff_rgb_deflate_predictor", pf24bit, 24, 0}, {"tiff_rgb_packbits_strips", pf24bit, 24, 0},
        {"tiff_rgb_tiled", pf24bit, 24, 0},          {"tiff_rgb_planar", pf24bit, 24, 0},
        {"tiff_rgb_jpeg", pf24bit, 24, 3},          {"tiff_two_pages", pf24bit, 24, 0},
        {"tiff_pal8", pf8bit, 8, 0},                 {"tiff_pal8_pil", pf8bit, 8, 0},
        {"tiff_pal4", pf4bit, 4, 0},                 {"tiff_grey8", pf8bit, 8, 0},
        {"tiff_grey16_mm", pf32bit, 8, 0},           {"tiff_rgb16", pf32bit, 24, 0},
        {"tiff_bilevel_g4", pf1bit, 1, 0},           {"tiff_bilevel_pil", pf1bit, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stem);
        int width = 0, height = 0;
        const std::vector<TColor> expected = Reference(c.stem, &width, &height);
        const auto tiff = LoadTiff(Fixture(std::string(c.stem) + ".tif"));
        const TBitmap& picture = tiff->Bitmap();
        EXPECT_EQ(picture.PixelFormat(), c.format);
        EXPECT_EQ(tiff->BitDepth(), c.bitDepth);
        EXPECT_EQ(tiff->LoadWarning(), "");
        ASSERT_EQ(picture.Width(), width);
        ASSERT_EQ(picture.Height(), height);
        const std::vector<TColor> got = Colours(picture);
        ASSERT_EQ(got.size(), expected.size());
        double error = 0;
        for (size_t i = 0; i < got.size(); ++i)
            for (int shift : {0, 8, 16})
                error += std::abs(int((got[i] >> shift) & 0xFF) - int((expected[i] >> shift) & 0xFF));
        EXPECT_LE(error / double(3 * got.size()), c.tolerance);
    }
}

TEST(TIFFImage, BilevelPaletteFollowsThePhotometricInterpretation) {
    // Pillow writes min-is-black (0 bits black), ImageMagick's Group 4 min-is-white.
    const TPalette blackFirst = {{0, 0, 0, 0}, {255, 255, 255, 0}}, whiteFirst = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    EXPECT_EQ(LoadTiff(Fixture("tiff_bilevel_pil.tif"))->Bitmap().PaletteEntries(), blackFirst);
    EXPECT_EQ(LoadTiff(Fixture("tiff_bilevel_g4.tif"))->Bitmap().PaletteEntries(), whiteFirst);

    // 8-bit min-is-white inverts the ramp.
    TiffBuilder b;
    const uint32_t at = b.Data({0, 255});
    b.Long(256, {2}).Long(257, {1}).Short(258, {8}).Short(262, {0}).Long(273, {at}).Long(279, {2});
    const TBitmap picture = LoadTiff(b.Bytes())->Bitmap();
    EXPECT_EQ(Colours(picture), (std::vector<TColor>{clWhite, clBlack}));
}

TEST(TIFFImage, ColourMapKeepsTheHighBytesAndServesFourBitFiles) {
    // Three 4-bit entries; the low bytes of the 16-bit values must not count.
    std::vector<uint16_t> map(48, 0);
    map[0] = 0x12FF, map[16] = 0x34FF, map[32] = 0x5600;  // entry 0
    map[2] = 0xFF00, map[18] = 0x8080, map[34] = 0x0001;  // entry 2
    TiffBuilder b;
    const uint32_t at = b.Data({0x02, 0x20});
    b.Long(256, {3}).Long(257, {1}).Short(258, {4}).Short(262, {3}).Long(273, {at}).Long(279, {2}).Short(320, map);
    const auto tiff = LoadTiff(b.Bytes());
    EXPECT_EQ(tiff->Bitmap().PixelFormat(), pf4bit);
    EXPECT_EQ(Colours(tiff->Bitmap()),
              (std::vector<TColor>{RGBColor(0x12, 0x34, 0x56), RGBColor(0xFF, 0x80, 0x00), RGBColor(0xFF, 0x80, 0x00)}));
    EXPECT_EQ(TiffColourMap()[2], (TTiffColour{0x00, 0x80, 0xFF}));
}

TEST(TIFFImage, TagTreeNamesEveryEntry) {
    TiffBuilder b(false);
    const uint32_t at = b.Data({1, 2, 3, 4});
    b.Long(256, {2}).Long(257, {2}).Short(258, {8}).Short(262, {1}).Long(273, {at}).Long(279, {4});
    b.Entry(50000, 1, 3, {7, 8, 9}).Entry(270, 2, 9, Bytes("a picture"));
    b.Entry(700, 13, 1, {0, 0, 0, 5});
    LoadTiff(b.Bytes());

    const TNode& root = TiffTagRoot();
    EXPECT_EQ(root.Name, "root");
    static const TTiffTagNode missing;
    const auto node = [&](const char* name) -> const TTiffTagNode& {
        const auto* n = dynamic_cast<const TTiffTagNode*>(root.Find(name));
        EXPECT_NE(n, nullptr) << name;
        EXPECT_EQ(n ? n->Parent() : nullptr, &root);
        return n ? *n : missing;
    };
    EXPECT_EQ(root.Children().size(), 9u);
    const TTiffTagNode& width = node("ImageWidth");
    EXPECT_EQ(width.TypeName, "LONG");
    EXPECT_EQ(width.Value, 2u);
    EXPECT_EQ(width.ValueSize, 4u);
    EXPECT_FALSE(width.IsOffset);
    EXPECT_EQ(node("BitsPerSample").Value, 8u);  // a big-endian SHORT in the high half
    const TTiffTagNode& privateTag = node("TagCode=C350");
    EXPECT_EQ(privateTag.TypeName, "BYTE");
    EXPECT_EQ(privateTag.Value, 9u);  // the last inline value
    EXPECT_EQ(privateTag.Count, 3u);
    const TTiffTagNode& text = node("ImageDescription");
    EXPECT_EQ(text.TypeName, "ASCII");
    EXPECT_TRUE(text.IsOffset);
    EXPECT_EQ(text.ResolvedValue, -1);
    EXPECT_EQ(node("TagCode=2BC").TypeName, "unknown");
    EXPECT_EQ(TiffTagName(0x05), "TagCode=05");
    EXPECT_EQ(TiffTagName(33432), "Copyright");

    // Multi-valued strip offsets are resolved to their first element.
    TiffBuilder strips;
    const uint32_t first = strips.Data({10, 20}), second = strips.Data({30, 40});
    strips.Long(256, {2}).Long(257, {2}).Short(258, {8}).Short(262, {1}).Long(278, {1});
    strips.Long(273, {first, second}).Long(279, {2, 2});
    const auto tiff = LoadTiff(strips.Bytes());
    const auto* offsets = dynamic_cast<const TTiffTagNode*>(TiffTagRoot().Find("StripOffsets"));
    ASSERT_NE(offsets, nullptr);
    EXPECT_TRUE(offsets->IsOffset);
    EXPECT_EQ(offsets->ResolvedValue, first);
    EXPECT_EQ(Indices(tiff->Bitmap()), (std::vector<uint8_t>{10, 20, 30, 40}));
}

TEST(TIFFImage, OldStyleJpegIsDecodedByTheJpegClass) {
    const TBitmap source = TestPicture(16, 8);
    const std::vector<uint8_t> jpeg = JpegOf(source);
    const TBitmap expected = Decoded(jpeg);

    for (const bool interchange : {true, false}) {
        SCOPED_TRACE(interchange ? "JpegInterchangeFormat" : "strip");
        TiffBuilder b(!interchange);
        const uint32_t at = b.Data(jpeg);
        b.Long(256, {16}).Long(257, {8}).Short(259, {6}).Short(262, {6});
        if (interchange)
            b.Long(513, {at}).Long(514, {uint32_t(jpeg.size())});
        else
            b.Long(273, {at}).Long(279, {uint32_t(jpeg.size())});
        const auto tiff = LoadTiff(b.Bytes());
        EXPECT_EQ(tiff->Bitmap().PixelFormat(), pf24bit);
        EXPECT_EQ(tiff->BitDepth(), 24);
        EXPECT_EQ(Colours(tiff->Bitmap()), Colours(expected));
    }

    // Without the length the picture stays empty, without error.
    TiffBuilder lengthless;
    lengthless.Data(jpeg);
    lengthless.Long(256, {16}).Long(257, {8}).Short(259, {6}).Long(513, {8});
    EXPECT_TRUE(LoadTiff(lengthless.Bytes())->Bitmap().Empty());
}

TEST(TIFFImage, BadFilesRaiseTheirErrorsWithoutPrintingAnything) {
    std::vector<uint8_t> wrongVersion = GreyTiff(2, 1, {1, 2});
    wrongVersion[2] = 43;
    std::vector<uint8_t> noWidth = TiffBuilder().Short(258, {8}).Short(262, {1}).Bytes();
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        std::string message;
    } cases[] = {
        {"byte order", Bytes("XX*\0\x08\0\0\0"), "Byte order error"},
        {"empty", {}, "Byte order error"},
        {"version", wrongVersion, "TIFF version error"},
        {"cut header", Bytes("II*"), "TIFF version error"},
        {"directory outside the file", Bytes(std::string("II*\0\xF0\0\0\0", 8)), "LibTiff TIFFOpenStream() error: "},
        {"no image width", noWidth, "LibTiff TIFFOpenStream() error: "},
        {"huge picture, a few bytes", GreyTiff(60000, 60000, {1, 2, 3}), "Unable to create TBitmap buffer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::internal::CaptureStderr();
        const std::string error = ErrorOf(c.file);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(error.substr(0, c.message.size()), c.message);
        // libtiff's reason follows its messages.
        if (c.message.back() == ' ') {
            EXPECT_GT(error.size(), c.message.size());
        }
    }
}

TEST(TIFFImage, ACutFileShowsWhatItHoldsWithAWarning) {
    // One strip per row; the strips of rows 2 and 3 lie past the end of the file.
    TiffBuilder b;
    const uint32_t row0 = b.Data({1, 2, 3}), row1 = b.Data({4, 5, 6});
    b.Long(256, {3}).Long(257, {4}).Short(258, {8}).Short(262, {1}).Long(278, {1});
    b.Long(273, {row0, row1, 90000, 90003}).Long(279, {3, 3, 3, 3});
    testing::internal::CaptureStderr();
    const auto tiff = LoadTiff(b.Bytes());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Indices(tiff->Bitmap()), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0, 0, 0, 0, 0, 0}));
    EXPECT_NE(tiff->LoadWarning(), "");

    // One uncompressed strip cut short: libtiff refuses it, its rows in the
    // file still show (Pillow writes the directory before the data).
    const std::vector<uint8_t> grey = Fixture("tiff_grey8.tif");
    const auto cutGrey = LoadTiff(Cut(grey, grey.size() - 19 * 5 - 3));
    const std::vector<TColor> whole = Reference("tiff_grey8"), shown = Colours(cutGrey->Bitmap());
    ASSERT_EQ(shown.size(), whole.size());
    EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + 19 * 11, shown.begin()));
    EXPECT_EQ(shown[19 * 12], clBlack);
    EXPECT_NE(cutGrey->LoadWarning(), "");

    // The same through the RGBA route: RGB strips, the last two past the end.
    TiffBuilder rgb;
    const uint32_t top = rgb.Data({10, 20, 30, 40, 50, 60}), second = rgb.Data({70, 80, 90, 100, 110, 120});
    rgb.Long(256, {2}).Long(257, {4}).Short(258, {8, 8, 8}).Short(262, {2}).Short(277, {3}).Long(278, {1});
    rgb.Long(273, {top, second, 90000, 90006}).Long(279, {6, 6, 6, 6});
    testing::internal::CaptureStderr();
    const auto cut = LoadTiff(rgb.Bytes());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(cut->Bitmap().PixelFormat(), pf24bit);
    EXPECT_EQ(cut->Bitmap().Pixel(0, 0), RGBColor(10, 20, 30));
    EXPECT_EQ(cut->Bitmap().Pixel(1, 1), RGBColor(100, 110, 120));
    EXPECT_NE(cut->LoadWarning(), "");
}

TEST(TIFFImage, TruncatedAndMutatedFilesNeverCrash) {
    for (const char* name : {"tiff_rgb_lzw_mm.tif", "tiff_pal4.tif", "tiff_rgb_tiled.tif", "tiff_bilevel_g4.tif"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = Fixture(name);
        testing::internal::CaptureStderr();
        for (size_t length = 0; length < file.size(); length += 7) {
            try {
                LoadTiff(Cut(file, length));
            } catch (const Exception&) {
            }
        }
        uint32_t seed = 12345;
        for (int round = 0; round < 300; ++round) {
            std::vector<uint8_t> mutated = file;
            for (int k = 0; k < 3; ++k) {
                seed = seed * 1103515245u + 12345u;
                mutated[(seed >> 8) % mutated.size()] ^= uint8_t(1u << ((seed >> 4) & 7));
            }
            try {
                LoadTiff(mutated);
            } catch (const Exception&) {
            }
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
}

TEST(TIFFImage, OpensThroughTheRegistry) {
    RegisterFormatUnits();
    EXPECT_EQ(TPicture::FindGraphicClass("TIF"), &TnovTIFFImage::StaticClass());
    EXPECT_EQ(TPicture::FindGraphicClass("tiff"), &TnovTIFFImage::StaticClass());
    for (const TFileFormat& f : TPicture::FileFormats())
        if (f.GraphicClass == &TnovTIFFImage::StaticClass()) {
            EXPECT_EQ(f.Description, "tiff");
        }
    const std::string path = TempPath("registry.TIF");
    TMemoryStream(Fixture("tiff_pal8.tif")).SaveToFile(path);
    TPicture picture;
    picture.LoadFromFile(path);
    TBitmap work;
    work.Assign(*picture.Graphic());
    EXPECT_EQ(Colours(work), Reference("tiff_pal8"));
    std::filesystem::remove(path);
}
