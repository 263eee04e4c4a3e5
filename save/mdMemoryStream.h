#pragma once
// Buffered reading of an Exif segment held in memory: a private copy of
// the whole source stream, read in either byte order through a 1024-byte
// window.

#include <cstdint>
#include <vector>

#include "save/ExifByteWindow.h"

class TStream;

class TmdMemoryStream : public TExifByteWindow {
public:
    // Copies source from its start; source's position is left at its end.
    explicit TmdMemoryStream(TStream& source);

    uint32_t ReadDWord() { return ReadDWordOfWords(); }
    int64_t Size() const { return static_cast<int64_t>(bytes_.size()); }

protected:
    int64_t Fill(int64_t position, uint8_t* buffer, int64_t count) override;

private:
    std::vector<uint8_t> bytes_;
};

// Positions more than 65535 bytes beyond the TIFF base (once set) are
// refused with "Exif section out of bounds".
class TmdExifMemStream : public TmdMemoryStream {
public:
    using TmdMemoryStream::TmdMemoryStream;
    void SetPosition(int64_t position) override {
        CheckExifSection(tiffBase_, position);
        TmdMemoryStream::SetPosition(position);
    }
    int64_t TiffBase() const { return tiffBase_; }
    void SetTiffBase(int64_t base) { tiffBase_ = base; }

private:
    int64_t tiffBase_ = 0;  // 0: not set
};
