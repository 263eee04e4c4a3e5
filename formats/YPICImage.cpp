#include "formats/YPICImage.h"

#include <array>
#include <cstring>
#include <vector>

#include "platform/Exceptions.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TYPICImage, TGraphic)

namespace {

constexpr int kMaxSide = 512;
const std::string kHeaderError = "Header Error: ";
const std::string kNotPic = "PICではありません";
const std::string kUnsupported = "対応してません";
const std::string kTooLarge = "大きくて読めません";

// Most significant bit first; past the end every bit reads as 0, which
// the format defines as how a truncated file decodes.
class TBitReader {
public:
    explicit TBitReader(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    bool AtEnd() const { return bit_ >= uint64_t(size_) * 8; }

    uint32_t Bit() {
        if (AtEnd()) {
            ++bit_;
            return 0;
        }
        const uint32_t value = (data_[bit_ >> 3] >> (7 - (bit_ & 7))) & 1;
        ++bit_;
        return value;
    }

    uint64_t Bits(int count) {
        uint64_t value = 0;
        for (int i = 0; i < count; ++i) value = value << 1 | Bit();
        return value;
    }

    // A header byte; false once the data has ended.
    bool Byte(uint8_t& value) {
        if (AtEnd()) return false;
        value = uint8_t(Bits(8));
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    uint64_t bit_ = 0;
};

// 128 colours in a circular list: a hit moves its slot right after the
// current one, a new colour goes into the slot after the current one.
class TColourCache {
public:
    TColourCache() {
        for (int i = 0; i < 128; ++i) {
            colour_[i] = 0;
            next_[i] = uint8_t((i + 1) & 127);
            prev_[i] = uint8_t((i + 127) & 127);
        }
    }

    uint16_t Hit(uint8_t slot) {
        if (slot != current_) {
            next_[prev_[slot]] = next_[slot];
            prev_[next_[slot]] = prev_[slot];
            const uint8_t after = next_[current_];
            prev_[slot] = current_;
            next_[slot] = after;
            prev_[after] = slot;
            next_[current_] = slot;
            current_ = slot;
        }
        return colour_[slot];
    }

    uint16_t Add(uint16_t colour) {
        current_ = next_[current_];
        colour_[current_] = colour;
        return colour;
    }

private:
    std::array<uint16_t, 128> colour_;
    std::array<uint8_t, 128> next_;
    std::array<uint8_t, 128> prev_;
    uint8_t current_ = 0;
};

uint16_t ToPixel(uint16_t c) { return uint16_t(((c >> 1) & 0x1F) | ((c & 0xF800) >> 6) | ((c & 0x07C0) << 4)); }

// Counts the 1 bits before the first 0 (k), then reads k + 1 bits v: the
// length is v + 2^(k+1) - 1. Lengths beyond any picture are kept at a
// value that still runs to the picture's end.
uint64_t ReadLength(TBitReader& in) {
    int k = 0;
    while (in.Bit() == 1) ++k;  // ends at the data's end at the latest
    if (k > 40) {
        in.Bits(k + 1);
        return uint64_t{1} << 41;
    }
    return in.Bits(k + 1) + (uint64_t{1} << (k + 1)) - 1;
}

}  // namespace

TYPICImage::TYPICImage() : TFormatImage(std::make_shared<TYPICData>()) {}

void TYPICImage::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    TBitReader in(copy.Bytes());
    auto headerError = [](const std::string& reason) { return EInvalidGraphic(kHeaderError + reason); };

    uint8_t b = 0;
    for (const char expected : {'P', 'I', 'C'})
        if (!in.Byte(b) || b != uint8_t(expected)) throw headerError(kNotPic);
    do {
        if (!in.Byte(b)) throw headerError(kNotPic);
    } while (b != 0x1A);
    do {
        if (!in.Byte(b)) throw headerError(kNotPic);
    } while (b != 0x00);
    if (!in.Byte(b) || b != 0) throw headerError(kNotPic);
    if (!in.Byte(b) || b != 0) throw headerError(kUnsupported);
    const int colourBits = int(in.Bits(16));
    if (colourBits != 15 && colourBits != 16) throw headerError(kUnsupported);
    const int width = int(in.Bits(16));
    if (width > kMaxSide) throw headerError(kTooLarge);
    int height = int(in.Bits(16));
    if (height > kMaxSide) height = kMaxSide;

    TBitmap picture;
    picture.SetPixelFormat(pf15bit);
    picture.SetSize(width, height);
    int rows = 0;
    if (width > 0 && height > 0) {
        // Chain tags for pixels the run has not reached yet (stored layout
        // with bit 0 set, so colour 0 still tags).
        std::vector<uint16_t> tags(size_t(width) * size_t(height), 0);
        TColourCache cache;
        int x = -1, y = 0;
        uint16_t colour = 0;
        auto put = [&](uint16_t c) {
            const uint16_t pixel = ToPixel(c);
            std::memcpy(picture.ScanLine(y) + 2 * x, &pixel, 2);
        };
        // False after the last pixel.
        auto step = [&]() {
            if (++x == width) {
                x = 0;
                ++y;
            }
            return y < height;
        };
        auto readColour = [&]() -> uint16_t {
            if (in.Bit() == 1) return cache.Hit(uint8_t(in.Bits(7)));
            const uint16_t fresh = uint16_t(in.Bits(colourBits));
            return cache.Add(colourBits == 15 ? uint16_t(fresh << 1) : fresh);
        };
        bool running = true;
        while (running) {
            const uint64_t length = ReadLength(in);
            for (uint64_t i = 1; i < length; ++i) {
                if (!step()) {
                    running = false;
                    break;
                }
                const uint16_t tag = tags[size_t(y) * size_t(width) + size_t(x)];
                if (tag != 0) colour = uint16_t(tag & ~1u);
                put(colour);
            }
            if (!running || !step()) break;
            colour = readColour();
            put(colour);
            if (in.Bit() == 0) continue;
            // A chain carries the colour straight down, a column or two
            // aside per row; one that leaves the picture is read to its end.
            int64_t cx = x, cy = y;
            for (;;) {
                const uint32_t d = uint32_t(in.Bits(2));
                if (d == 1) --cx;
                else if (d == 3) ++cx;
                else if (d == 0) {
                    if (in.Bit() == 0) break;
                    cx += in.Bit() == 1 ? 2 : -2;
                }
                ++cy;
                if (cy < height && cx >= 0 && cx < width)
                    tags[size_t(cy) * size_t(width) + size_t(cx)] = uint16_t(colour | 1);
            }
        }
        rows = std::min(y + (x >= 0 ? 1 : 0), height);
    }

    *bitmap_ = std::move(picture);
    colourBits_ = colourBits;
    rowsDecoded_ = rows;
    data_ = std::make_shared<TYPICData>();
}

void InitializeYPICImageUnit() { TPicture::RegisterFileFormat("pic", "pic", TYPICImage::StaticClass()); }
void FinalizeYPICImageUnit() { TPicture::UnregisterGraphicClass(TYPICImage::StaticClass()); }
