#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>

#include "formats/FormatRegistry.h"
#include "formats/PSPImage.h"
#include "save/ZetJPEGImage.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

constexpr auto LoadPsp = &Loaded<TPSPImage>;

constexpr auto ErrorOf = &LoadError<TPSPImage>;

using Bytes_ = std::vector<uint8_t>;

void Put(Bytes_& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
Bytes_& operator+=(Bytes_& a, const Bytes_& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Rectangle {
    int32_t Left, Top, Right, Bottom;
};

// Builds files block by block, little-endian.
class PspBuilder {
public:
    explicit PspBuilder(int major) : major_(major) {}

    Bytes_ Block(uint16_t id, const Bytes_& body) const {
        Bytes_ b = {0x7E, 0x42, 0x4B, 0x00};
        Put(b, id, 2);
        Put(b, uint32_t(body.size()), 4);
        if (major_ == 3) Put(b, uint32_t(body.size()), 4);
        return b += body;
    }
    Bytes_ Attributes(int32_t width, int32_t height, uint16_t compression, uint16_t depth, bool grey = false) const {
        Bytes_ b;
        if (major_ > 3) Put(b, 46, 4);
        Put(b, uint32_t(width), 4);
        Put(b, uint32_t(height), 4);
        b += Bytes_(8, 0);  // resolution
        b.push_back(0);
        Put(b, compression, 2);
        Put(b, depth, 2);
        Put(b, 1, 2);
        Put(b, 0, 4);
        b.push_back(grey ? 1 : 0);
        Put(b, 0, 4);
        Put(b, 0, 4);
        Put(b, 1, 2);
        if (major_ > 3) Put(b, 0, 4);
        return Block(0, b);
    }
    Bytes_ Palette(const std::vector<TColor>& colours) const {
        Bytes_ b;
        Put(b, uint32_t(colours.size()), 4);
        for (TColor c : colours) b += Bytes_{GetBValue(c), GetGValue(c), GetRValue(c), 0};
        return Block(2, b);
    }
    Bytes_ Channel(const Bytes_& data) const {
        Bytes_ b;
        Put(b, 16, 4);
        Put(b, uint32_t(data.size()), 4);
        Put(b, 0, 4);
        Put(b, 1, 2);
        Put(b, 0, 2);
        return Block(5, b += data);
    }
    Bytes_ Layer(uint8_t type, Rectangle image, Rectangle saved, const std::vector<Bytes_>& channels) const {
        Bytes_ b;
        if (major_ == 3) {
            b += Bytes_(256, 'n');
        } else {
            Put(b, 4, 2);
            b += Bytes_{'n', 'a', 'm', 'e'};
        }
        Bytes_ info(115, 0);
        info[0] = type;
        for (int i = 0; i < 4; ++i) {
            const int32_t a[4] = {image.Left, image.Top, image.Right, image.Bottom};
            const int32_t s[4] = {saved.Left, saved.Top, saved.Right, saved.Bottom};
            for (int k = 0; k < 4; ++k) {
                info[size_t(1 + 4 * i + k)] = uint8_t(uint32_t(a[i]) >> (8 * k));
                info[size_t(17 + 4 * i + k)] = uint8_t(uint32_t(s[i]) >> (8 * k));
            }
        }
        b += info;
        if (major_ > 5) b += Bytes_(5, 0);
        if (major_ > 9) b += Block(33, Bytes_(6, 0));
        if (major_ == 3) {
            b += Bytes_(4, 0);
        } else {
            Put(b, 8, 4);
            Put(b, 1, 2);
            Put(b, uint32_t(channels.size()), 2);
        }
        for (const Bytes_& c : channels) b += Channel(c);
        return Block(4, b);
    }
    Bytes_ LayerBank(const std::vector<Bytes_>& layers) const {
        Bytes_ b;
        for (const Bytes_& l : layers) b += l;
        return Block(3, b);
    }
    Bytes_ CompositeBank(const std::vector<Bytes_>& jpegs) const {
        Bytes_ b;
        Put(b, uint32_t(jpegs.size()), 4);
        for (size_t i = 0; i < jpegs.size(); ++i) b += Block(1, Bytes_(24, 0));
        for (const Bytes_& jpeg : jpegs) {
            Bytes_ j;
            Put(j, 14, 4);
            Put(j, uint32_t(jpeg.size()), 4);
            Put(j, 0, 4);
            Put(j, 0, 2);
            b += Block(18, j += jpeg);
        }
        return Block(16, b);
    }
    Bytes_ File(const std::vector<Bytes_>& blocks) const {
        Bytes_ f(32, 0);
        const char signature[] = "Paint Shop Pro Image File\n\x1a";
        std::memcpy(f.data(), signature, sizeof signature - 1);
        Put(f, uint32_t(major_), 2);
        Put(f, 0, 2);
        for (const Bytes_& b : blocks) f += b;
        return f;
    }

private:
    int major_;
};

// RLE rows: every row one literal run.
Bytes_ Rle(const std::vector<Bytes_>& rows) {
    Bytes_ b;
    for (const Bytes_& row : rows) {
        b.push_back(uint8_t(row.size()));
        b += row;
    }
    return b;
}

Bytes_ Deflated(const Bytes_& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    Bytes_ out(size);
    EXPECT_EQ(compress(out.data(), &size, raw.data(), uLong(raw.size())), Z_OK);
    out.resize(size);
    return out;
}

Bytes_ JpegOf(int width, int height) {
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.SetPixel(x, y, RGBColor(uint8_t(x * 30), uint8_t(y * 40), 70));
    TJPEGImage jpeg;
    jpeg.Assign(picture);
    return Saved(jpeg);
}

std::vector<TColor> JpegColours(const Bytes_& bytes) {
    TJPEGImage jpeg;
    LoadInto(jpeg, bytes);
    TBitmap picture;
    picture.Assign(jpeg);
    return Colours(picture);
}

constexpr TColor K = clBlack;

}  // namespace

TEST(PSPImage, OneRasterLayerIsPlacedOnBlack) {
    for (const int major : {3, 5, 6, 10}) {
        SCOPED_TRACE(major);
        const PspBuilder p(major);
        // A 2 x 2 layer at (1 + 0, 0 + 1) on a 4 x 3 picture.
        const Bytes_ file = p.File({p.Attributes(4, 3, 1, 24), p.Block(21, Bytes_(7, 1)),
                                    p.LayerBank({p.Layer(1, {1, 0, 3, 2}, {0, 1, 2, 3},
                                                         {Rle({{10, 20}, {30, 40}}), Rle({{11, 21}, {31, 41}}),
                                                          Rle({{12, 22}, {32, 42}})})})});
        const auto psp = LoadPsp(file);
        EXPECT_EQ(psp->Bitmap().PixelFormat(), pf24bit);
        EXPECT_EQ(Colours(psp->Bitmap()),
                  (std::vector<TColor>{K, K, K, K,                                             //
                                       K, RGBColor(10, 11, 12), RGBColor(20, 21, 22), K,       //
                                       K, RGBColor(30, 31, 32), RGBColor(40, 41, 42), K}));
        EXPECT_FALSE(psp->Fallback());
        EXPECT_EQ(psp->MajorVersion(), major);
        EXPECT_EQ(psp->LoadWarning(), "");
    }
}

TEST(PSPImage, AFourthChannelBlendsTheLayerOverBlack) {
    const PspBuilder p(7);
    const Bytes_ file = p.File({p.Attributes(3, 1, 2, 24),
                                p.LayerBank({p.Layer(1, {0, 0, 3, 1}, {0, 0, 3, 1},
                                                     {Deflated({200, 200, 200}), Deflated({10, 10, 10}),
                                                      Deflated({255, 255, 255}), Deflated({128, 255, 0})})})});
    const auto psp = LoadPsp(file);
    EXPECT_EQ(Colours(psp->Bitmap()), (std::vector<TColor>{RGBColor(100, 5, 127), RGBColor(199, 9, 254), K}));
    ASSERT_EQ(psp->Layers().size(), 1u);
    EXPECT_EQ(psp->Layers()[0].Channels, 4);
}

TEST(PSPImage, IndexedLayersUseThePaletteBlock) {
    const std::vector<TColor> palette = {RGBColor(1, 2, 3), RGBColor(200, 100, 50), RGBColor(9, 9, 9)};
    // 8-bit rows are width bytes; 4-bit rows are padded to 32 bits.
    for (const int depth : {8, 4}) {
        SCOPED_TRACE(depth);
        const PspBuilder p(3);
        const Bytes_ rows = depth == 8 ? Bytes_{1, 2, 0, 2, 1, 1} : Bytes_{0x12, 0, 0, 0, 0x21, 0x10, 0, 0};
        const Bytes_ file = p.File({p.Attributes(3, 2, 0, uint16_t(depth)), p.Palette(palette),
                                    p.LayerBank({p.Layer(0, {0, 0, 3, 2}, {0, 0, 3, 2}, {rows})})});
        const auto psp = LoadPsp(file);
        EXPECT_EQ(psp->Bitmap().PixelFormat(), depth == 8 ? pf8bit : pf4bit);
        EXPECT_EQ(Indices(psp->Bitmap()), (std::vector<uint8_t>{1, 2, 0, 2, 1, 1}));
        EXPECT_EQ(psp->Bitmap().Pixel(0, 0), RGBColor(200, 100, 50));
        EXPECT_GT(psp->PaletteBlockPosition(), 0u);
    }
}

TEST(PSPImage, FilesWithMoreThanOneLayerShowTheJpegComposite) {
    const Bytes_ first = JpegOf(8, 8), last = JpegOf(16, 8);
    const PspBuilder p(6);
    const Bytes_ layer = p.Layer(1, {0, 0, 2, 1}, {0, 0, 2, 1}, {Rle({{1, 2}}), Rle({{3, 4}}), Rle({{5, 6}})});
    const struct {
        const char* name;
        std::vector<Bytes_> composites;
        Bytes_ bank;
        const Bytes_* shown;
    } cases[] = {
        {"two layers, one composite", {first}, p.LayerBank({layer, layer}), &first},
        {"two composites: the last", {first, last}, p.LayerBank({layer, layer}), &last},
        {"a layer of type 3", {first},
         p.LayerBank({p.Layer(3, {0, 0, 2, 1}, {0, 0, 2, 1}, {Rle({{1, 2}})})}), &first},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto psp = LoadPsp(p.File({p.Attributes(2, 1, 1, 24), p.CompositeBank(c.composites), c.bank}));
        EXPECT_TRUE(psp->Fallback());
        EXPECT_EQ(Colours(psp->Bitmap()), JpegColours(*c.shown));
    }
}

TEST(PSPImage, BadFilesRaiseTheirErrors) {
    const PspBuilder p(5);
    const Bytes_ good = p.File({p.Attributes(2, 1, 0, 24)});
    Bytes_ signature = good, version11 = good, version2 = good;
    signature[3] = 'x';
    version11[32] = 11;
    version2[32] = 2;
    const struct {
        const char* name;
        Bytes_ file;
        const char* message;
    } cases[] = {
        {"signature", signature, "Invalid signature"},
        {"empty", {}, "Invalid signature"},
        {"version 11", version11, "Unsupported PSP version"},
        {"version 2", version2, "Unsupported PSP version"},
        {"no block", p.File({Bytes_(12, 0)}), "Can not find block"},
        {"attributes missing", p.File({p.Palette({clWhite})}), "Can not find \"General Image Attributes\""},
        {"16-bit", p.File({p.Attributes(2, 1, 0, 16)}), "BitDepth error"},
        {"attributes cut", Cut(good, good.size() - 30), "Stream read error"},
        {"huge picture", p.File({p.Attributes(100000, 100000, 2, 24)}), "Invalid image size"},
        {"huge layer", p.File({p.Attributes(2, 1, 0, 24), p.LayerBank({p.Layer(1, {0, 0, 1, 1}, {0, 0, 90000, 90000}, {})})}),
         "Invalid image size"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorOf(c.file), c.message);
    }
}

TEST(PSPImage, BrokenChannelsKeepWhatWasDecoded) {
    const PspBuilder p(5);
    // The red channel is no zlib stream at all; the other channels still show.
    const Bytes_ file = p.File({p.Attributes(2, 2, 2, 24),
                                p.LayerBank({p.Layer(1, {0, 0, 2, 2}, {0, 0, 2, 2},
                                                     {Bytes_(8, 0xEE), Deflated({1, 2, 3, 4}), Deflated({5, 6, 7, 8})})})});
    const auto garbage = LoadPsp(file);
    EXPECT_EQ(Colours(garbage->Bitmap()),
              (std::vector<TColor>{RGBColor(0, 1, 5), RGBColor(0, 2, 6), RGBColor(0, 3, 7), RGBColor(0, 4, 8)}));
    EXPECT_NE(garbage->LoadWarning(), "");

    // A file cut inside its last channel: the rows that are there show.
    const Bytes_ rle = p.File({p.Attributes(2, 2, 1, 8),
                               p.LayerBank({p.Layer(0, {0, 0, 2, 2}, {0, 0, 2, 2}, {Rle({{7, 8}, {9, 10}})})})});
    const auto cut = LoadPsp(Cut(rle, rle.size() - 2));
    EXPECT_EQ(Indices(cut->Bitmap()), (std::vector<uint8_t>{7, 8, 0, 0}));
    EXPECT_NE(cut->LoadWarning(), "");

    // Every truncation and many bit flips load or fail cleanly, quickly.
    const Bytes_ full = p.File({p.Attributes(3, 2, 2, 24), p.CompositeBank({JpegOf(8, 8)}),
                                p.LayerBank({p.Layer(1, {0, 0, 3, 2}, {0, 0, 3, 2},
                                                     {Deflated(Bytes_(6, 1)), Deflated(Bytes_(6, 2)),
                                                      Deflated(Bytes_(6, 3)), Deflated(Bytes_(6, 4))})})});
    for (size_t length = 0; length < full.size(); ++length) {
        try {
            LoadPsp(Cut(full, length));
        } catch (const Exception&) {
        }
    }
    uint32_t seed = 99;
    for (int round = 0; round < 2000; ++round) {
        Bytes_ mutated = full;
        seed = seed * 1103515245u + 12345u;
        mutated[(seed >> 8) % mutated.size()] ^= uint8_t(1u << ((seed >> 4) & 7));
        try {
            LoadPsp(mutated);
        } catch (const Exception&) {
        }
    }
}

TEST(PSPImage, OpensThroughTheRegistry) {
    RegisterFormatUnits();
    for (const char* extension : {"psp", "JSL", "pfr", "tub", "PspImage"})
        EXPECT_EQ(TPicture::FindGraphicClass(extension), &TPSPImage::StaticClass()) << extension;
    const PspBuilder p(8);
    const std::string path = TempPath("registry.pspimage");
    TMemoryStream(p.File({p.Attributes(1, 1, 0, 24),
                          p.LayerBank({p.Layer(1, {0, 0, 1, 1}, {0, 0, 1, 1}, {{9}, {8}, {7}})})}))
        .SaveToFile(path);
    TPicture picture;
    picture.LoadFromFile(path);
    TBitmap work;
    work.Assign(*picture.Graphic());
    EXPECT_EQ(Colours(work), (std::vector<TColor>{RGBColor(9, 8, 7)}));
    std::filesystem::remove(path);
}

TEST(PSPImage, ManyLayerBanksOverALargePictureAreRefused) {
    // Each bank clears the whole 4096 x 4096 picture; thousands of them
    // must not turn a small file into minutes of work.
    const PspBuilder p(5);
    std::vector<Bytes_> blocks = {p.Attributes(4096, 4096, 0, 24)};
    const Bytes_ bank = p.LayerBank({p.Layer(1, {0, 0, 1, 1}, {0, 0, 1, 1}, {{1}, {2}, {3}})});
    for (int i = 0; i < 3000; ++i) blocks.push_back(bank);
    EXPECT_EQ(ErrorOf(p.File(blocks)), "Invalid image size");
}
