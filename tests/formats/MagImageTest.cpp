#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "formats/Mag.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

constexpr size_t kDefaultHeaderAt = 58;  // 32 + 24-character comment + blank + 0x1A

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

struct TMagParts {
    std::vector<uint8_t> flagA, flagB, pixels;
};

TMagParts PartsOf(const std::vector<uint8_t>& file, size_t headerAt = kDefaultHeaderAt) {
    const uint32_t a = U32At(file, headerAt + 12), b = U32At(file, headerAt + 16), bSize = U32At(file, headerAt + 20);
    const uint32_t p = U32At(file, headerAt + 24), pSize = U32At(file, headerAt + 28);
    auto slice = [&](uint32_t from, uint32_t size) {
        return std::vector<uint8_t>(file.begin() + ptrdiff_t(headerAt + from),
                                    file.begin() + ptrdiff_t(headerAt + from + size));
    };
    return {slice(a, b - a), slice(b, bSize), slice(p, pSize)};
}

TBitmap Flat8Bit(int width, int height, uint8_t index) {
    TBitmap picture(width, height, pf8bit);
    TPalette palette(256);
    palette[index] = {200, 100, 50, 0};
    picture.SetPalette(palette);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.ScanLine(y)[x] = index;
    return picture;
}

// Blocks that repeat across and down, so every copy flag has a use, with
// noise between them that needs literal units.
TBitmap Patterned(int width, int height, TPixelFormat format, uint32_t seed) {
    TBitmap picture = RandomBitmap(width, height, seed, format);
    std::mt19937 random(seed);
    const int colours = format == pf8bit ? 256 : 16;
    TPalette palette(static_cast<size_t>(colours));
    for (auto& e : palette) e = {uint8_t(random()), uint8_t(random()), uint8_t(random()), 0};
    picture.SetPalette(palette);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if ((x / 6 + y / 3) % 3 == 0) continue;
            const int index = (x / 8 + y / 16 + (y % 4 == 1 ? x % 3 : 0)) % colours;
            if (format == pf8bit) picture.ScanLine(y)[x] = uint8_t(index);
            else {
                uint8_t& b = picture.ScanLine(y)[x / 2];
                b = x % 2 ? uint8_t((b & 0xF0) | index) : uint8_t((b & 0x0F) | index << 4);
            }
        }
    return picture;
}

std::vector<uint8_t> Encoded(const TBitmap& picture) {
    TMAGImage mag;
    mag.Assign(picture);
    return Saved(mag);
}

std::string LoadError(const std::vector<uint8_t>& bytes) {
    try {
        TMAGImage mag;
        LoadInto(mag, bytes);
    } catch (const EMagError& e) {
        return e.what();
    }
    return "loaded";
}

}  // namespace

TEST(MAGImage, AFlatPictureIsOneLiteralAndCopiesWithFlagByteChanges) {
    const std::vector<uint8_t> file = Encoded(Flat8Bit(8, 2, 7));
    // The default comment has 24 characters, so a blank keeps the header even.
    ASSERT_GT(file.size(), kDefaultHeaderAt + 32);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 8), "MAKI02  ");
    EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 12), "vunP");
    EXPECT_EQ(std::string(file.begin() + 13, file.begin() + 17), ">?\?<");
    EXPECT_EQ(std::string(file.begin() + 32, file.begin() + 57), "vun's TMAGImage Ver 1.01 ");
    EXPECT_EQ(file[57], 0x1A);
    const size_t h = kDefaultHeaderAt;
    EXPECT_EQ(file[h + 3], 0x80);
    EXPECT_EQ(file[h + 8] | file[h + 9] << 8, 7);  // X end
    EXPECT_EQ(file[h + 10] | file[h + 11] << 8, 1);  // Y end
    EXPECT_EQ(U32At(file, h + 12), 32u + 3 * 256);
    // The palette is stored green, red, blue.
    EXPECT_EQ(file[h + 32 + 3 * 7], 100);
    EXPECT_EQ(file[h + 32 + 3 * 7 + 1], 200);
    EXPECT_EQ(file[h + 32 + 3 * 7 + 2], 50);

    const TMagParts parts = PartsOf(file);
    // Row 0: flag bytes 0x01 and 0x11; row 1: only the first changes, to
    // 0x41 (XOR 0x40). Four flag bits in one byte, padded to two bytes.
    EXPECT_EQ(parts.flagA, (std::vector<uint8_t>{0xE0, 0x00}));
    EXPECT_EQ(parts.flagB, (std::vector<uint8_t>{0x01, 0x11, 0x40, 0x00}));
    EXPECT_EQ(parts.pixels, (std::vector<uint8_t>{7, 7}));
    EXPECT_EQ(file.size(), h + 32 + 768 + 2 + 4 + 2);
}

TEST(MAGImage, FlagASizeAndWideningFollowTheUnits) {
    EXPECT_EQ(PartsOf(Encoded(Flat8Bit(4, 1, 1))).flagA.size(), 2u);

    const struct {
        TPixelFormat in;
        int width;
        TPixelFormat out;
        int widened;
    } cases[] = {{pf8bit, 5, pf8bit, 8}, {pf4bit, 9, pf4bit, 16}, {pf1bit, 3, pf4bit, 8}, {pf24bit, 6, pf8bit, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        TBitmap picture(c.width, 2, c.in);
        picture.SetPixel(c.width - 1, 1, clWhite);
        TMAGImage mag;
        mag.Assign(picture);
        EXPECT_EQ(mag.Width(), c.widened);
        EXPECT_EQ(mag.Bitmap().PixelFormat(), c.out);
        EXPECT_EQ(mag.ColourMode(), c.out == pf8bit ? 1 : 0);
        EXPECT_EQ(mag.Bitmap().Pixel(c.width - 1, 1), clWhite);
        EXPECT_EQ(mag.Bitmap().PixelIndex(c.widened - 1, 1), 0);  // added columns take index 0
    }
}

TEST(MAGImage, EncodedPicturesDecodeToTheSameIndicesAndPalette) {
    for (TPixelFormat format : {pf4bit, pf8bit}) {
        SCOPED_TRACE(format);
        const TBitmap picture = Patterned(48, 40, format, 11);
        TMAGImage written;
        written.Assign(picture);
        written.SetComment("a comment");
        written.SetUserName("someone");
        written.SetStart(16, 3);
        written.SetLines200(true);
        const std::vector<uint8_t> file = Saved(written);

        TMAGImage read;
        LoadInto(read, file);
        EXPECT_EQ(read.Bitmap().PixelFormat(), format);
        EXPECT_EQ(read.Width(), 48);
        EXPECT_EQ(read.Height(), 40);
        EXPECT_EQ(Indices(read.Bitmap()), Indices(picture));
        EXPECT_EQ(read.Palette(), picture.Palette());
        EXPECT_EQ(read.Comment(), "a comment");
        EXPECT_EQ(read.UserName(), "someone");
        EXPECT_EQ(read.XStart(), 16);
        EXPECT_EQ(read.YStart(), 3);
        EXPECT_TRUE(read.Lines200());
        EXPECT_EQ(read.LoadWarning(), "");
        // The repeated blocks are copies, so only part of the pixels are stored.
        EXPECT_LT(PartsOf(file, 32 + 9 + 1).pixels.size(), picture.PixelBytes() * 3 / 4);
    }
}

TEST(MAGImage, FlagsFromFlagBStayAndPickUnitsByTheCopyTable) {
    // 8 x 3, 256 colours: two flag bytes a row. Row 0 sets 0x12 in byte 1,
    // row 1 sets byte 0 to 0x45, row 2 changes it to 0x63 and byte 1 to 0.
    std::vector<uint8_t> file(32, ' ');
    std::memcpy(file.data(), "MAKI02  ", 8);
    file.push_back(0x1A);
    const size_t h = file.size();
    file.resize(h + 32 + 768, 0);
    file[h + 3] = 0x80;
    PutLE16(file, h + 8, 7);
    PutLE16(file, h + 10, 2);
    auto put32 = [&](size_t at, uint32_t v) {
        PutLE16(file, at, uint16_t(v));
        PutLE16(file, at + 2, uint16_t(v >> 16));
    };
    put32(h + 12, 800);
    put32(h + 16, 802);
    put32(h + 20, 4);
    put32(h + 24, 806);
    put32(h + 28, 8);
    file.insert(file.end(), {0x6C, 0x00, 0x12, 0x45, 0x26, 0x12, 1, 2, 3, 4, 5, 6, 7, 8});

    TMAGImage mag;
    LoadInto(mag, file);
    EXPECT_EQ(mag.Comment(), "");
    EXPECT_EQ(Indices(mag.Bitmap()), (std::vector<uint8_t>{1, 2, 3, 4, 3, 4, 3, 4,    // copies 1 and 2 units left
                                                            1, 2, 1, 2, 1, 2, 1, 2,    // 1 up, 1 up and 1 left
                                                            1, 2, 0, 0, 5, 6, 7, 8}));  // 2 up; 4 left is outside
    EXPECT_EQ(mag.LoadWarning(), "");
}

TEST(MAGImage, AnUnchangedFileIsWrittenBackByteForByte) {
    std::vector<uint8_t> file = Encoded(Patterned(32, 20, pf8bit, 5));
    file[8] = 'X';  // a machine code of another writer
    file.insert(file.end(), {1, 2, 3});  // and bytes after the data
    TMAGImage mag;
    LoadInto(mag, file);
    EXPECT_EQ(Saved(mag), file);

    // A copy that shares the data is equal and still unchanged; a change
    // makes the next save encode the picture.
    TMAGImage copy;
    copy.Assign(mag);
    EXPECT_TRUE(copy.Equals(mag));
    EXPECT_EQ(Saved(copy), file);
    copy.Bitmap().ScanLine(0)[0] ^= 1;
    const std::vector<uint8_t> changed = Saved(copy);
    EXPECT_NE(changed, file);
    EXPECT_EQ(std::string(changed.begin() + 8, changed.begin() + 12), "vunP");
    TMemoryStream property;
    copy.WriteData(property);
    EXPECT_EQ(std::vector<uint8_t>(property.Bytes().begin() + 4, property.Bytes().end()), changed);

    TMAGImage other;
    LoadInto(other, file);
    EXPECT_FALSE(other.Equals(mag));
}

TEST(MAGImage, ErrorsCarryTheirPrefixAndReason) {
    EXPECT_EQ(LoadError(Bytes("GIF89a and a lot more bytes than thirty-two")), "MAG image error:is not MAG.");
    EXPECT_EQ(LoadError(Bytes("MAKI02  no comment end anywhere in this file at all")), "MAG image error:is not MAG.");

    TMAGImage empty;
    try {
        Saved(empty);
        FAIL() << "an empty picture was encoded";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_NE(dynamic_cast<const EInvalidMagOperation*>(&e), nullptr);
        EXPECT_STREQ(e.what(), "MAG invaild operation:not have DIB");
    }
    TMAGImage mag;
    mag.Assign(Flat8Bit(8, 8, 1));
    mag.SetWidth(13);
    EXPECT_EQ(mag.Width(), 16);
    EXPECT_THROW(mag.SetWidth(65533), EInvalidMagOperation);
    mag.SetStart(0, 100);
    EXPECT_THROW(mag.SetHeight(65500), EInvalidMagOperation);
    EXPECT_EQ(mag.Height(), 8);
}

TEST(MAGImage, HostileFilesNeverReadOutsideTheirData) {
    const std::vector<uint8_t> file = Encoded(Patterned(32, 24, pf4bit, 3));
    TMAGImage whole;
    LoadInto(whole, file);

    // Every cut either is refused or loads with a warning; nothing is read
    // past the end.
    for (size_t length = 0; length < file.size(); ++length) {
        TMAGImage mag;
        try {
            LoadInto(mag, Cut(file, length));
        } catch (const EMagError&) {
            continue;
        }
        EXPECT_GE(length, kDefaultHeaderAt + 32);
        EXPECT_NE(mag.LoadWarning(), "") << length;
    }

    // A header that promises a huge picture from a few bytes is refused
    // before anything is allocated.
    std::vector<uint8_t> huge = file;
    PutLE16(huge, kDefaultHeaderAt + 8, 65535);
    PutLE16(huge, kDefaultHeaderAt + 10, 65535);
    EXPECT_EQ(LoadError(huge), "MAG image error:is not MAG.");
    std::vector<uint8_t> upsideDown = file;
    PutLE16(upsideDown, kDefaultHeaderAt + 6, 30);
    EXPECT_EQ(LoadError(upsideDown), "MAG image error:is not MAG.");

    // Offsets far outside the file and copies from above the first row
    // give index 0.
    for (size_t field : {12, 16, 24}) {
        std::vector<uint8_t> w = file;
        for (int i = 0; i < 4; ++i) w[kDefaultHeaderAt + field + size_t(i)] = 0xFF;
        TMAGImage mag;
        LoadInto(mag, w);
        EXPECT_EQ(mag.LoadWarning(), "The MAG data ends before the picture is complete.");
    }
    std::vector<uint8_t> upward = file;
    const uint32_t flagA = U32At(file, kDefaultHeaderAt + 12), flagB = U32At(file, kDefaultHeaderAt + 16);
    upward[kDefaultHeaderAt + flagA] |= 0x80;        // the first flag byte changes ...
    upward[kDefaultHeaderAt + flagB] = 0xF0;         // ... to copy from 16 rows up
    TMAGImage mag;
    LoadInto(mag, upward);
    EXPECT_EQ(mag.Bitmap().PixelIndex(0, 0), 0);
    EXPECT_EQ(mag.Bitmap().PixelIndex(3, 0), 0);
}
