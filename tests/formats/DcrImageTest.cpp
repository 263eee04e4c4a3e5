#include <gtest/gtest.h>

#include "formats/DcrImageA.h"
#include "save/ZetJPEGImage.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

std::vector<uint8_t> Written(const TBitmap& picture, const std::string& name) {
    TDcrImageA dcr;
    dcr.Assign(picture);
    dcr.SetResourceName(name);
    return Saved(dcr);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// One resource entry with an ordinal type and name and the given data.
std::vector<uint8_t> Entry(uint16_t type, uint16_t name, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> e;
    Put32(e, uint32_t(data.size()));
    Put32(e, 32);
    Put32(e, 0xFFFFu | uint32_t{type} << 16);
    Put32(e, 0xFFFFu | uint32_t{name} << 16);
    e.resize(32, 0);
    e.insert(e.end(), data.begin(), data.end());
    e.resize((e.size() + 3) / 4 * 4, 0);
    return e;
}

std::vector<uint8_t> ResourceFile(const std::vector<std::vector<uint8_t>>& entries) {
    std::vector<uint8_t> file(kEmptyResourceEntry, kEmptyResourceEntry + 32);
    for (const auto& e : entries) file.insert(file.end(), e.begin(), e.end());
    return file;
}

std::string LoadError(const std::vector<uint8_t>& bytes) {
    try {
        TDcrImageA dcr;
        LoadInto(dcr, bytes);
    } catch (const Exception& e) {
        return e.what();
    }
    return "loaded";
}

}  // namespace

TEST(DcrImageA, ResourceFilesOfTheResourceCompilerShowTheirFirstPicture) {
    const struct {
        const char* file;
        TPixelFormat format;
        uint16_t kind;
        const char* name;
    } cases[] = {
        {"res_bitmap.res", pf8bit, rkBitmap, "THREE"},
        {"res_icon.res", pf24bit, rkIcon, "APP"},
        {"res_icon24.res", pf24bit, rkIcon, "APP"},
        {"res_cursor.res", pf24bit, rkCursor, "POINTER"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string stem = std::string(c.file).substr(0, std::string(c.file).size() - 4);
        int width = 0, height = 0;
        const std::vector<TColor> expected = Reference(stem, &width, &height);
        TDcrImageA dcr;
        LoadInto(dcr, Fixture(c.file));
        EXPECT_EQ(dcr.Bitmap().PixelFormat(), c.format);
        ASSERT_EQ(dcr.Width(), width);
        ASSERT_EQ(dcr.Height(), height);
        EXPECT_EQ(Colours(dcr.Bitmap()), expected);
        ASSERT_FALSE(dcr.Resources().empty());
        EXPECT_EQ(dcr.Current().Kind, c.kind);
        EXPECT_EQ(dcr.Current().ResourceName, c.name);
    }
    // The bitmap's colour table has 3 entries, not 256: its pixels follow it.
    TDcrImageA both;
    LoadInto(both, Fixture("res_bitmap.res"));
    ASSERT_EQ(both.Resources().size(), 2u);
    EXPECT_EQ(both.Resources()[1].Kind, rkIcon);
    EXPECT_EQ(both.Resources()[1].ResourceName, "APP");

    TDcrImageA photo;
    LoadInto(photo, Fixture("res_jpeg.res"));
    EXPECT_EQ(photo.Current().Kind, rkJPEG);
    EXPECT_EQ(photo.Current().TypeName, "JPEG");
    EXPECT_EQ(photo.Current().ResourceName, "PHOTO");
    TJPEGImage jpeg;
    LoadInto(jpeg, Fixture("res_jpeg.jpg"));
    TBitmap decoded;
    decoded.Assign(jpeg);
    EXPECT_EQ(PixelBytes(photo.Bitmap()), PixelBytes(decoded));
}

TEST(DcrImageA, AnIconResourceTakesItsHeightFromItsBitmap) {
    // 16 x 8, 24-bit: the stored height counts the transparency rows too.
    const TBitmap picture = RandomBitmap(16, 8, 5);
    std::vector<uint8_t> dib;
    Put32(dib, 40);
    Put32(dib, 16);
    Put32(dib, 16);
    Put32(dib, 0x00180001);  // planes 1, 24 bits
    dib.resize(40, 0);
    for (int y = 7; y >= 0; --y) dib.insert(dib.end(), picture.ScanLine(y), picture.ScanLine(y) + 48);
    dib.resize(dib.size() + 8 * 4, 0);
    TDcrImageA dcr;
    LoadInto(dcr, ResourceFile({Entry(rkIcon, 1, dib), Entry(14, 7, {})}));
    EXPECT_EQ(dcr.Current().ResourceName, "7");
    ASSERT_EQ(dcr.Width(), 16);
    ASSERT_EQ(dcr.Height(), 8);
    EXPECT_EQ(PixelBytes(dcr.Bitmap()), PixelBytes(picture));
}

TEST(DcrImageA, TheWriterLaysOutOneBitmapResource) {
    const std::vector<uint8_t> icon1 = Written(TBitmap(3, 2, pf8bit), "ICON1");
    EXPECT_EQ(std::vector<uint8_t>(icon1.begin(), icon1.begin() + 32),
              std::vector<uint8_t>(kEmptyResourceEntry, kEmptyResourceEntry + 32));
    EXPECT_EQ(U32At(icon1, 32), 40u + 1024 + 8);  // data size
    EXPECT_EQ(U32At(icon1, 36), 40u);             // header size: 8 + 4 + 12 + 16
    EXPECT_EQ(U32At(icon1, 40), 0x0002FFFFu);
    EXPECT_EQ(icon1.size(), 32u + 40 + 1072);
    const std::vector<uint8_t> abcd = Written(TBitmap(3, 2, pf8bit), "ABCD");
    EXPECT_EQ(U32At(abcd, 36), 40u);
    EXPECT_EQ(std::string(abcd.begin() + 44, abcd.begin() + 56), std::string("A\0B\0C\0D\0\0\0\0\0", 12));

    // Read back: the same pixels, format and palette; other formats as 24-bit.
    const struct {
        TPixelFormat in, out;
    } cases[] = {{pf1bit, pf1bit}, {pf4bit, pf4bit}, {pf8bit, pf8bit}, {pf24bit, pf24bit}, {pf32bit, pf24bit}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        TBitmap picture = RandomBitmap(13, 7, 21, c.in);
        if (TBitmap::IsIndexed(c.in)) {
            TPalette palette(size_t{1} << TBitmap::BitsPerPixel(c.in));
            for (size_t i = 0; i < palette.size(); ++i) palette[i] = {uint8_t(i), uint8_t(i * 7), uint8_t(255 - i), 0};
            picture.SetPalette(palette);
        }
        TDcrImageA read;
        LoadInto(read, Written(picture, "PIC"));
        EXPECT_EQ(read.Bitmap().PixelFormat(), c.out);
        EXPECT_EQ(Colours(read.Bitmap()), Colours(picture));
        if (TBitmap::IsIndexed(c.in)) {
            EXPECT_EQ(read.Palette(), picture.Palette());
        }
        EXPECT_EQ(read.Current().ResourceName, "PIC");
    }
}

TEST(DcrImageA, WalksOnlyAsFarAsTheFileAndItsEntriesGo) {
    EXPECT_EQ(LoadError(std::vector<uint8_t>(kEmptyResourceEntry, kEmptyResourceEntry + 32)), "Signature err");
    std::vector<uint8_t> wrong = Written(TBitmap(2, 2), "X");
    wrong[8] = 0;
    EXPECT_EQ(LoadError(wrong), "Signature Error");

    const std::vector<uint8_t> bitmap = Written(TBitmap(4, 4, pf8bit), "B");
    const std::vector<uint8_t> bitmapEntry(bitmap.begin() + 32, bitmap.end());
    // A string table first ends the walk: an empty picture.
    TDcrImageA strings;
    LoadInto(strings, ResourceFile({Entry(6, 1, {1, 0, 'h', 0}), bitmapEntry}));
    EXPECT_TRUE(strings.Bitmap().Empty());
    EXPECT_TRUE(strings.Resources().empty());

    // Named types other than "JPEG" are stepped over; long names are cut.
    std::vector<uint8_t> named;
    Put32(named, 0);
    const std::string type = "LONGTYPE", name(100, 'N');
    std::vector<uint8_t> text;
    for (char ch : type) text.insert(text.end(), {uint8_t(ch), 0});
    text.insert(text.end(), {0, 0});
    for (char ch : name) text.insert(text.end(), {uint8_t(ch), 0});
    text.insert(text.end(), {0, 0});
    Put32(named, uint32_t(8 + text.size() + 16));
    named.insert(named.end(), text.begin(), text.end());
    named.resize(named.size() + 16, 0);
    TDcrImageA skipped;
    LoadInto(skipped, ResourceFile({named, bitmapEntry}));
    EXPECT_EQ(skipped.Width(), 4);
    std::vector<uint8_t> longName = bitmapEntry;
    longName.erase(longName.begin() + 12, longName.begin() + 16);  // the name "B" and its terminator
    longName.insert(longName.begin() + 12, text.begin() + ptrdiff_t(2 * type.size() + 2), text.end());
    PutLE16(longName, 4, uint16_t(8 + 4 + 2 * name.size() + 2 + 16));
    TDcrImageA cut;
    LoadInto(cut, ResourceFile({longName}));
    EXPECT_EQ(cut.Current().ResourceName, std::string(64, 'N'));

    // Entries that do not move the walk forward, sizes past the end and
    // every cut of real files end without a read outside the data.
    std::vector<uint8_t> stuck = ResourceFile({Entry(6, 1, {})});
    PutLE16(stuck, 36, 0);
    EXPECT_EQ(LoadError(stuck), "loaded");
    std::vector<uint8_t> oversized = bitmap;
    PutLE16(oversized, 34, 0x7FFF);
    EXPECT_EQ(LoadError(oversized), "loaded");
    for (const char* file : {"res_bitmap.res", "res_icon.res", "res_cursor.res", "res_jpeg.res"}) {
        const std::vector<uint8_t> bytes = Fixture(file);
        for (size_t length = 33; length < bytes.size(); ++length) {
            TDcrImageA dcr;
            try {
                LoadInto(dcr, Cut(bytes, length));
            } catch (const Exception&) {
            }
        }
    }
}
