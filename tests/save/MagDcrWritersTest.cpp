#include <gtest/gtest.h>

#include <filesystem>

#include "formats/DcrImageA.h"
#include "formats/Mag.h"
#include "platform/Streams.h"
#include "save/MagDcrWriters.h"
#include "support/TestPictures.h"

using namespace testing_support;

namespace {

std::string TempFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("vorlix-writers-" + name)).string();
}

// Three colours: reduced exactly, in the order green, red, blue ascending.
TBitmap ThreeColours() {
    TBitmap picture(6, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            picture.SetPixel(x, y, x < 2 ? RGBColor(0, 0, 255) : x < 4 ? RGBColor(255, 0, 0) : RGBColor(0, 255, 0));
    return picture;
}

}  // namespace

TEST(MagDcrWriters, ReduceTheGivenPictureAndWriteItsFormat) {
    const TBitmap original = ThreeColours();
    const std::string mag = TempFile("picture.mag"), dcr = TempFile("picture.dcr");

    TBitmap forMag = original;
    ASSERT_TRUE(SaveAsMAG(forMag, mag));
    EXPECT_EQ(forMag.PixelFormat(), pf8bit);  // the copy it was given is reduced
    TMAGImage readMag;
    readMag.LoadFromFile(mag);
    EXPECT_EQ(readMag.ColourMode(), 1);
    EXPECT_EQ(readMag.Width(), 8);  // widened to the unit
    for (int x = 0; x < 6; ++x) EXPECT_EQ(readMag.Bitmap().Pixel(x, 1), original.Pixel(x, 1));
    EXPECT_EQ(readMag.Bitmap().PixelIndex(0, 0), 0);  // blue is the first colour

    TBitmap forDcr = original;
    ASSERT_TRUE(SaveAsDCR(forDcr, dcr, "logo"));
    TDcrImageA readDcr;
    readDcr.LoadFromFile(dcr);
    EXPECT_EQ(readDcr.Current().ResourceName, "LOGO");
    EXPECT_EQ(readDcr.Bitmap().PixelFormat(), pf8bit);
    EXPECT_EQ(Colours(readDcr.Bitmap()), Colours(original));
    std::filesystem::remove(mag);
    std::filesystem::remove(dcr);
}

TEST(MagDcrWriters, FailuresAreReportedAndKeepTheExistingFile) {
    const std::string folder = TempFile("no-such-folder") + "/x.mag";
    TBitmap picture = ThreeColours();
    EXPECT_FALSE(SaveAsMAG(picture, folder));
    EXPECT_FALSE(SaveAsDCR(picture, folder, "x"));

    // An empty picture cannot be a MAG file; what was there stays.
    const std::string existing = TempFile("existing.mag");
    TMemoryStream(std::vector<uint8_t>{'o', 'l', 'd'}).SaveToFile(existing);
    TBitmap empty;
    EXPECT_FALSE(SaveAsMAG(empty, existing));
    EXPECT_EQ(ReadFileBytes(existing), (std::vector<uint8_t>{'o', 'l', 'd'}));
    std::filesystem::remove(existing);
}
