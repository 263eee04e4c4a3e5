#include <gtest/gtest.h>

#include "formats/PCXImage.h"
#include "formats/SGIImage.h"
#include "formats/TGAImage.h"
#include "save/TargaSGIPCXWriters.h"
#include "support/TestFolders.h"
#include "support/TestPictures.h"

using namespace testing_support;

namespace {

template <class Image>
std::unique_ptr<Image> LoadFile(const std::string& path) {
    auto image = std::make_unique<Image>();
    image->LoadFromFile(path);
    return image;
}

}  // namespace

TEST(TargaSGIPCXWriters, WriteFilesThatReadBack) {
    const TempFolder folder("vorlix_writers");
    const TBitmap picture = RandomBitmap(17, 9, 21);
    const std::vector<TColor> colours = Colours(picture);
    const std::string plain = (folder.Path() / "plain.tga").string(), packed = (folder.Path() / "packed.tga").string();
    ASSERT_TRUE(SaveAsTarga(picture, plain, false));
    ASSERT_TRUE(SaveAsTarga(picture, packed, true));
    const auto plainBack = LoadFile<TTGAImage>(plain), packedBack = LoadFile<TTGAImage>(packed);
    EXPECT_EQ(plainBack->Header().ImageType, 2);
    EXPECT_EQ(ReadFileBytes(plain).size(), 18u + 17 * 9 * 3);
    EXPECT_EQ(packedBack->Header().ImageType, 10);
    EXPECT_EQ(Colours(plainBack->Bitmap()), colours);
    EXPECT_EQ(Colours(packedBack->Bitmap()), colours);

    const std::string sgi = (folder.Path() / "out.sgi").string(), pcx = (folder.Path() / "out.pcx").string();
    ASSERT_TRUE(SaveAsSGI(picture, sgi));
    EXPECT_EQ(Colours(LoadFile<TSGIImage>(sgi)->Bitmap()), colours);
    ASSERT_TRUE(SaveAsPCX(picture, pcx));
    EXPECT_EQ(Colours(LoadFile<TPCXImage>(pcx)->Bitmap()), colours);
    EXPECT_EQ(Colours(picture), colours);
}

TEST(TargaSGIPCXWriters, FailuresAreFalseAndKeepTheOldFile) {
    const TempFolder folder("vorlix_writers");
    const TBitmap picture = RandomBitmap(4, 4, 22);
    const std::string missing = (folder.Path() / "no such folder" / "x").string();
    EXPECT_FALSE(SaveAsTarga(picture, missing + ".tga", true));
    EXPECT_FALSE(SaveAsSGI(picture, missing + ".sgi"));
    EXPECT_FALSE(SaveAsPCX(picture, missing + ".pcx"));

    // A picture the formats cannot hold: the existing file stays.
    const TBitmap tooWide(70000, 1);
    for (const char* name : {"old.tga", "old.sgi", "old.pcx"}) {
        const std::filesystem::path path = folder.Path() / name;
        WriteFileText(path, "previous");
        const bool saved = path.extension() == ".tga"   ? SaveAsTarga(tooWide, path.string(), false)
                           : path.extension() == ".sgi" ? SaveAsSGI(tooWide, path.string())
                                                        : SaveAsPCX(tooWide, path.string());
        EXPECT_FALSE(saved) << name;
        EXPECT_EQ(ReadFileText(path), "previous") << name;
    }
}
