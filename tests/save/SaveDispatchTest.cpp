#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "formats/GIFImage.h"
#include "formats/GLDPNGImage.h"
#include "formats/PNMImage.h"
#include "platform/BmpCodec.h"
#include "platform/Streams.h"
#include "resample/ResampleEx.h"
#include "save/AlphaPlane.h"
#include "save/PNGGIFWriters.h"
#include "save/SaveDispatch.h"
#include "save/WriterGuard.h"
#include "save/ZetJPEGImage.h"
#include "support/TestFolders.h"
#include "support/TestPictures.h"

namespace fs = std::filesystem;
using testing_support::Colours;
using testing_support::PixelBytes;
using testing_support::ReadFileBytes;

namespace {

constexpr TColor kRed = RGBColor(255, 0, 0), kGreen = RGBColor(0, 200, 0), kBlue = RGBColor(0, 0, 255),
                 kGrey = RGBColor(90, 90, 90);

// Four colours in bands; the bottom-left pixel is red and red occurs only
// in the bottom row, so a transparent red shows where the writer looked.
TBitmap FourColours(int width = 9, int height = 7) {
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.SetPixel(x, y, y == height - 1 && x < 3 ? kRed : x % 3 == 0 ? kGreen : x % 3 == 1 ? kBlue : kGrey);
    return picture;
}

template <class T>
std::unique_ptr<T> Load(const fs::path& path) {
    auto image = std::make_unique<T>();
    image->LoadFromFile(path.string());
    return image;
}

std::string Bytes(const fs::path& path) {
    const std::vector<uint8_t> b = ReadFileBytes(path.string());
    return std::string(b.begin(), b.end());
}

// IHDR fields of a PNG file.
int PngColourType(const fs::path& path) { return static_cast<uint8_t>(Bytes(path).at(25)); }
int PngInterlace(const fs::path& path) { return static_cast<uint8_t>(Bytes(path).at(28)); }

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SaveDispatchTest : public ::testing::Test {
protected:
    fs::path Target(const char* name) const { return folder_.Path() / name; }
    TSaveRequest Request(TFileType4Save type, const char* name) const {
        TSaveRequest request;
        request.FileType = type;
        request.TargetPath = Target(name).string();
        return request;
    }
    testing_support::TempFolder folder_{"vorlix-save-dispatch"};
};

}  // namespace

TEST(BottomLeftColor, EmptyIsWhiteOtherwiseTheBottomRowsFirstPixelAfterWideningTo24Bit) {
    TBitmap empty;
    EXPECT_EQ(BottomLeftColor(empty), 0xFFFFFFu);

    TBitmap indexed(3, 2, pf8bit);
    indexed.SetPalette({{10, 20, 30, 0}, {200, 100, 50, 0}});
    indexed.ScanLine(1)[0] = 1;
    EXPECT_EQ(BottomLeftColor(indexed), RGBColor(200, 100, 50));
    EXPECT_EQ(indexed.PixelFormat(), pf24bit);
}

TEST_F(SaveDispatchTest, PngOptionsReachTheFile) {
    const TBitmap work = FourColours();
    const std::vector<uint8_t> before = PixelBytes(work);
    struct Case {
        const char* Name;
        bool Interlaced, Grayscale, Reduce, Transparent;
        int ColourType;  // 0 grey, 2 RGB, 3 palette
    };
    for (const Case& c : {Case{"plain.png", false, false, false, false, 2}, Case{"adam7.png", true, false, false, false, 2},
                          Case{"grey.png", false, true, false, false, 0}, Case{"reduced.png", false, false, true, false, 3},
                          Case{"transparent.png", false, false, false, true, 3},
                          Case{"grey-transparent.png", true, true, false, true, 3}}) {
        SCOPED_TRACE(c.Name);
        TSaveRequest request = Request(sftPNG, c.Name);
        request.Options.PNGInterlaced = c.Interlaced;
        request.Options.PNGGrayscale = c.Grayscale;
        request.Options.PNGReduceTo256Color = c.Reduce;
        request.Options.PNGTransparent = c.Transparent;
        ASSERT_TRUE(SaveByFileType(work, request));
        EXPECT_EQ(PngColourType(Target(c.Name)), c.ColourType);
        EXPECT_EQ(PngInterlace(Target(c.Name)), c.Interlaced ? 1 : 0);
        EXPECT_EQ(Bytes(Target(c.Name)).find("tRNS") != std::string::npos, c.Transparent);

        const auto png = Load<TGLDPNG>(Target(c.Name));
        for (int y = 0; y < work.Height(); ++y)
            for (int x = 0; x < work.Width(); ++x) {
                const TColor colour = work.Pixel(x, y);
                const uint8_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
                const uint8_t grey = static_cast<uint8_t>((77 * r + 150 * g + 29 * b) >> 8);
                ASSERT_EQ(png->Bitmap().Pixel(x, y), c.Grayscale ? RGBColor(grey, grey, grey) : colour);
                if (c.Transparent) {
                    ASSERT_EQ(png->AlphaBitmap().PixelIndex(x, y), colour == kRed ? 0 : 255);
                }
            }
        EXPECT_EQ(png->HasAlpha(), c.Transparent);
    }
    EXPECT_EQ(PixelBytes(work), before);
    EXPECT_EQ(work.PixelFormat(), pf24bit);
}

TEST_F(SaveDispatchTest, PngAlphaPathWritesThePlaneAtThePicturesSize) {
    const TBitmap work = FourColours(8, 6);
    TBitmap alpha(16, 12);  // as opened, before the picture was halved
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint8_t a = static_cast<uint8_t>(x * 16);
            alpha.SetPixel(x, y, RGBColor(a, a, a));
        }
    ASSERT_TRUE(TakesAlphaPath(true, sftPNG, {}));
    TBitmap scratch;
    PrepareAlphaPlane(alpha, scratch, 8, 6, 3);
    TBitmap expected = alpha;
    KernelResample(expected, 8, 6, MitchellSetup);

    TSaveRequest request = Request(sftPNG, "alpha.png");
    request.Options.PNGInterlaced = true;
    request.AlphaPlane = &scratch;
    ASSERT_TRUE(SaveByFileType(work, request));
    EXPECT_EQ(PngColourType(Target("alpha.png")), 6);
    EXPECT_EQ(PngInterlace(Target("alpha.png")), 1);
    const auto png = Load<TGLDPNG>(Target("alpha.png"));
    ASSERT_TRUE(png->HasAlpha());
    EXPECT_EQ(Colours(png->Bitmap()), Colours(work));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(png->AlphaBitmap().PixelIndex(x, y), expected.ScanLine(y)[3 * x]);
    // The workspace is left as the 8-bit grey plane that was written.
    EXPECT_EQ(scratch.PixelFormat(), pf8bit);
}

TEST(AlphaPlane, TakenOnlyForPngWithoutPaletteOptionsAndResampledByTheLastAlgorithm) {
    TSaveOptionValues reduce, transparent;
    reduce.PNGReduceTo256Color = true;
    transparent.PNGTransparent = true;
    EXPECT_TRUE(TakesAlphaPath(true, sftPNG, {}));
    EXPECT_FALSE(TakesAlphaPath(false, sftPNG, {}));
    EXPECT_FALSE(TakesAlphaPath(true, sftPNG, reduce));
    EXPECT_FALSE(TakesAlphaPath(true, sftPNG, transparent));
    EXPECT_FALSE(TakesAlphaPath(true, sftGIF, {}));

    const TBitmap source = testing_support::RandomBitmap(13, 11, 7);
    struct Case {
        uint8_t Number;
        std::function<void(TBitmap&)> Expected;
    };
    const std::vector<Case> cases = {
        {0, [](TBitmap& p) { Lanczos4Resample(p, 6, 5); }},
        {1, [](TBitmap& p) { KernelResample(p, 6, 5, Lanczos3Setup); }},
        {3, [](TBitmap& p) { KernelResample(p, 6, 5, MitchellSetup); }},
        {10, [](TBitmap& p) { KernelResample(p, 6, 5, BilinearSetup); }},
        {11, [](TBitmap& p) { AveragePixelResample(p, 6, 5); }},
        {12, [](TBitmap& p) { NearestNeighborResample(p, 6, 5); }},
        {200, [](TBitmap& p) { AveragePixelResample(p, 6, 5); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Number));
        TBitmap expected = source, scratch;
        c.Expected(expected);
        PrepareAlphaPlane(source, scratch, 6, 5, c.Number);
        EXPECT_EQ(PixelBytes(scratch), PixelBytes(expected));
    }
    // A plane already at the size is taken as it is, in its own format.
    TBitmap grey(6, 5, pf8bit), scratch;
    PrepareAlphaPlane(grey, scratch, 6, 5, 3);
    EXPECT_EQ(scratch.PixelFormat(), pf8bit);
}

TEST_F(SaveDispatchTest, GifIsAPaletteFileWithTheBottomLeftColourTransparentOnlyWhenAsked) {
    TBitmap work = FourColours();
    TSaveRequest request = Request(sftGIF, "t.gif");
    request.Options.GIFTransparent = true;
    ASSERT_TRUE(SaveByFileType(work, request));
    const auto gif = Load<TGIFImage>(Target("t.gif"));
    EXPECT_EQ(Colours(gif->Bitmap()), Colours(work));
    ASSERT_TRUE(gif->TransparentIndex().has_value());
    EXPECT_EQ(gif->Bitmap().Palette().at(*gif->TransparentIndex()).Red, 255);
    EXPECT_EQ(work.PixelFormat(), pf24bit);

    // A picture that came from a transparent file carries the flag; the
    // option still decides.
    work.SetTransparent(true);
    TSaveRequest opaque = Request(sftGIF, "o.gif");
    ASSERT_TRUE(SaveByFileType(work, opaque));
    EXPECT_FALSE(Load<TGIFImage>(Target("o.gif"))->TransparentIndex().has_value());
}

TEST_F(SaveDispatchTest, BitmapAndPortableAnymapsTakeThePictureAsItIs) {
    TBitmap indexed(5, 3, pf8bit);
    indexed.SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}, {255, 0, 0, 0}});
    for (int x = 0; x < 5; ++x) indexed.ScanLine(1)[x] = static_cast<uint8_t>(x % 3);
    const std::vector<uint8_t> before = PixelBytes(indexed);

    TSaveRequest bmp = Request(sftBMP, "p.bmp");
    ASSERT_TRUE(SaveByFileType(indexed, bmp));
    TMemoryStream stream;
    stream.LoadFromFile(Target("p.bmp").string());
    const TBitmap read = ReadBmpFile(stream);
    EXPECT_EQ(read.PixelFormat(), pf8bit);
    EXPECT_EQ(Colours(read), Colours(indexed));

    for (auto [type, name, magic] : {std::tuple{sftPPM, "p.ppm", "P6"}, std::tuple{sftPGM, "p.pgm", "P5"},
                                     std::tuple{sftPBM, "p.pbm", "P4"}}) {
        SCOPED_TRACE(name);
        TSaveRequest request = Request(type, name);
        ASSERT_TRUE(SaveByFileType(indexed, request));
        EXPECT_EQ(Bytes(Target(name)).substr(0, 2), magic);
        const auto pnm = Load<TPNMImage>(Target(name));
        EXPECT_EQ(pnm->Width(), 5);
        if (type == sftPPM) {
            EXPECT_EQ(Colours(pnm->Bitmap()), Colours(indexed));
        }
    }
    EXPECT_EQ(PixelBytes(indexed), before);
    EXPECT_EQ(indexed.PixelFormat(), pf8bit);
}

TEST_F(SaveDispatchTest, JpegWritesJpegDataWhateverTheName) {
    const TBitmap work = FourColours(32, 16);
    TSaveRequest request = Request(sftJPG, "picture.png");
    request.Options.JPEGQuality = 90;
    request.Options.JPEGProgressive = true;
    ASSERT_TRUE(SaveByFileType(work, request));
    EXPECT_EQ(Bytes(Target("picture.png")).substr(0, 2), "\xFF\xD8");
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Target("picture.png").string());
    EXPECT_TRUE(jpeg.Progressive());
    EXPECT_EQ(jpeg.Width(), 32);
}

TEST_F(SaveDispatchTest, TypesWithoutAWriterFailWithoutWriting) {
    const TBitmap work = FourColours();
    for (TFileType4Save type : {sftUNKNOWN, static_cast<TFileType4Save>(13)}) {
        TSaveRequest request = Request(type, "none.x");
        EXPECT_FALSE(SaveByFileType(work, request));
        EXPECT_FALSE(LastWriterFailure().empty());
    }
    for (TFileType4Save type : {sftJPG, sftPNG, sftBMP, sftGIF, sftPPM, sftPGM, sftPBM}) EXPECT_TRUE(HasWriterFor(type));
    EXPECT_TRUE(FolderEntries(folder_.Path()).empty());
}

// Every writer's failure part-way (here: the file-size limit, which stops
// even a privileged process) leaves the file that was there and no
// temporary file; the flagged writers return false, the bitmap and
// alpha-plane writers raise.
TEST_F(SaveDispatchTest, FailingWriteKeepsTheExistingTargetAndLeavesNoTemporaryFile) {
    const TBitmap work = testing_support::RandomBitmap(300, 300, 11);
    TBitmap alpha = testing_support::RandomBitmap(300, 300, 12);
    struct Case {
        TFileType4Save Type;
        const char* Name;
        bool WithAlpha;
    };
    const std::vector<Case> cases = {{sftJPG, "a.jpg", false}, {sftPNG, "a.png", false}, {sftPNG, "b.png", true},
                                     {sftBMP, "a.bmp", false}, {sftGIF, "a.gif", false}, {sftPPM, "a.ppm", false},
                                     {sftPGM, "a.pgm", false}, {sftPBM, "a.pbm", false}};
    for (const Case& c : cases) testing_support::WriteFileText(Target(c.Name), "old contents");
    const std::vector<std::string> before = FolderEntries(folder_.Path());

    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit limit{}, saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    limit = saved;
    limit.rlim_cur = 2000;
    setrlimit(RLIMIT_FSIZE, &limit);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TSaveRequest request = Request(c.Type, c.Name);
        TBitmap plane = alpha;
        if (c.WithAlpha) request.AlphaPlane = &plane;
        if (c.Type == sftBMP || c.WithAlpha) {
            EXPECT_ANY_THROW(SaveByFileType(work, request));
        } else {
            EXPECT_FALSE(SaveByFileType(work, request));
            EXPECT_FALSE(LastWriterFailure().empty());
        }
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_EQ(FolderEntries(folder_.Path()), before);
    for (const Case& c : cases) EXPECT_EQ(testing_support::ReadFileText(Target(c.Name)), "old contents") << c.Name;
}
