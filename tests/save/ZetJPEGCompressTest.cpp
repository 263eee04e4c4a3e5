// The 4:4:4 encoder and the lossless rewrite against libjpeg-turbo's cjpeg
// and jpegtran (tests/data/make_jpegsave_fixtures.sh), the quantisation
// tables, and the failures that must reach the caller.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Exceptions.h"
#include "save/JPEGSaveTestSupport.h"
#include "save/ZetJPEGCompress.h"
#include "save/ZetJPEGImage.h"
#include "save/ZetJPEGSubsampling.h"
#include "support/TestFolders.h"

using namespace jpegsave_testing;

namespace {

std::vector<uint8_t> Encoded444(const TBitmap& picture, int quality, bool progressive = false,
                                bool grayscale = false) {
    TMemoryStream stream;
    EncodeJPEG444(picture, stream, progressive, grayscale, quality);
    return stream.TakeBytes();
}

// JPEG's largest side is 65500: one more column is libjpeg's error.
TBitmap TooWidePicture() { return TBitmap(65501, 1, pf24bit); }

TEST(QuantTables, ScaleAsLibjpegWithTheBaselineLimit) {
    ScaleQuantTables(75);
    EXPECT_EQ(LumaQuantTable[0], 8u);  // (16 x 50 + 50) div 100
    ScaleQuantTables(10);
    EXPECT_EQ(LumaQuantTable[0], 80u);  // (16 x 500 + 50) div 100
    ScaleQuantTables(1);
    for (uint32_t v : ChromaQuantTable) EXPECT_EQ(v, 255u);
    ScaleQuantTables(100);
    for (uint32_t v : LumaQuantTable) EXPECT_EQ(v, 1u);
    const TQuantTable at100 = ChromaQuantTable;
    ScaleQuantTables(300);
    EXPECT_EQ(ChromaQuantTable, at100);
    ScaleQuantTables(1);
    const TQuantTable at1 = LumaQuantTable;
    ScaleQuantTables(0);
    EXPECT_EQ(LumaQuantTable, at1);
    LoadStandardQuantTables();
    EXPECT_EQ(LumaQuantTable, StandardLumaTable);
    EXPECT_EQ(ChromaQuantTable, StandardChromaTable);
}

struct ReferenceCase {
    int quality;
    bool progressive;
    bool grayscale;
    const char* reference;
};

class Encode444 : public testing::TestWithParam<ReferenceCase> {};

TEST_P(Encode444, EqualsLibjpegTurboTools) {
    const ReferenceCase& c = GetParam();
    EXPECT_EQ(Encoded444(SourcePicture(), c.quality, c.progressive, c.grayscale), SaveFixtureBytes(c.reference));
}

INSTANTIATE_TEST_SUITE_P(
    Qualities, Encode444,
    testing::Values(ReferenceCase{1, false, false, "s444_q1.jpg"}, ReferenceCase{10, false, false, "s444_q10.jpg"},
                    ReferenceCase{50, false, false, "s444_q50.jpg"}, ReferenceCase{75, false, false, "s444_q75.jpg"},
                    ReferenceCase{90, false, false, "s444_q90.jpg"},
                    ReferenceCase{100, false, false, "s444_q100.jpg"},
                    ReferenceCase{0, false, false, "s444_q1.jpg"}, ReferenceCase{300, false, false, "s444_q100.jpg"},
                    ReferenceCase{50, true, false, "s444_q50_prog.jpg"},
                    ReferenceCase{90, true, false, "s444_q90_prog.jpg"},
                    ReferenceCase{50, false, true, "s444_q50_grey.jpg"},
                    ReferenceCase{90, false, true, "s444_q90_grey.jpg"},
                    ReferenceCase{75, true, true, "s444_q75_grey_prog.jpg"}));

TEST(Encode444, PictureOfAnyPixelFormatIsEncodedAsItsColours) {
    TBitmap picture = SourcePicture();
    picture.SetPixelFormat(pf32bit);
    EXPECT_EQ(Encoded444(picture, 90), SaveFixtureBytes("s444_q90.jpg"));
}

TEST(Encode444, EmptyPictureGivesEmptyStream) {
    EXPECT_TRUE(Encoded444(TBitmap(), 90).empty());
    EXPECT_TRUE(Encoded444(TBitmap(), 90, true, true).empty());
}

TEST(Encode444, EncoderFailureRaisesInsteadOfLeavingAShortStream) {
    TMemoryStream stream;
    EXPECT_THROW(EncodeJPEG444(TooWidePicture(), stream, false, false, 90), EJPEG);
    EXPECT_THROW(EncodeJPEG444(TooWidePicture(), stream, true, true, 90), EJPEG);
}

TEST(EncodeToJPEGImage, LoadsTheModuleEncoding) {
    Set444SamplingFactors();
    LoadStandardQuantTables();
    ScaleQuantTables(75);
    TJPEGImage image;
    EncodeToJPEGImage(SourcePicture(), image);
    EXPECT_EQ(image.Width(), 45);
    EXPECT_EQ(image.Height(), 29);
    TMemoryStream saved;
    image.SaveToStream(saved);
    EXPECT_EQ(saved.Bytes(), SaveFixtureBytes("s444_q75.jpg"));
}

TEST(TranscodeJPEG, KeepsMarkersAsTheCopyModeSays) {
    // An APP2 and a comment after the JFIF header of the baseline file.
    std::vector<uint8_t> bytes = SaveFixtureBytes("s444_q50.jpg");
    const std::string app2 = "\xFF\xE2" + std::string("\x00\x0C", 2) + "app2-bytes";
    const std::string comment = "\xFF\xFE" + std::string("\x00\x0B", 2) + "a comment";
    const std::string extra = app2 + comment;
    bytes.insert(bytes.begin() + 20, extra.begin(), extra.end());
    auto rewritten = [&](TMarkerCopy mode) {
        TMemoryStream source(bytes), destination;
        ResetTranscodeOptions();
        TranscodeOptions.CopyMarkers = mode;
        EXPECT_TRUE(TranscodeJPEG(source, destination));
        return std::string(destination.Bytes().begin(), destination.Bytes().end());
    };
    const std::string all = rewritten(TMarkerCopy::All);
    const std::string comments = rewritten(TMarkerCopy::Comments);
    const std::string none = rewritten(TMarkerCopy::None);
    EXPECT_EQ(all.find("JFIF"), all.rfind("JFIF"));  // the compressor's own header only
    EXPECT_NE(all.find("app2-bytes"), std::string::npos);
    EXPECT_NE(all.find("a comment"), std::string::npos);
    EXPECT_EQ(comments.find("app2-bytes"), std::string::npos);
    EXPECT_NE(comments.find("a comment"), std::string::npos);
    EXPECT_EQ(none.find("a comment"), std::string::npos);
    // Without options the coefficients and tables come out as they were.
    std::vector<uint8_t> plain = SaveFixtureBytes("s444_q50.jpg");
    TMemoryStream source(plain), destination;
    ResetTranscodeOptions();
    EXPECT_TRUE(TranscodeJPEG(source, destination));
    EXPECT_EQ(destination.Bytes(), plain);
}

TEST(TranscodeJPEG, LibraryErrorRaisesAndLeavesTheDestination) {
    ResetTranscodeOptions();
    const std::vector<uint8_t> kept = {1, 2, 3};
    std::vector<uint8_t> cut = SaveFixtureBytes("s444_q50.jpg");
    cut.resize(100);  // inside the Huffman tables
    for (const std::vector<uint8_t>& bytes : {std::vector<uint8_t>{0xFF, 0xD8, 0xFF}, std::vector<uint8_t>(64, 0x55), cut}) {
        TMemoryStream source(bytes), destination(kept);
        EXPECT_THROW(TranscodeJPEG(source, destination), EJPEG);
        EXPECT_EQ(destination.Bytes(), kept);
    }
}

TEST(TranscodeJPEG, ForcedGreyNeedsLuminance) {
    ResetTranscodeOptions();
    TranscodeOptions.ForceGrayscale = true;
    // A grey file stays as it is; a CMYK one cannot be reduced.
    std::vector<uint8_t> grey = SaveFixtureBytes("s444_q50_grey.jpg");
    TMemoryStream source(grey), destination;
    EXPECT_TRUE(TranscodeJPEG(source, destination));
    EXPECT_EQ(destination.Bytes(), grey);
    TMemoryStream cmyk(testing_support::ReadFileBytes(testing_support::DataPath("jpeg/im_cmyk.jpg"))), out;
    EXPECT_THROW(TranscodeJPEG(cmyk, out), EJPEG);
}

TEST(SaveJPEG420, EqualsTheJPEGClassAndReportsFailure) {
    const TBitmap picture = SourcePicture();
    TJPEGImage jpeg;
    jpeg.SetQuality(75);
    jpeg.SetProgressive(true);
    jpeg.Assign(picture);
    TMemoryStream expected, actual;
    jpeg.SaveToStream(expected);
    ASSERT_TRUE(SaveJPEG420ToStream(picture, actual, true, false, 75));
    EXPECT_EQ(actual.Bytes(), expected.Bytes());

    // Quality above the 8-bit range does not wrap into a low one.
    TMemoryStream at100, at300;
    ASSERT_TRUE(SaveJPEG420ToStream(picture, at100, false, false, 100));
    ASSERT_TRUE(SaveJPEG420ToStream(picture, at300, false, false, 300));
    EXPECT_EQ(at300.Bytes(), at100.Bytes());

    TMemoryStream failed;
    EXPECT_FALSE(SaveJPEG420ToStream(TooWidePicture(), failed, false, false, 90));
    EXPECT_FALSE(SaveJPEG420ToStream(TBitmap(), failed, false, false, 90));

    testing_support::TempFolder folder("vorlix_jpeg420");
    const std::string path = (folder.Path() / "out.jpg").string();
    testing_support::WriteFileText(path, "old");
    EXPECT_FALSE(SaveJPEG420ToFile(TooWidePicture(), path, false, false, 90));
    EXPECT_EQ(testing_support::ReadFileText(path), "old");
    ASSERT_TRUE(SaveJPEG420ToFile(picture, path, false, true, 50));
    TJPEGImage reread;
    reread.LoadFromFile(path);
    EXPECT_EQ(reread.BitsPerPixel(), 8);
    EXPECT_EQ(std::filesystem::directory_iterator(folder.Path())->path().filename(), "out.jpg");
}

}  // namespace
