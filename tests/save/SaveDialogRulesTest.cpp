#include <gtest/gtest.h>

#include "save/SaveDialogRules.h"

namespace {

TFileTypeItems StandardTypes() {
    TFileTypeItems items;
    for (const TKestruneFileTypeInfo& row : SaveFileTypeTable)
        items.push_back({std::string(row.DisplayName), std::string(row.FileMask)});
    return items;
}

TEST(SaveDialogRules, ExtensionFixUpAppendsOnlyToNamesWithoutExtension) {
    const struct {
        const char* path;
        const char* extension;
        const char* result;
    } cases[] = {
        {"/pics/shot", ".png", "/pics/shot.png"},
        {"/pics/shot.old", ".png", "/pics/shot.old"},
        {"/pics/shot.", ".png", "/pics/shot."},
        {"/pics.d/shot", ".jpg", "/pics.d/shot.jpg"},  // a dot in a folder is no extension
        {"/pics/.hidden", ".jpg", "/pics/.hidden"},
        {"shot", ".jpg", "shot.jpg"},
        {"/pics/shot", "", "/pics/shot"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithDefaultExtension(c.path, c.extension), c.result) << c.path;
    EXPECT_EQ(FileExtension("/a.b/c.tar.gz"), ".gz");
    EXPECT_EQ(FileExtension("/a.b/c"), "");
}

TEST(SaveDialogRules, BothDialogsMapTheStandardListToTheSameTypeAndExtension) {
    const TFileTypeItems items = StandardTypes();
    const char* const extensions[] = {".jpg", ".png", ".bmp", ".gif", ".tga", ".sgi",
                                      ".pcx", ".ppm", ".pgm", ".pbm", ".mag"};
    for (int index = 1; index <= 11; ++index) {
        EXPECT_EQ(SelectedFileTypeOf(items, index), SelectedFileTypeOfFilterIndex(index)) << index;
        EXPECT_EQ(SelectedFileTypeOfFilterIndex(index), static_cast<TFileType4Save>(index));
        EXPECT_EQ(ExtensionForTypeName(items[index - 1].DisplayName), extensions[index - 1]) << index;
        EXPECT_EQ(ExtensionForFilterIndex(index), extensions[index - 1]) << index;
    }
    // The twelfth filter entry is DCR for the older dialog only.
    EXPECT_EQ(SelectedFileTypeOfFilterIndex(12), sftDCR);
    EXPECT_EQ(ExtensionForFilterIndex(12), ".dcr");
    for (int index : {0, 13, -1}) {
        EXPECT_EQ(SelectedFileTypeOfFilterIndex(index), sftUNKNOWN);
        EXPECT_EQ(ExtensionForFilterIndex(index), "");
        EXPECT_EQ(SelectedFileTypeOf(items, index == 13 ? 12 : index), sftUNKNOWN);
    }
    EXPECT_EQ(SelectedFileTypeOf({}, 1), sftUNKNOWN);
}

TEST(SaveDialogRules, TypeNamesMatchByFirstRowContainedCaseSensitively) {
    const struct {
        const char* name;
        TFileType4Save type;
        const char* extension;
    } cases[] = {
        {"Targa", sftTGA, ".tga"},
        {"Truevision Targa image", sftTGA, ".tga"},
        {"JPEG PNG", sftJPG, ".jpg"},        // JPEG is the earlier row
        {"Portable graymap", sftPGM, ".pgm"},
        {"targa", sftUNKNOWN, ""},
        {"Delphi resource", sftUNKNOWN, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SelectedFileTypeOf({{c.name, "*.x"}}, 1), c.type) << c.name;
        EXPECT_EQ(ExtensionForTypeName(c.name), c.extension) << c.name;
    }
}

TEST(SaveDialogRules, LegacyFilterListsNameMaskAndMask) {
    const std::string filter = BuildSaveFilter(StandardTypes());
    EXPECT_EQ(filter.rfind("JPEG (*.jpg)|*.jpg|PNG (*.png)|*.png|", 0), 0u);
    EXPECT_TRUE(filter.ends_with("|Portable bitmap (*.pbm)|*.pbm|MAG (*.mag)|*.mag|")) << filter;
    EXPECT_EQ(BuildSaveFilter({}), "");
}

TEST(SaveDialogRules, OptionsTravelToTheDialogAndBack) {
    TSaveDialogPassport component;
    component.JPEGQuality = 42;
    component.JPEGProgressive = component.PNGGrayscale = component.GIFTransparent = true;
    component.TGARLECompression = component.ExifThumbUpdate = true;
    component.DCRResourceName = "ICON1";
    component.JPEGSubsampling = jss444;
    component.ExifCopyEnabled = false;
    TSaveDialogOptions dialog;
    HandOverOptions(component, dialog);
    EXPECT_EQ(dialog.JPEGQuality, 42);
    EXPECT_TRUE(dialog.JPEGProgressive && dialog.PNGGrayscale && dialog.GIFTransparent && dialog.TGARLECompression &&
                dialog.ExifThumbUpdate);
    EXPECT_FALSE(dialog.JPEGGrayscale || dialog.PNGInterlaced || dialog.ExifCopy);
    EXPECT_EQ(dialog.DCRResourceName, "ICON1");
    EXPECT_EQ(dialog.JPEGSubsampling, 2);
    EXPECT_FALSE(dialog.ExifCopyEnabled);
    EXPECT_TRUE(dialog.ExifThumbUpdateEnabled);

    TSaveDialogPassport back;
    dialog.PNGInterlaced = dialog.PNGReduceTo256Color = dialog.PNGTransparent = dialog.JPEGGrayscale = true;
    dialog.ExifCopyEnabled = true;
    dialog.ExifThumbUpdateEnabled = false;
    back.ExifCopyEnabled = false;
    ReadBackOptions(dialog, back);
    EXPECT_EQ(back.JPEGQuality, 42);
    EXPECT_TRUE(back.PNGInterlaced && back.PNGReduceTo256Color && back.PNGTransparent && back.JPEGGrayscale);
    EXPECT_EQ(back.DCRResourceName, "ICON1");
    EXPECT_EQ(back.JPEGSubsampling, jss444);
    EXPECT_FALSE(back.ExifCopyEnabled) << "the availability flags only travel to the dialog";
    EXPECT_TRUE(back.ExifThumbUpdateEnabled);

    for (const auto& [value, expected] : {std::pair{0, jss420}, {1, jss420}, {2, jss444}, {3, jss420}, {-1, jss420}})
        EXPECT_EQ(SubsamplingFromDialog(value), expected) << value;
}

TEST(SaveDialogRules, QualityColourAndSteps) {
    const TRgb red{255, 0, 0}, orange{254, 135, 40}, blue{0, 0, 255};
    for (const auto& [quality, colour] :
         {std::pair{0, red}, {29, red}, {30, orange}, {64, orange}, {65, blue}, {100, blue}})
        EXPECT_EQ(QualityColour(quality), colour) << quality;
    EXPECT_EQ(StepQuality(98, 5), 100);
    EXPECT_EQ(StepQuality(3, -5), 0);
    EXPECT_EQ(StepQuality(50, 1), 51);
    EXPECT_EQ(StepQuality(150, -1), 100) << "a typed quality above the range comes back into it";
    EXPECT_EQ(StepQuality(INT32_MIN, -5), 0);
}

}  // namespace
