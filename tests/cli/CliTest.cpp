// The command-line front end run as a program: coupling, errors and exit
// statuses, and that a failure never leaves or damages an output file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "formats/FormatRegistry.h"
#include "formats/GLDPNGImage.h"
#include "platform/Bitmap.h"
#include "platform/Graphics.h"
#include "platform/Palettes.h"
#include "platform/Streams.h"
#include "support/TestPictures.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterFormatUnits();
        folder_ = fs::temp_directory_path() / ("vorlix-cli-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    CliRun Invoke(const std::string& arguments) const {
        const std::string out = Path("stdout.txt"), err = Path("stderr.txt");
        const std::string command = std::string(VORLIX_CLI_PATH) + " " + arguments + " >" + out + " 2>" + err;
        const int raw = std::system(command.c_str());
        auto slurp = [](const std::string& p) {
            std::ifstream in(p);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
    }

    std::string WriteBmp(const std::string& name, int w, int h) const {
        testing_support::RandomBitmap(w, h, 1).SaveToFile(Path(name));
        return Path(name);
    }

    static TBitmap Load(const std::string& path) {
        TFileStream stream(path, fmOpenRead);
        TBitmap bitmap;
        bitmap.LoadFromStream(stream);
        return bitmap;
    }

    fs::path folder_;
};

}  // namespace

TEST_F(Cli, SizesAreCoupledLikeTheMainWindowsEdits) {
    const std::string in = WriteBmp("in.bmp", 641, 481);
    const struct {
        const char* options;
        int width, height;
    } cases[] = {{"--scale 50", 321, 241}, {"--width 100", 100, 75}, {"--height 240", 320, 240},
                 {"--width 10 --height 70", 10, 70}, {"", 641, 481}};
    for (const auto& c : cases) {
        const CliRun run = Invoke("resample " + in + " " + Path("out.bmp") + " --algorithm bilinear " + c.options);
        ASSERT_EQ(run.status, 0) << c.options << run.err;
        const TBitmap out = Load(Path("out.bmp"));
        EXPECT_EQ(out.Width(), c.width) << c.options;
        EXPECT_EQ(out.Height(), c.height) << c.options;
    }
}

TEST_F(Cli, TimingOutput) {
    const std::string in = WriteBmp("in.bmp", 40, 30);
    CliRun run = Invoke("resample " + in + " " + Path("o.bmp") + " --algorithm lanczos3 --scale 200 --time");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_GE(run.out.size(), 6u);
    EXPECT_EQ(run.out.substr(run.out.size() - 5), "[ms]\n") << run.out;
    EXPECT_EQ(run.out.find_first_not_of("0123456789"), run.out.size() - 5) << run.out;
    run = Invoke("resample " + in + " " + Path("o.bmp") + " --algorithm nearest --width 7 --repeat 3");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("fastest ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("[ms]"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nmedian "), std::string::npos) << run.out;
}

TEST_F(Cli, BadUsageIsStatusOne) {
    const std::string in = WriteBmp("in.bmp", 4, 4);
    for (const std::string& arguments :
         {std::string("resample ") + in + " " + Path("o.bmp"),                       // no algorithm
          std::string("resample ") + in + " " + Path("o.bmp") + " --algorithm blur",  // unknown
          std::string("resample ") + in + " " + Path("o.bmp") + " --algorithm bell --width x",
          std::string("resample ") + in + " " + Path("o.bmp") + " --algorithm bell --width 5 --scale 9",
          std::string("convert ") + in + " " + Path("o.xyz"), std::string("frobnicate")}) {
        const CliRun run = Invoke(arguments);
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_FALSE(fs::exists(Path("o.bmp")));
    EXPECT_EQ(Invoke("--help").status, 0);
}

TEST_F(Cli, UnreadableInputIsStatusTwoAndTouchesNoOutput) {
    const std::string in = WriteBmp("in.bmp", 30, 20);
    fs::resize_file(in, 100);  // truncated in the middle of the pixels
    {
        std::ofstream existing(Path("keep.bmp"));
        existing << "precious";
    }
    for (const std::string& output : {Path("new.bmp"), Path("keep.bmp")}) {
        const CliRun run = Invoke("resample " + in + " " + output + " --algorithm bicubic --scale 50");
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(in), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_FALSE(fs::exists(Path("new.bmp")));
    std::ifstream kept(Path("keep.bmp"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "precious");
    EXPECT_EQ(Invoke("info " + Path("missing.bmp")).status, 2);
    EXPECT_EQ(Invoke("info " + Path("x.rle")).status, 2);
    // Nothing but the files this test made is left in the folder.
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder_)) files += entry.path().filename().string()[0] != '.';
    EXPECT_EQ(files, 4u);  // in.bmp, keep.bmp, stdout.txt, stderr.txt
}

// A header token carrying control characters (an escape sequence, a line
// break the terminal honours) reaches the message only as printable escapes.
TEST_F(Cli, MessagesQuotingHostileFilesStayOnOnePrintableLine) {
    {
        std::ofstream pnm(Path("bad.pgm"), std::ios::binary);
        pnm << "P5 4 4\x1b[2J\n9\r255 " << std::string(16, 'a');
    }
    const CliRun run = Invoke("info " + Path("bad.pgm"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\\x1B"), std::string::npos) << run.err;
}

TEST_F(Cli, InfoAndConvert) {
    const std::string in = WriteBmp("in.bmp", 5, 3);
    const CliRun info = Invoke("info " + in);
    ASSERT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("class: TBitmap"), std::string::npos);
    EXPECT_NE(info.out.find("width: 5\nheight: 3\npixel format: 24-bit"), std::string::npos) << info.out;
    ASSERT_EQ(Invoke("convert " + in + " " + Path("copy.bmp")).status, 0);
    EXPECT_EQ(testing_support::PixelBytes(Load(Path("copy.bmp"))), testing_support::PixelBytes(Load(in)));
}

TEST_F(Cli, InfoReportsTheProgramsOwnRasterFormats) {
    const struct {
        const char* fixture;
        const char* expected;
    } cases[] = {
        {"tga_rgba32_rle_pil.tga", "class: TTGAImage\nwidth: 11\nheight: 6\npixel format: 32-bit\nalpha plane: no\n"},
        {"tga_cmap_im.tga", "class: TTGAImage\nwidth: 11\nheight: 6\npixel format: 8-bit\n"},
        {"pcx_planes4_netpbm.pcx", "class: TPCXImage\nwidth: 11\nheight: 6\npixel format: 4-bit\n"},
        {"sgi_rgb_rle_im.sgi", "class: TSGIImage\nwidth: 11\nheight: 6\npixel format: 24-bit\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = Invoke("info " + testing_support::DataPath(std::string("formats/") + c.fixture));
        EXPECT_EQ(run.status, 0) << c.fixture << run.err;
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "") << c.fixture;
    }
    // A file cut short shows what it holds and says so.
    std::vector<uint8_t> cut = testing_support::ReadFileBytes(testing_support::DataPath("formats/sgi_rgb_im.sgi"));
    cut.resize(600);
    TMemoryStream(cut).SaveToFile(Path("cut.rgb"));
    const CliRun run = Invoke("info " + Path("cut.rgb"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("class: TSGIImage"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "vorlix-cli: " + Path("cut.rgb") + ": warning: ends early; the rest of the picture is missing\n");
}

TEST_F(Cli, PrefilterRunsOnlyAboveOneHundredPercent) {
    const std::string in = WriteBmp("in.bmp", 20, 16);
    auto resample = [&](const std::string& from, const std::string& to, const std::string& options) {
        const CliRun run = Invoke("resample " + from + " " + Path(to) + " --algorithm bilinear " + options);
        EXPECT_EQ(run.status, 0) << options << run.err;
        return testing_support::PixelBytes(Load(Path(to)));
    };
    ASSERT_EQ(Invoke("filter " + in + " " + Path("cut.bmp") + " --dct-cut 7").status, 0);
    const auto filteredFirst = resample(Path("cut.bmp"), "b.bmp", "--scale 101");
    EXPECT_EQ(resample(in, "a.bmp", "--scale 101 --prefilter dct7"), filteredFirst);
    EXPECT_NE(resample(in, "c.bmp", "--scale 101"), filteredFirst);
    EXPECT_EQ(resample(in, "d.bmp", "--scale 100 --prefilter dct7"), resample(in, "e.bmp", "--scale 100"));
    // The scale decides, not the size: a scale above 100 with a smaller
    // width still pre-filters, which only the median shows as 32-bit input.
    EXPECT_EQ(Invoke("resample " + in + " " + Path("m.bmp") + " --algorithm nearest --scale 150 --prefilter median").status, 0);

    EXPECT_EQ(Invoke("filter " + in + " " + Path("x.bmp") + " --median").status, 0);
    EXPECT_EQ(Load(Path("x.bmp")).PixelFormat(), pf32bit);
    EXPECT_EQ(Invoke("filter " + in + " " + Path("y.bmp") + " --named Sharpen").status, 0);
    for (const char* options : {"--dct-cut 9", "--named Nope", "--median --dct-cut 7", "", "--dct-cut x"})
        EXPECT_EQ(Invoke("filter " + in + " " + Path("z.bmp") + " " + std::string(options)).status, 1) << options;
    EXPECT_EQ(Invoke("resample " + in + " " + Path("z.bmp") + " --algorithm bell --prefilter dct8").status, 1);
    EXPECT_FALSE(fs::exists(Path("z.bmp")));
}

TEST_F(Cli, AlphaPlanesTravelWithThePictureAndEveryOutputTypeWrites) {
    TBitmap picture = testing_support::RandomBitmap(12, 8, 3);
    TBitmap alpha(12, 8, pf8bit);
    alpha.SetPalette(GreyRampPalette());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) alpha.ScanLine(y)[x] = uint8_t(x * 20);
    {
        TFileStream out(Path("in.png"), fmCreate);
        WritePNG(picture, out, {}, &alpha);
    }
    CliRun run = Invoke("info " + Path("in.png"));
    EXPECT_NE(run.out.find("class: TGLDPNG"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("alpha plane: yes"), std::string::npos) << run.out;
    ASSERT_EQ(Invoke("resample " + Path("in.png") + " " + Path("out.png") + " --algorithm nearest --scale 50").status, 0);
    TGLDPNG result;
    result.LoadFromFile(Path("out.png"));
    ASSERT_TRUE(result.HasAlpha());
    EXPECT_EQ(result.AlphaBitmap().Width(), 6);
    EXPECT_EQ(result.AlphaBitmap().ScanLine(0)[1], 40);  // nearest takes column 2 of the alpha plane too

    for (const char* extension : {".bmp", ".png", ".ppm", ".pgm", ".pbm"}) {
        run = Invoke("convert " + Path("in.png") + " " + Path(std::string("copy") + extension));
        EXPECT_EQ(run.status, 0) << extension << run.err;
        TPicture back;
        back.LoadFromFile(Path(std::string("copy") + extension));
        EXPECT_EQ(back.Width(), 12) << extension;
    }
}

TEST_F(Cli, JpegDecodingAndEncodingOptions) {
    const std::string jpeg = testing_support::DataPath("jpeg/c420.jpg");
    CliRun run = Invoke("info " + jpeg + " --jpeg-scale 4");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("class: TJPEGImage\nwidth: 25\nheight: 16\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("stored size: 97x61"), std::string::npos) << run.out;
    EXPECT_NE(Invoke("info " + testing_support::DataPath("jpeg/cprog.jpg")).out.find("progressive: yes"),
              std::string::npos);

    ASSERT_EQ(Invoke("convert " + jpeg + " " + Path("pal.bmp") + " --jpeg-palette").status, 0);
    EXPECT_EQ(Load(Path("pal.bmp")).PixelFormat(), pf8bit);
    EXPECT_EQ(Load(Path("pal.bmp")).PaletteEntries().size(), 236u);
    ASSERT_EQ(Invoke("convert " + jpeg + " " + Path("out.jpg") + " --quality 50 --progressive").status, 0);
    run = Invoke("info " + Path("out.jpg"));
    EXPECT_NE(run.out.find("progressive: yes"), std::string::npos) << run.out;
    ASSERT_EQ(Invoke("convert " + jpeg + " " + Path("grey.jpg") + " --grayscale").status, 0);
    EXPECT_NE(Invoke("info " + Path("grey.jpg")).out.find("stored grayscale: yes"), std::string::npos);
    ASSERT_EQ(Invoke("convert " + jpeg + " " + Path("few.bmp") + " --reduce256").status, 0);
    EXPECT_EQ(Load(Path("few.bmp")).PixelFormat(), pf8bit);
    ASSERT_EQ(Invoke("convert " + jpeg + " " + Path("out.gif")).status, 0);
    EXPECT_EQ(Invoke("info " + jpeg + " --jpeg-scale 3").status, 1);
    EXPECT_EQ(Invoke("convert " + jpeg + " " + Path("q.jpg") + " --quality 0").status, 1);

    // A JPEG that ends inside its picture data converts, with one warning
    // line naming the file.
    const std::vector<uint8_t> bytes = testing_support::ReadFileBytes(jpeg);
    TMemoryStream(std::vector<uint8_t>(bytes.begin(), bytes.begin() + ptrdiff_t(bytes.size() / 2))).SaveToFile(Path("cut.jpg"));
    run = Invoke("convert " + Path("cut.jpg") + " " + Path("cut.bmp"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "vorlix-cli: " + Path("cut.jpg") + ": warning: ends early; the rest of the picture is missing\n");
    EXPECT_TRUE(fs::exists(Path("cut.bmp")));
    // A real decoding error is still one.
    std::vector<uint8_t> broken(bytes.begin(), bytes.begin() + 2);
    broken.insert(broken.end(), {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00});
    TMemoryStream(broken).SaveToFile(Path("broken.jpg"));
    run = Invoke("info " + Path("broken.jpg"));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("JPEG error #"), std::string::npos) << run.err;
}

TEST_F(Cli, EmptyPicturesAndOtherInputsThatAreNoFilesAreStatusTwo) {
    TMemoryStream().SaveToFile(Path("empty.jpg"));
    {
        std::ofstream pnm(Path("empty.pgm"), std::ios::binary);
        pnm << "P5 0 2147483647 255\n";
    }
    fs::create_directory(Path("folder.png"));
    ASSERT_EQ(mkfifo(Path("pipe.png").c_str(), 0600), 0);
    for (const char* name : {"empty.jpg", "empty.pgm", "folder.png", "pipe.png"}) {
        const CliRun run = Invoke("info " + Path(name));
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_EQ(run.err.rfind("vorlix-cli: " + Path(name) + ": ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

TEST_F(Cli, SizesBelowOnePixelAreBadUsage) {
    const std::string in = WriteBmp("wide.bmp", 640, 100);
    const std::pair<const char*, const char*> cases[] = {
        {"--width 0", "The width must be at least 1 pixel."},
        {"--height -3", "The height must be at least 1 pixel."},
        {"--width 1", "The height must be at least 1 pixel."},  // the coupled height rounds to 0
    };
    for (const auto& [options, message] : cases) {
        const CliRun run = Invoke("resample " + in + " " + Path("o.bmp") + " --algorithm bell " + options);
        EXPECT_EQ(run.status, 1) << options;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(Path("o.bmp")));
}

TEST_F(Cli, FailuresToEncodeAreStatusThreeAndFailuresToWriteStatusTwo) {
    // GIF holds at most 65535 columns: the picture cannot be encoded.
    const std::string wide = WriteBmp("wide.bmp", 70000, 1);
    CliRun run = Invoke("convert " + wide + " " + Path("wide.gif"));
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_FALSE(fs::exists(Path("wide.gif")));
    // A loop of links as the output.
    fs::create_symlink("loop2.bmp", Path("loop1.bmp"));
    fs::create_symlink("loop1.bmp", Path("loop2.bmp"));
    run = Invoke("convert " + wide + " " + Path("loop1.bmp"));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Too many levels of symbolic links"), std::string::npos) << run.err;
}

TEST_F(Cli, MessagesAreEnglish) {
    {
        std::ofstream pnm(Path("bad.pgm"), std::ios::binary);
        pnm << "P2 1 x1 255 0";
    }
    CliRun run = Invoke("info " + Path("bad.pgm"));
    EXPECT_NE(run.err.find("'x1' is not a valid integer value"), std::string::npos) << run.err;
    run = Invoke("info " + Path("x.rle"));
    EXPECT_NE(run.err.find("Unknown picture file extension (.rle)"), std::string::npos) << run.err;
}

TEST_F(Cli, TypeAndSaveOptionsGoThroughTheSaveWriters) {
    TBitmap picture(12, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) picture.SetPixel(x, y, x < 6 ? RGBColor(200, 10, 10) : RGBColor(10, 10, 200));
    picture.SaveToFile(Path("in.bmp"));
    auto bytes = [&](const std::string& name) {
        const std::vector<uint8_t> b = testing_support::ReadFileBytes(Path(name));
        return std::string(b.begin(), b.end());
    };

    // The type wins over the name.
    CliRun run = Invoke("convert " + Path("in.bmp") + " " + Path("out.jpg") + " --type png --interlaced --grayscale");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string png = bytes("out.jpg");
    ASSERT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(png[25], 0);  // grey
    EXPECT_EQ(png[28], 1);  // Adam7

    ASSERT_EQ(Invoke("resample " + Path("in.bmp") + " " + Path("t.png") + " --algorithm nearest --scale 50 --transparent").status, 0);
    TGLDPNG transparent;
    transparent.LoadFromFile(Path("t.png"));
    EXPECT_EQ(bytes("t.png")[25], 3);  // palette
    ASSERT_TRUE(transparent.HasAlpha());
    EXPECT_EQ(transparent.AlphaBitmap().PixelIndex(0, 3), 0);   // the bottom-left colour
    EXPECT_EQ(transparent.AlphaBitmap().PixelIndex(5, 0), 255);

    ASSERT_EQ(Invoke("convert " + Path("in.bmp") + " " + Path("t.gif") + " --transparent").status, 0);
    EXPECT_NE(bytes("t.gif").find("\x21\xF9"), std::string::npos);  // graphic control extension
    ASSERT_EQ(Invoke("convert " + Path("in.bmp") + " " + Path("o.gif")).status, 0);
    EXPECT_EQ(bytes("o.gif").find("\x21\xF9"), std::string::npos);

    for (const std::string& bad : {std::string(" --type tiff"), std::string(" --type")}) {
        run = Invoke("convert " + Path("in.bmp") + " " + Path("x.png") + bad);
        EXPECT_EQ(run.status, 1) << bad;
    }
    EXPECT_FALSE(fs::exists(Path("x.png")));
}

TEST_F(Cli, InfoNamesTheIconAndResourceClasses) {
    const struct {
        const char* file;
        const char* expected;
    } cases[] = {
        {"formats/ico_4bit.ico", "class: TIconImageB\nwidth: 16\nheight: 16\npixel format: 24-bit\nalpha plane: no\n"},
        {"formats/cur_hotspot.cur", "class: TIconImageB\n"},
        {"formats/res_bitmap.res", "class: TDcrImageA\nwidth: 5\nheight: 3\npixel format: 8-bit\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = Invoke("info " + testing_support::DataPath(c.file));
        EXPECT_EQ(run.status, 0) << c.file;
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << run.out;
    }
    const CliRun refused = Invoke("info " + testing_support::DataPath("formats/ico_32bit.ico"));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("Zero BitCount"), std::string::npos) << refused.err;
}

TEST_F(Cli, JpegSubsamplingAndExif) {
    const std::string source = testing_support::DataPath("jpegsave/source.ppm");
    const std::string withExif = testing_support::DataPath("jpegsave/exif_mm.jpg");
    ASSERT_EQ(Invoke("convert " + source + " " + Path("s444.jpg") + " --subsampling 444 --quality 75").status, 0);
    EXPECT_EQ(testing_support::ReadFileBytes(Path("s444.jpg")),
              testing_support::ReadFileBytes(testing_support::DataPath("jpegsave/s444_q75.jpg")));

    CliRun run = Invoke("info " + withExif);
    EXPECT_NE(run.out.find("exif: yes\nexif thumbnail: yes 40x30\n"), std::string::npos) << run.out;
    run = Invoke("info " + testing_support::DataPath("jpegsave/exif_noifd1.jpg"));
    EXPECT_NE(run.out.find("exif: yes\nexif thumbnail: no\n"), std::string::npos) << run.out;
    EXPECT_EQ(Invoke("info " + source).out.find("exif"), std::string::npos);  // not a JPEG

    // The copy goes in unchanged after the JFIF header; the update gives a
    // thumbnail of the resampled picture.
    run = Invoke("resample " + withExif + " " + Path("big.jpg") +
                 " --algorithm bilinear --width 320 --exif-copy --update-thumbnail --progressive");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(Invoke("info " + Path("big.jpg")).out.find("exif thumbnail: yes 160x103\n"), std::string::npos);
    ASSERT_EQ(Invoke("convert " + source + " " + Path("copy.jpg") + " --exif-from " + withExif).status, 0);
    const std::vector<uint8_t> copy = testing_support::ReadFileBytes(Path("copy.jpg"));
    const std::vector<uint8_t> original = testing_support::ReadFileBytes(withExif);
    ASSERT_GT(copy.size(), 20u + 1170u);
    EXPECT_EQ(std::vector<uint8_t>(copy.begin() + 20, copy.begin() + 20 + 1170),
              std::vector<uint8_t>(original.begin() + 20, original.begin() + 20 + 1170));

    // A source without Exif is no error, only a note.
    run = Invoke("convert " + source + " " + Path("none.jpg") + " --exif-copy");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("no Exif block"), std::string::npos) << run.err;

    for (const std::string& options : {std::string("--subsampling 422"), std::string("--update-thumbnail"),
                                       "--exif-copy --exif-from " + withExif}) {
        EXPECT_EQ(Invoke("convert " + source + " " + Path("bad.jpg") + " " + options).status, 1) << options;
    }
    EXPECT_EQ(Invoke("convert " + source + " " + Path("bad.png") + " --exif-copy").status, 1);
    EXPECT_FALSE(fs::exists(Path("bad.jpg")));
    EXPECT_FALSE(fs::exists(Path("bad.png")));
}

TEST_F(Cli, SamplePageImagesAreWhatResampleWrites) {
    const std::string in = WriteBmp("in.bmp", 60, 40);
    CliRun run = Invoke("sample " + in + " --scale 50 --columns 3 --out " + Path("page"));
    ASSERT_EQ(run.status, 0) << run.err;
    const char* const names[][2] = {{"lanczos4", "flt_lanczos4"}, {"bspline", "flt_b-spline"},
                                    {"average", "flt_average"}, {"nearest", "flt_nearestneighbor"}};
    for (const auto& [algorithm, file] : names) {
        ASSERT_EQ(Invoke("resample " + in + " " + Path("r.png") + " --scale 50 --algorithm " + algorithm).status, 0);
        TPicture expected, stored;
        expected.LoadFromFile(Path("r.png"));
        stored.LoadFromFile(Path("page/samples/") + file + ".png");
        TBitmap a, b;
        a.Assign(*expected.Graphic());
        b.Assign(*stored.Graphic());
        EXPECT_EQ(testing_support::PixelBytes(a), testing_support::PixelBytes(b)) << algorithm;
    }
    EXPECT_NE(run.out.find("NearestNeighbor"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("[ms]"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(Path("page/sample.html")), std::string::npos) << run.out;

    run = Invoke("sample " + in + " --scale 200 --format jpeg444 --quality 150 --prefix a_ --suffix _b --language 2 "
                 "--prefilter median --out " + Path("jp"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_regular_file(Path("jp/samples/a_flt_gauss_b.jpg")));
    // The Japanese page names its character set from the language file.
    const std::vector<uint8_t> page = testing_support::ReadFileBytes(Path("jp/sample.html"));
    EXPECT_NE(std::string(page.begin(), page.end()).find("charset=Shift_JIS"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("jp/samples/a_flt_average_b.jpg")));
    EXPECT_NE(run.out.find("Median filter"), std::string::npos) << run.out;
    EXPECT_EQ(Invoke("sample " + in + " --columns 6").status, 1);
    EXPECT_EQ(Invoke("sample " + in + " --format gif").status, 1);
}
