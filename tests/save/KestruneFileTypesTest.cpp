#include <gtest/gtest.h>

#include "save/KestruneFileTypes.h"

TEST(KestruneFileTypes, RowNumberIsTheTypeValueAndDcrHasNoRow) {
    const struct {
        const char* name;
        const char* mask;
        bool options;
    } expected[] = {{"JPEG", "*.jpg", true},
                    {"PNG", "*.png", true},
                    {"Bitmap", "*.bmp", false},
                    {"GIF", "*.gif", true},
                    {"Targa", "*.tga", true},
                    {"SGI", "*.sgi", false},
                    {"ZSoft Paintbrush", "*.pcx", false},
                    {"Portable pixelmap", "*.ppm", false},
                    {"Portable graymap", "*.pgm", false},
                    {"Portable bitmap", "*.pbm", false},
                    {"MAG", "*.mag", false}};
    ASSERT_EQ(SaveFileTypeTable.size(), std::size(expected));
    for (size_t i = 0; i < SaveFileTypeTable.size(); ++i) {
        const TKestruneFileTypeInfo& row = SaveFileTypeTable[i];
        EXPECT_EQ(row.FileType, i + 1) << row.DisplayName;
        EXPECT_EQ(row.DisplayName, expected[i].name);
        EXPECT_EQ(row.FileMask, expected[i].mask);
        EXPECT_EQ(row.HasOptions, expected[i].options) << row.DisplayName;
        EXPECT_TRUE(row.SecondName.empty());
        EXPECT_NE(row.FileType, sftDCR);
    }
    static_assert(sizeof(TFileType4Save) == 1 && sizeof(TJPEGSubsampling) == 1);
    static_assert(sftDCR == 12 && jss420 == 0 && jss422 == 1 && jss444 == 2);
}
