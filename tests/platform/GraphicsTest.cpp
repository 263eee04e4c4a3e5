#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "platform/PlatformGraphics.h"
#include "support/TestPictures.h"

namespace {

// Two throw-away classes to watch the registry's override rule.
class TFirstTestGraphic : public TBitmap {
    VORLIX_GRAPHIC_CLASS();
};
class TSecondTestGraphic : public TFirstTestGraphic {
    VORLIX_GRAPHIC_CLASS();
};
VORLIX_DEFINE_GRAPHIC_CLASS(TFirstTestGraphic, TBitmap)
VORLIX_DEFINE_GRAPHIC_CLASS(TSecondTestGraphic, TFirstTestGraphic)

std::string TempFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

}  // namespace

TEST(Registry, StartsWithThePlatformEntriesAndTheLatestRegistrationWins) {
    const auto formats = TPicture::FileFormats();
    ASSERT_GE(formats.size(), 4u);
    EXPECT_EQ(formats[0].Extension, "wmf");
    EXPECT_EQ(formats[1].Extension, "emf");
    EXPECT_EQ(formats[2].Extension, "ico");
    EXPECT_EQ(formats[3].Extension, "bmp");
    EXPECT_EQ(TPicture::FindGraphicClass("BMP"), &TBitmap::StaticClass());

    TPicture::RegisterFileFormat("TST", "first", TFirstTestGraphic::StaticClass());
    TPicture::RegisterFileFormat("tst", "second", TSecondTestGraphic::StaticClass());
    EXPECT_EQ(TPicture::FindGraphicClass(".Tst"), &TSecondTestGraphic::StaticClass());
    // Unregistering a class takes its descendants with it.
    TPicture::UnregisterGraphicClass(TFirstTestGraphic::StaticClass());
    EXPECT_EQ(TPicture::FindGraphicClass("tst"), nullptr);
}

TEST(Registry, LoadPicksTheClassByExtensionAndKeepsThePictureOnFailure) {
    const std::string good = TempFile("vorlix-registry.BMP");
    testing_support::RandomBitmap(4, 3, 9).SaveToFile(good);
    TPicture picture;
    picture.LoadFromFile(good);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(&picture.Graphic()->ClassType(), &TBitmap::StaticClass());
    TGraphic* first = picture.Graphic();

    try {
        picture.LoadFromFile(TempFile("x.rle"));
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "拡張子 .rle の画像形式は処理できません");
    }
    const std::string bad = TempFile("vorlix-registry-bad.bmp");
    {
        TMemoryStream junk(std::vector<uint8_t>(40, 'x'));
        junk.SaveToFile(bad);
    }
    EXPECT_THROW(picture.LoadFromFile(bad), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(TempFile("missing-vorlix.bmp")), EFOpenError);
    EXPECT_EQ(picture.Graphic(), first);
    EXPECT_EQ(picture.Width(), 4);

    const std::string metafile = TempFile("vorlix.wmf");
    std::filesystem::copy_file(bad, metafile, std::filesystem::copy_options::overwrite_existing);
    EXPECT_THROW(picture.LoadFromFile(metafile), EInvalidGraphic);
    for (const auto& f : {good, bad, metafile}) std::filesystem::remove(f);
}

TEST(Registry, HandsTheDecodedPictureOverByAssignment) {
    TIcon icon;
    TBitmap target;
    EXPECT_THROW(icon.SetWidth(3), EInvalidGraphic);
    TBitmap source = testing_support::RandomBitmap(2, 2, 4);
    TBitmap copy;
    copy.Assign(static_cast<const TGraphic&>(source));
    EXPECT_EQ(testing_support::PixelBytes(copy), testing_support::PixelBytes(source));
}
