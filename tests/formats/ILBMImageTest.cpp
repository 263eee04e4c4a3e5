#include <gtest/gtest.h>

#include "formats/FormatTestSupport.h"
#include "formats/ILBMImage.h"

namespace {

using namespace formats_test;

void ExpectColoursOf(const std::string& fixture, const std::string& reference, TPixelFormat format) {
    TILBMImage ilbm;
    LoadInto(ilbm, Fixture(fixture));
    int width = 0, height = 0;
    const std::vector<TColor> expected = Reference(reference, &width, &height);
    ASSERT_EQ(ilbm.Width(), width) << fixture;
    ASSERT_EQ(ilbm.Height(), height);
    EXPECT_EQ(ilbm.Bitmap().PixelFormat(), format) << fixture;
    EXPECT_EQ(Colours(ilbm.Bitmap()), expected) << fixture;
}

TEST(ILBMImage, FilesOfAnotherToolDecodeToTheirColours) {
    ExpectColoursOf("ilbm16_rle.iff", "ilbm16", pf4bit);
    ExpectColoursOf("ilbm16_raw.iff", "ilbm16", pf4bit);
    ExpectColoursOf("ilbm256_rle.iff", "ilbm256", pf8bit);
    ExpectColoursOf("ilbm24_rle.iff", "ilbm24", pf24bit);
}

// A FORM of the given type from chunks (odd chunks get their pad byte).
std::vector<uint8_t> Form(const char* type, const std::vector<std::pair<std::string, std::vector<uint8_t>>>& chunks) {
    std::string body(type, 4);
    for (const auto& [id, data] : chunks) {
        body += id;
        for (int i = 3; i >= 0; --i) body += char(data.size() >> (8 * i));
        body.append(data.begin(), data.end());
        if (data.size() % 2) body += '\0';
    }
    std::string file = "FORM";
    for (int i = 3; i >= 0; --i) file += char(body.size() >> (8 * i));
    return Bytes(file + body);
}

std::vector<uint8_t> Bmhd(uint16_t width, uint16_t height, uint8_t planes, uint8_t compression) {
    std::vector<uint8_t> h(20, 0);
    h[0] = uint8_t(width >> 8), h[1] = uint8_t(width);
    h[2] = uint8_t(height >> 8), h[3] = uint8_t(height);
    h[8] = planes;
    h[10] = compression;
    return h;
}

TEST(ILBMImage, ChunkyFormRunsStopAtTheRowAndOddChunksAreSkipped) {
    // 320 wide: 320 bytes a row. The first row is one run that would spill
    // past the row if runs crossed rows; the second row is literal.
    std::vector<uint8_t> body = {257 - 128, 7, 257 - 128, 7};  // 256 x 7
    body.push_back(257 - 100);                                 // 64 of 100 fit
    body.push_back(9);
    body.push_back(127);
    for (int i = 0; i < 128; ++i) body.push_back(uint8_t(i));
    body.push_back(127);
    for (int i = 0; i < 128; ++i) body.push_back(uint8_t(128 + i));
    body.push_back(63);
    for (int i = 0; i < 64; ++i) body.push_back(uint8_t(i));
    const std::vector<uint8_t> file = Form("PBM ", {{"ANNO", {1, 2, 3}}, {"BMHD", Bmhd(320, 2, 8, 1)}, {"BODY", body}});
    TILBMImage ilbm;
    LoadInto(ilbm, file);
    ASSERT_EQ(ilbm.Width(), 320);
    ASSERT_EQ(ilbm.Bitmap().PixelFormat(), pf8bit);
    EXPECT_TRUE(ilbm.Chunky());
    EXPECT_EQ(ilbm.Bitmap().PixelIndex(255, 0), 7);
    EXPECT_EQ(ilbm.Bitmap().PixelIndex(319, 0), 9);
    // The run of 100 was cut at the row's end: row 1 starts with the literal.
    EXPECT_EQ(ilbm.Bitmap().PixelIndex(0, 1), 0);
    EXPECT_EQ(ilbm.Bitmap().PixelIndex(200, 1), 200);
}

TEST(ILBMImage, HeaderAndPlaneErrors) {
    struct Case {
        std::vector<uint8_t> File;
        const char* Message;
    };
    const std::vector<uint8_t> body(40, 0);
    const Case cases[] = {
        {Form("ILBM", {{"BMHD", Bmhd(8, 2, 5, 0)}, {"BODY", body}}), "Plane Error"},
        {Form("ILBM", {{"BMHD", Bmhd(8, 2, 4, 2)}, {"BODY", body}}), "Header Error"},
        {Form("ILBM", {{"BODY", body}}), "Header Error"},
        {Form("ILBM", {{"BMHD", Bmhd(8, 2, 4, 0)}}), "Header Error"},
        {Form("ACBM", {{"BMHD", Bmhd(8, 2, 4, 0)}, {"BODY", body}}), "Header Error"},
        {Bytes("FORM"), "Header Error"},
        {Form("ILBM", {{"BMHD", Bmhd(0, 2, 1, 0)}, {"BODY", body}}), "Header Error"},
        {Form("ILBM", {{"BMHD", Bmhd(8, 0, 4, 1)}, {"BODY", body}}), "Header Error"},
        // 65535 x 65535 in 24 planes from a few bytes of BODY.
        {Form("ILBM", {{"BMHD", Bmhd(65535, 65535, 24, 1)}, {"BODY", body}}), "Header Error"},
    };
    for (const Case& c : cases) {
        TILBMImage ilbm;
        try {
            LoadInto(ilbm, c.File);
            ADD_FAILURE() << c.Message;
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
}

TEST(ILBMImage, ATruncatedBodyLeavesTheLastRowsUnfilled) {
    std::vector<uint8_t> file = Fixture("ilbm16_raw.iff");
    TILBMImage whole;
    LoadInto(whole, file);
    TILBMImage cut;
    // 4 planes of 2 bytes a row: drop the last row and a half.
    LoadInto(cut, Cut(file, file.size() - 12));
    ASSERT_EQ(cut.Height(), whole.Height());
    for (int x = 0; x < whole.Width(); ++x) {
        EXPECT_EQ(cut.Bitmap().PixelIndex(x, 0), whole.Bitmap().PixelIndex(x, 0));
        EXPECT_EQ(cut.Bitmap().PixelIndex(x, 4), 0);
    }
}

}  // namespace
