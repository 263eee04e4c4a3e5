// Encoded bytes against libjpeg-turbo's cjpeg with the matching options
// (tests/data/make_jpeg_fixtures.sh).

#include <gtest/gtest.h>

#include <string>

#include "save/JPEGTestSupport.h"

using namespace jpeg_testing;
using testing_support::ReadFileBytes;

namespace {

std::vector<uint8_t> Encoded(const TBitmap& picture, uint8_t quality, bool grayscale, bool progressive) {
    TJPEGImage jpeg;
    jpeg.SetQuality(quality);
    jpeg.SetGrayscale(grayscale);
    jpeg.SetProgressive(progressive);
    jpeg.Assign(picture);
    TMemoryStream stream;
    jpeg.SaveToStream(stream);
    return stream.TakeBytes();
}

struct EncodeCase {
    const char* reference;
    uint8_t quality;
    bool grayscale;
    bool progressive;
};

class Encode : public testing::TestWithParam<EncodeCase> {};

TEST_P(Encode, EqualsCjpeg) {
    const EncodeCase& c = GetParam();
    EXPECT_EQ(Encoded(LoadPpm("source.ppm"), c.quality, c.grayscale, c.progressive),
              ReadFileBytes(Fixture(c.reference)));
}

const EncodeCase kEncodeCases[] = {
    {"enc_q90.jpg", 90, false, false},
    {"enc_q100.jpg", 100, false, false},
    {"enc_q10.jpg", 10, false, false},  // tables limited to 255
    {"enc_q1.jpg", 1, false, false},
    {"enc_q1.jpg", 0, false, false},  // libjpeg takes 0 as 1
    {"enc_q75_prog.jpg", 75, false, true},
    {"enc_q50_grey.jpg", 50, true, false},
    {"enc_q60_grey_prog.jpg", 60, true, true},
};

INSTANTIATE_TEST_SUITE_P(Fixtures, Encode, testing::ValuesIn(kEncodeCases),
                         [](const testing::TestParamInfo<EncodeCase>& param) {
                             std::string name = param.param.reference;
                             name = name.substr(0, name.size() - 4) + "_quality" + std::to_string(param.param.quality);
                             return name;
                         });

// The frame header of a JPEG: marker code and (id, sampling) per component.
struct Frame {
    uint8_t marker = 0;
    std::vector<std::pair<uint8_t, uint8_t>> components;
};

Frame FirstFrame(const std::vector<uint8_t>& file) {
    size_t at = 2;
    while (at + 4 <= file.size() && file[at] == 0xFF) {
        const uint8_t code = file[at + 1];
        const size_t length = size_t(file[at + 2]) << 8 | file[at + 3];
        if (code >= 0xC0 && code <= 0xC2) {
            Frame frame{code, {}};
            const size_t count = file[at + 9];
            for (size_t i = 0; i < count; ++i) frame.components.emplace_back(file[at + 10 + 3 * i], file[at + 11 + 3 * i]);
            return frame;
        }
        at += 2 + length;
    }
    return {};
}

}  // namespace

TEST(EncodeDefaults, AreBaseline420AtQuality90) {
    TJPEGImage jpeg;
    jpeg.Assign(LoadPpm("source.ppm"));
    TMemoryStream stream;
    jpeg.SaveToStream(stream);
    const std::vector<uint8_t> file = stream.TakeBytes();
    EXPECT_EQ(file, ReadFileBytes(Fixture("enc_q90.jpg")));
    const Frame frame = FirstFrame(file);
    EXPECT_EQ(frame.marker, 0xC0);  // baseline
    const std::vector<std::pair<uint8_t, uint8_t>> sampling = {{1, 0x22}, {2, 0x11}, {3, 0x11}};
    EXPECT_EQ(frame.components, sampling);
    // The bytes now stand for the picture: its size and colour are known.
    EXPECT_EQ(jpeg.Data().Width, 97);
    EXPECT_EQ(jpeg.Data().Height, 61);
    EXPECT_EQ(jpeg.BitsPerPixel(), 24);
}

TEST(EncodeInput, AnyPixelFormatEncodesItsColours) {
    const std::vector<uint8_t> expected = ReadFileBytes(Fixture("enc_q90.jpg"));
    for (TPixelFormat format : {pf32bit, pfDevice}) {
        TBitmap picture = LoadPpm("source.ppm");
        picture.SetPixelFormat(format);
        EXPECT_EQ(Encoded(picture, 90, false, false), expected) << format;
    }
}

TEST(EncodeGrayscale, ReadsBackAsAGrayscaleFile) {
    TJPEGImage jpeg;
    jpeg.SetGrayscale(true);
    jpeg.Assign(LoadPpm("source.ppm"));
    jpeg.Compress();
    EXPECT_TRUE(jpeg.Data().Grayscale);
    EXPECT_EQ(jpeg.BitsPerPixel(), 8);
    EXPECT_EQ(FirstFrame(jpeg.Data().Compressed->Bytes()).components.size(), 1u);
}
