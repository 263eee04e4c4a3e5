#include <gtest/gtest.h>

#include <cstring>

#include "formats/AVIImage.h"
#include "formats/FormatRegistry.h"
#include "formats/FormatTestSupport.h"
#include "formats/MPEGImage.h"
#include "platform/ShellIcons.h"

namespace {

using namespace formats_test;

// Puts back where the decoder libraries are looked for.
struct DecoderFolders {
    explicit DecoderFolders(std::vector<std::string> folders) {
        RegisterFormatUnits();
        SetVideoDecoderFoldersOverride(std::move(folders));
    }
    ~DecoderFolders() { SetVideoDecoderFoldersOverride(std::nullopt); }
};

TEST(VideoImage, WithoutTheDecoderTheFileIconOnTheButtonFace) {
    DecoderFolders none({});
    SetButtonFaceColour(RGBColor(10, 20, 30));
    TBitmap icon(32, 32, pf32bit);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint8_t* p = icon.ScanLine(y) + 4 * x;
            p[0] = 200, p[1] = 100, p[2] = 50, p[3] = x < 16 ? 255 : 0;  // left half opaque
        }
    std::string asked;
    SetAssociatedIconProvider([&](const std::string& name) -> std::optional<TBitmap> {
        asked = name;
        return icon;
    });
    for (const char* name : {"clip.avi", "clip.mpg"}) {
        TPicture picture;
        picture.LoadFromFile(DataPath(std::string("formats/") + (name[5] == 'a' ? "first.avi" : "first.mpg")));
        TBitmap shown;
        shown.Assign(*picture.Graphic());
        ASSERT_EQ(shown.Width(), 64);
        ASSERT_EQ(shown.Height(), 64);
        EXPECT_EQ(shown.PixelFormat(), pf24bit);
        EXPECT_EQ(shown.Pixel(0, 0), RGBColor(10, 20, 30));
        EXPECT_EQ(shown.Pixel(16, 16), RGBColor(50, 100, 200));   // the icon from (16, 16)
        EXPECT_EQ(shown.Pixel(15, 16), RGBColor(10, 20, 30));
        EXPECT_EQ(shown.Pixel(40, 40), RGBColor(10, 20, 30));     // its transparent half
        EXPECT_NE(asked.find("first."), std::string::npos);
    }
    SetAssociatedIconProvider(nullptr);
    SetButtonFaceColour(std::nullopt);
}

#ifdef VORLIX_VIDEO_DECODER_DIR
// The first frame through our decoder libraries equals what the video
// tool itself decodes and converts.
TEST(VideoImage, TheDecoderLibrariesShowTheFirstFrame) {
    DecoderFolders ours({VORLIX_VIDEO_DECODER_DIR});
    struct Case {
        const char* File;
        int Width, Height;
    };
    for (const Case c : {Case{"first.avi", 32, 24}, Case{"first.mpg", 48, 32}}) {
        TPicture picture;
        picture.LoadFromFile(DataPath(std::string("formats/") + c.File));
        TBitmap shown;
        shown.Assign(*picture.Graphic());
        ASSERT_EQ(shown.Width(), c.Width) << c.File;
        ASSERT_EQ(shown.Height(), c.Height);
        ASSERT_EQ(shown.PixelFormat(), pf24bit);
        const std::vector<uint8_t> expected = Fixture(std::string(c.File) + ".frame0.bgr");
        for (int y = 0; y < c.Height; ++y)
            ASSERT_EQ(0, std::memcmp(shown.ScanLine(y), expected.data() + size_t(y) * size_t(3 * c.Width),
                                     size_t(3 * c.Width)))
                << c.File << " row " << y;
    }
}

TEST(VideoImage, AFileWithoutAFrameIsAnError) {
    DecoderFolders ours({VORLIX_VIDEO_DECODER_DIR});
    const std::string path = TempPath("noframe.avi");
    TMemoryStream(Bytes("RIFF....AVI not really")).SaveToFile(path);
    TPicture picture;
    try {
        picture.LoadFromFile(path);
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Exception");
    }
    std::filesystem::remove(path);
}
#endif

}  // namespace
