#pragma once
// Buffered reading of a file for the JPEG marker walk: bytes and words in
// either byte order, through a 1024-byte window.

#include <memory>
#include <string>

#include "save/ExifByteWindow.h"

class TFileStream;

class TmdFileStream : public TExifByteWindow {
public:
    // Opens for reading; others may read the file meanwhile. Raises
    // EFOpenError when it cannot be opened.
    explicit TmdFileStream(const std::string& fileName);
    ~TmdFileStream() override;

    const std::string& FileName() const { return fileName_; }
    int64_t Size() const { return size_; }

protected:
    int64_t Fill(int64_t position, uint8_t* buffer, int64_t count) override;

private:
    std::string fileName_;
    std::unique_ptr<TFileStream> file_;
    int64_t size_ = 0;
};

// Positions more than 65535 bytes beyond the TIFF base (once set) are
// refused with "Exif section out of bounds".
class TmdExifStream : public TmdFileStream {
public:
    using TmdFileStream::TmdFileStream;
    void SetPosition(int64_t position) override {
        CheckExifSection(tiffBase_, position);
        TmdFileStream::SetPosition(position);
    }
    int64_t TiffBase() const { return tiffBase_; }
    void SetTiffBase(int64_t base) { tiffBase_ = base; }

private:
    int64_t tiffBase_ = 0;  // 0: not set
};
