#include <gtest/gtest.h>

#include "formats/IconImageA.h"
#include "formats/IconImageB.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v);
    Put16(out, v >> 16);
}

// An icon image as files store it: the DIB header with the doubled height,
// a full palette, the colour rows and optionally the transparency rows,
// all bottom-up.
std::vector<uint8_t> IconDib(const TBitmap& picture, bool withMask) {
    const int bits = TBitmap::BitsPerPixel(picture.PixelFormat());
    const size_t entries = bits <= 8 ? size_t{1} << bits : 0;
    const size_t row = (size_t(picture.Width()) * size_t(bits) + 31) / 32 * 4;
    const size_t maskRow = (size_t(picture.Width()) + 31) / 32 * 4;
    std::vector<uint8_t> dib;
    Put32(dib, 40);
    Put32(dib, uint32_t(picture.Width()));
    Put32(dib, uint32_t(picture.Height() * 2));
    Put16(dib, 1);
    Put16(dib, uint32_t(bits));
    for (int i = 0; i < 6; ++i) Put32(dib, 0);
    const TPalette& palette = picture.EffectivePalette();
    for (size_t i = 0; i < entries; ++i) {
        const TPaletteEntry e = i < palette.size() ? palette[i] : TPaletteEntry{};
        dib.insert(dib.end(), {e.Blue, e.Green, e.Red, 0});
    }
    for (int y = picture.Height() - 1; y >= 0; --y) dib.insert(dib.end(), picture.ScanLine(y), picture.ScanLine(y) + row);
    if (withMask)
        for (int y = picture.Height() - 1; y >= 0; --y)
            for (size_t i = 0; i < maskRow; ++i) dib.push_back(y % 2 ? 0xFF : 0x00);
    return dib;
}

std::vector<uint8_t> IconFile(const std::vector<std::pair<TBitmap, bool>>& images, uint16_t type = 1) {
    std::vector<uint8_t> file, images_bytes;
    Put16(file, 0);
    Put16(file, type);
    Put16(file, uint32_t(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (const auto& [picture, mask] : images) {
        const std::vector<uint8_t> dib = IconDib(picture, mask);
        const int bits = TBitmap::BitsPerPixel(picture.PixelFormat());
        file.push_back(uint8_t(picture.Width()));
        file.push_back(uint8_t(picture.Height()));
        file.push_back(bits < 8 ? uint8_t(1u << bits) : 0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, uint32_t(bits));
        Put32(file, uint32_t(dib.size()));
        Put32(file, offset);
        offset += uint32_t(dib.size());
        images_bytes.insert(images_bytes.end(), dib.begin(), dib.end());
    }
    file.insert(file.end(), images_bytes.begin(), images_bytes.end());
    return file;
}

TBitmap With16Colours(int width, int height, uint32_t seed) {
    TBitmap picture = RandomBitmap(width, height, seed, pf4bit);
    TPalette palette(16);
    for (size_t i = 0; i < 16; ++i) palette[i] = {uint8_t(i * 16), uint8_t(255 - i * 8), uint8_t(i * 3 + 1), 0};
    picture.SetPalette(palette);
    return picture;
}

std::string LoadError(const std::vector<uint8_t>& bytes) {
    try {
        TIconImageB icon;
        LoadInto(icon, bytes);
    } catch (const Exception& e) {
        return e.what();
    }
    return "loaded";
}

}  // namespace

TEST(IconImageB, IconsAndCursorsOfOtherToolsShowTheirFirstImage) {
    const char* const files[] = {"ico_1bit.ico",  "ico_4bit.ico",       "ico_8bit.ico",
                                 "ico_24bit.ico", "ico_two_images.ico", "cur_hotspot.cur"};
    for (const char* file : files) {
        SCOPED_TRACE(file);
        const std::string stem = std::string(file).substr(0, std::string(file).size() - 4);
        int width = 0, height = 0;
        const std::vector<TColor> expected = Reference(stem, &width, &height);
        TIconImageB icon;
        LoadInto(icon, Fixture(file));
        // Every one carries transparency rows, so each is composed to 24-bit.
        EXPECT_EQ(icon.Bitmap().PixelFormat(), pf24bit);
        ASSERT_EQ(icon.Width(), width);
        ASSERT_EQ(icon.Height(), height);
        EXPECT_EQ(Colours(icon.Bitmap()), expected);
        EXPECT_EQ(icon.Mask().Width(), width);
    }
    TIconImageB two;
    LoadInto(two, Fixture("ico_two_images.ico"));
    ASSERT_EQ(two.Entries().size(), 2u);
    EXPECT_EQ(two.Entries()[1].Width, 32);
    EXPECT_EQ(two.Entries()[0].ImageEnd, two.Entries()[1].ImageOffset);

    EXPECT_EQ(LoadError(Fixture("ico_32bit.ico")), "Zero BitCount");
}

TEST(IconImageB, OnlyIndexedImagesWithoutTransparencyRowsStayIndexed) {
    const TBitmap picture = With16Colours(16, 8, 4);
    TIconImageB plain;
    LoadInto(plain, IconFile({{picture, false}}));
    EXPECT_EQ(plain.Bitmap().PixelFormat(), pf4bit);
    EXPECT_EQ(plain.Palette(), picture.Palette());
    EXPECT_EQ(Indices(plain.Bitmap()), Indices(picture));

    TIconImageB masked;
    LoadInto(masked, IconFile({{picture, true}}));
    EXPECT_EQ(masked.Bitmap().PixelFormat(), pf24bit);
    EXPECT_EQ(Colours(masked.Bitmap()), Colours(picture));

    // A width byte of 0 stands for 256 pixels.
    const TBitmap wideIcon = With16Colours(256, 2, 8);
    TIconImageB widest;
    LoadInto(widest, IconFile({{wideIcon, false}}));
    EXPECT_EQ(widest.Width(), 256);
    EXPECT_EQ(Indices(widest.Bitmap()), Indices(wideIcon));

    // 24-bit rows 15 pixels wide are 48 bytes long.
    const TBitmap odd = RandomBitmap(15, 6, 9);
    TIconImageB wide;
    LoadInto(wide, IconFile({{odd, true}}));
    EXPECT_EQ(PixelBytes(wide.Bitmap()), PixelBytes(odd));
}

TEST(IconImageB, BadDirectoriesAndCutFilesAreRefused) {
    const std::vector<uint8_t> good = IconFile({{With16Colours(16, 16, 1), true}}, 2);
    auto with16 = [&](size_t at, uint16_t value) {
        std::vector<uint8_t> b = good;
        PutLE16(b, at, value);
        return b;
    };
    EXPECT_EQ(LoadError({}), "Signature err");
    EXPECT_EQ(LoadError(with16(0, 1)), "Reserved error");
    EXPECT_EQ(LoadError(with16(2, 3)), "Resource type error");
    EXPECT_EQ(LoadError(with16(4, 0)), "Signature err");
    std::vector<uint8_t> colourCount = good;
    for (uint8_t count : {0, 2}) {  // a 4-bit image without its colour count, or with another
        colourCount[8] = count;
        EXPECT_EQ(LoadError(colourCount), "Zero BitCount");
    }

    // A directory that claims more images than the file holds, an image
    // past the end, and colour rows cut short raise the read error; cut
    // transparency rows still show the picture.
    EXPECT_THROW(LoadInto(*std::make_unique<TIconImageB>(), with16(4, 60000)), EReadError);
    std::vector<uint8_t> far = good;
    for (int i = 0; i < 4; ++i) far[18 + size_t(i)] = 0xF0;
    EXPECT_THROW(LoadInto(*std::make_unique<TIconImageB>(), far), EReadError);
    const size_t colourEnd = 22 + 40 + 64 + 16 * 8;
    for (size_t length = 1; length < good.size(); ++length) {
        SCOPED_TRACE(length);
        TIconImageB icon;
        if (length < colourEnd) {
            EXPECT_THROW(LoadInto(icon, Cut(good, length)), EReadError);
        } else {
            LoadInto(icon, Cut(good, length));
            EXPECT_EQ(icon.Width(), 16);
        }
    }
}

TEST(IconImageA, ReadsTheImageAfterTheFirstEntry) {
    TIconImageA eight;
    LoadInto(eight, Fixture("ico_8bit.ico"));
    EXPECT_EQ(eight.Bitmap().PixelFormat(), pf8bit);
    EXPECT_EQ(Colours(eight.Bitmap()), Reference("ico_8bit"));

    // 32-bit images keep their fourth byte beside each pixel.
    TIconImageA full;
    LoadInto(full, Fixture("ico_32bit.ico"));
    EXPECT_EQ(full.Bitmap().PixelFormat(), pf24bit);
    EXPECT_EQ(Colours(full.Bitmap()), Reference("ico_24bit"));

    const TBitmap mono = RandomBitmap(8, 8, 3, pf1bit);
    TIconImageA one;
    LoadInto(one, IconFile({{mono, true}}, 2));
    EXPECT_EQ(one.Bitmap().PixelFormat(), pf1bit);
    EXPECT_EQ(Indices(one.Bitmap()), Indices(mono));

    // A bad directory header gives an empty picture; an empty stream and
    // cut rows are errors.
    std::vector<uint8_t> bad = Fixture("ico_8bit.ico");
    bad[2] = 5;
    TIconImageA empty;
    LoadInto(empty, bad);
    EXPECT_TRUE(empty.Bitmap().Empty());
    try {
        LoadInto(empty, {});
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Signature err");
    }
    EXPECT_THROW(LoadInto(empty, Cut(Fixture("ico_8bit.ico"), 600)), EReadError);
}
