#pragma once
// The buffered, byte-order-aware reading shared by the Exif readers over a
// file and over memory: a window of 1024 bytes, reloaded from the position
// asked for whenever a read falls outside it.

#include <array>
#include <cstdint>
#include <string>

#include "platform/Exceptions.h"

// A read past the end of the data, or a position too far beyond the TIFF
// structure's start.
VORLIX_DECLARE_EXCEPTION(EExifBounds, Exception);

namespace ExifMessages {
inline constexpr const char* OutOfBounds = "Out of bounds";
inline constexpr const char* SectionOutOfBounds = "Exif section out of bounds";
}  // namespace ExifMessages

class TExifByteWindow {
public:
    static constexpr int64_t WindowSize = 1024;
    // Offsets inside a TIFF structure are 16-bit in practice: a position more
    // than this beyond its base is refused.
    static constexpr int64_t MaxSectionOffset = 65535;

    virtual ~TExifByteWindow() = default;
    TExifByteWindow(const TExifByteWindow&) = delete;
    TExifByteWindow& operator=(const TExifByteWindow&) = delete;

    virtual void SetPosition(int64_t position) { position_ = position; }
    int64_t Position() const { return position_; }

    uint8_t ReadByteAt(int64_t position) {
        if (position < start_ || position >= start_ + count_) Load(position);
        if (count_ == 0) throw EExifBounds(ExifMessages::OutOfBounds);
        position_ = position + 1;
        return window_[static_cast<size_t>(position - start_)];
    }
    uint8_t ReadByte() { return ReadByteAt(position_); }
    uint16_t ReadWord() {
        const uint16_t first = ReadByte();
        const uint16_t second = ReadByte();
        return bigEndian_ ? static_cast<uint16_t>(first << 8 | second) : static_cast<uint16_t>(second << 8 | first);
    }
    // Up to count bytes: fewer when the data ends first.
    std::string ReadBytes(size_t count) {
        std::string text;
        while (text.size() < count) {
            if (position_ < start_ || position_ >= start_ + count_) Load(position_);
            if (count_ == 0) break;
            text.push_back(static_cast<char>(ReadByte()));
        }
        return text;
    }
    // The last window load brought no bytes (at once for empty data).
    bool AtEnd() const { return atEnd_; }

    bool BigEndian() const { return bigEndian_; }
    void SetBigEndian(bool value) { bigEndian_ = value; }

protected:
    TExifByteWindow() = default;
    // Copies up to count bytes from position of the data into buffer and
    // returns how many there were (0 at or past the end, or before 0).
    virtual int64_t Fill(int64_t position, uint8_t* buffer, int64_t count) = 0;
    void Reset(bool empty) { atEnd_ = empty; }
    uint32_t ReadDWordOfWords() {
        const uint32_t first = ReadWord();
        const uint32_t second = ReadWord();
        return bigEndian_ ? (first << 16 | second) : (second << 16 | first);
    }

private:
    void Load(int64_t position) {
        start_ = position;
        count_ = position < 0 ? 0 : Fill(position, window_.data(), WindowSize);
        atEnd_ = count_ == 0;
    }

    std::array<uint8_t, WindowSize> window_{};
    int64_t start_ = 0;
    int64_t count_ = 0;
    int64_t position_ = 0;
    bool bigEndian_ = true;
    bool atEnd_ = false;
};

// The TIFF base check of the Exif variants.
inline void CheckExifSection(int64_t base, int64_t position) {
    if (base != 0 && position > base + TExifByteWindow::MaxSectionOffset)
        throw EExifBounds(ExifMessages::SectionOutOfBounds);
}
