#pragma once
// Helpers the format tests share: loading bytes into a format class,
// fixture references, byte surgery on files, and a stream that fails.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "support/TestPictures.h"

namespace formats_test {

using namespace testing_support;

inline std::vector<uint8_t> Fixture(const std::string& name) { return ReadFileBytes(DataPath("formats/" + name)); }

// Expected colours of a fixture (written beside it by the fixture script).
inline std::vector<TColor> Reference(const std::string& stem, int* width = nullptr, int* height = nullptr) {
    return PpmColours(DataPath("formats/" + stem + ".ref.ppm"), width, height);
}

inline bool HasAlphaReference(const std::string& stem) {
    return std::filesystem::exists(DataPath("formats/" + stem + ".alpha.ppm"));
}

// Expected alpha values of a fixture, one per pixel.
inline std::vector<uint8_t> AlphaReference(const std::string& stem) {
    std::vector<uint8_t> alpha;
    for (TColor c : PpmColours(DataPath("formats/" + stem + ".alpha.ppm"))) alpha.push_back(GetRValue(c));
    return alpha;
}

template <class Graphic>
void LoadInto(Graphic& graphic, const std::vector<uint8_t>& bytes) {
    TMemoryStream stream(bytes);
    graphic.LoadFromStream(stream);
}

// A fresh object of the class holding the decoded bytes.
template <class Graphic>
std::unique_ptr<Graphic> Loaded(const std::vector<uint8_t>& bytes) {
    auto graphic = std::make_unique<Graphic>();
    LoadInto(*graphic, bytes);
    return graphic;
}

// What loading the bytes into a fresh object of the class raises, or
// "loaded".
template <class Graphic>
std::string LoadError(const std::vector<uint8_t>& bytes) {
    try {
        Loaded<Graphic>(bytes);
    } catch (const Exception& e) {
        return e.what();
    }
    return "loaded";
}

// The fourth byte of every pixel of a 32-bit picture.
inline std::vector<uint8_t> FourthBytes(const TBitmap& picture) {
    std::vector<uint8_t> bytes;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) bytes.push_back(picture.ScanLine(y)[4 * x + 3]);
    return bytes;
}

// Loads formats/<stem><extension> into graphic and checks what every
// fixture written by another tool must give: the pixel format, the size
// and colours of its reference, its alpha reference where it has one, and
// no load warning.
template <class Graphic>
void ExpectFixtureLoads(const std::string& stem, const std::string& extension, TPixelFormat format,
                        std::unique_ptr<Graphic>& graphic) {
    int width = 0, height = 0;
    const std::vector<TColor> expected = Reference(stem, &width, &height);
    graphic = Loaded<Graphic>(Fixture(stem + extension));
    const TBitmap& picture = graphic->Bitmap();
    EXPECT_EQ(picture.PixelFormat(), format);
    ASSERT_EQ(picture.Width(), width);
    ASSERT_EQ(picture.Height(), height);
    EXPECT_EQ(Colours(picture), expected);
    if (HasAlphaReference(stem)) {
        EXPECT_EQ(FourthBytes(picture), AlphaReference(stem));
    }
    EXPECT_TRUE(graphic->LoadWarning().empty());
}

template <class Graphic>
std::vector<uint8_t> Saved(const Graphic& graphic) {
    TMemoryStream stream;
    graphic.SaveToStream(stream);
    return stream.TakeBytes();
}

inline std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

inline std::vector<uint8_t> Cut(const std::vector<uint8_t>& bytes, size_t length) {
    return {bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(length)};
}

// The palette index of every pixel, row by row.
inline std::vector<uint8_t> Indices(const TBitmap& bitmap) {
    std::vector<uint8_t> indices;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) indices.push_back(bitmap.PixelIndex(x, y));
    return indices;
}

inline uint32_t Crc32(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

inline void PutBE32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = uint8_t(value >> (24 - 8 * i));
}

inline void PutLE16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
    bytes[at] = uint8_t(value);
    bytes[at + 1] = uint8_t(value >> 8);
}

// Sets a PNG's width and height and repairs the header's checksum.
inline std::vector<uint8_t> WithPngSize(std::vector<uint8_t> png, uint32_t width, uint32_t height) {
    PutBE32(png, 16, width);
    PutBE32(png, 20, height);
    PutBE32(png, 29, Crc32(png.data() + 12, 17));
    return png;
}

// Accepts writes up to a number of bytes, then fails like a full disk.
class TFailingStream : public TMemoryStream {
public:
    explicit TFailingStream(int64_t capacity) : capacity_(capacity) {}
    int64_t Write(const void* buffer, int64_t count) override {
        const int64_t room = std::max<int64_t>(0, capacity_ - Size());
        return TMemoryStream::Write(buffer, std::min(count, room));
    }

private:
    int64_t capacity_;
};

inline std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("vorlix-formats-" + name)).string();
}

// A save that fails must leave the file it was meant to replace as it was.
inline void ExpectFailedSaveKeepsFile(const std::string& name, const std::function<void(const std::string&)>& save) {
    const std::string path = TempPath(name);
    const std::vector<uint8_t> before = Bytes("the previous file");
    TMemoryStream(before).SaveToFile(path);
    EXPECT_THROW(save(path), Exception);
    EXPECT_EQ(ReadFileBytes(path), before);
    std::filesystem::remove(path);
}

}  // namespace formats_test
