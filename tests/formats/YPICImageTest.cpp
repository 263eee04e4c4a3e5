#include <gtest/gtest.h>

#include <cstring>

#include "formats/FormatTestSupport.h"
#include "formats/YPICImage.h"

namespace {

using namespace formats_test;

// Writes a PIC stream bit by bit, most significant bit first.
class TPicWriter {
public:
    TPicWriter(int colourBits, int width, int height, uint8_t reserved = 0, uint8_t type = 0)
        : colourBits_(colourBits) {
        for (const char c : std::string("PIC a comment\x1A" "more\0", 19)) Bits(uint8_t(c), 8);
        Bits(reserved, 8);
        Bits(type, 8);
        Bits(uint32_t(colourBits), 16);
        Bits(uint32_t(width), 16);
        Bits(uint32_t(height), 16);
    }

    void Bits(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (bit_ % 8 == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= uint8_t(0x80 >> (bit_ % 8));
            ++bit_;
        }
    }
    void Length(uint32_t length) {
        int k = 0;
        while ((uint32_t{1} << (k + 2)) - 1 <= length) ++k;  // length < 2^(k+2) - 1
        Bits((uint32_t{1} << k) - 1, k);
        Bits(0, 1);
        Bits(length - ((uint32_t{1} << (k + 1)) - 1), k + 1);
    }
    // A new colour in the stored layout (G5 R5 B5 I1).
    void NewColour(uint16_t stored) {
        Bits(0, 1);
        if (colourBits_ == 15) Bits(stored >> 1, 15);
        else Bits(stored, 16);
    }
    void CachedColour(uint8_t slot) {
        Bits(1, 1);
        Bits(slot, 7);
    }
    void NoChain() { Bits(0, 1); }
    // Chain steps: -2..2 columns per row down.
    void Chain(const std::vector<int>& steps) {
        Bits(1, 1);
        for (int s : steps) {
            if (s == -1) Bits(1, 2);
            else if (s == 0) Bits(2, 2);
            else if (s == 1) Bits(3, 2);
            else Bits(s == 2 ? 0b0011 : 0b0010, 4);
        }
        Bits(0, 3);  // 00 then 0: the end
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    int colourBits_;
    std::vector<uint8_t> bytes_;
    uint64_t bit_ = 0;
};

constexpr uint16_t Stored(int r, int g, int b) { return uint16_t(g << 11 | r << 6 | b << 1); }
constexpr uint16_t Pixel(int r, int g, int b) { return uint16_t(r << 10 | g << 5 | b); }

uint16_t At(const TYPICImage& pic, int x, int y) {
    uint16_t v;
    std::memcpy(&v, pic.Bitmap().ScanLine(y) + 2 * x, 2);
    return v;
}

// 4 x 3: red whose chain tags (0,1) and (1,2), two more red, green; a run
// that meets the tag at (0,1) turns red; red again from the colour cache.
std::vector<uint8_t> Sample(int colourBits) {
    TPicWriter w(colourBits, 4, 3);
    w.Length(1);  // no pixel before the first colour
    w.NewColour(Stored(31, 0, 0));
    w.Chain({0, 1});
    w.Length(3);
    w.NewColour(Stored(0, 31, 0));
    w.NoChain();
    w.Length(5);        // (0,1) takes its tag; the rest of row 1 follows it
    w.CachedColour(1);  // slot 1 holds red; the cursor is on green's slot 2
    w.NoChain();
    w.Length(4);  // to the end of the picture
    return w.Bytes();
}

TEST(YPICImage, RunsColoursCacheAndChains) {
    TYPICImage pic;
    LoadInto(pic, Sample(16));
    ASSERT_EQ(pic.Width(), 4);
    ASSERT_EQ(pic.Height(), 3);
    EXPECT_EQ(pic.Bitmap().PixelFormat(), pf15bit);
    const uint16_t red = Pixel(31, 0, 0), green = Pixel(0, 31, 0);
    const uint16_t expected[3][4] = {{red, red, red, green}, {red, red, red, red}, {red, red, red, red}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(At(pic, x, y), expected[y][x]) << x << "," << y;
}

TEST(YPICImage, FifteenAndSixteenBitFilesDecodeAlikeAndLoadsRepeat) {
    TYPICImage a, b;
    LoadInto(a, Sample(16));
    LoadInto(b, Sample(15));
    EXPECT_EQ(PixelBytes(a.Bitmap()), PixelBytes(b.Bitmap()));
    LoadInto(a, Sample(15));  // the colour cache starts afresh
    EXPECT_EQ(PixelBytes(a.Bitmap()), PixelBytes(b.Bitmap()));
}

TEST(YPICImage, ChainsLeavingThePictureAndTruncatedData) {
    TPicWriter w(16, 3, 2);
    w.Length(1);
    w.NewColour(Stored(0, 0, 31));
    w.Chain({2, 2, 0, 0, 0});  // off the side and past the bottom, read to its end
    w.Length(2);
    w.NewColour(Stored(0, 31, 0));
    // ... the data ends here: the rest takes what zero bits decode to.
    TYPICImage pic;
    LoadInto(pic, w.Bytes());
    EXPECT_EQ(At(pic, 0, 0), Pixel(0, 0, 31));
    EXPECT_EQ(At(pic, 1, 0), Pixel(0, 0, 31));
    EXPECT_EQ(At(pic, 2, 0), Pixel(0, 31, 0));
}

TEST(YPICImage, HeaderChecks) {
    struct Case {
        std::vector<uint8_t> File;
        const char* Message;  // nullptr: loads
        int Height;
    };
    const Case cases[] = {
        {TPicWriter(16, 640, 8).Bytes(), "Header Error: 大きくて読めません", 0},
        {TPicWriter(16, 8, 600).Bytes(), nullptr, 512},
        {TPicWriter(8, 8, 8).Bytes(), "Header Error: 対応してません", 0},
        {TPicWriter(16, 8, 8, 0, 1).Bytes(), "Header Error: 対応してません", 0},
        {TPicWriter(16, 8, 8, 1, 0).Bytes(), "Header Error: PICではありません", 0},
        {Bytes("PIX\x1A"), "Header Error: PICではありません", 0},
        {Bytes("PIC no end of comment"), "Header Error: PICではありません", 0},
    };
    for (const Case& c : cases) {
        TYPICImage pic;
        if (!c.Message) {
            LoadInto(pic, c.File);
            EXPECT_EQ(pic.Height(), c.Height);
            continue;
        }
        try {
            LoadInto(pic, c.File);
            ADD_FAILURE() << c.Message;
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
}

}  // namespace
