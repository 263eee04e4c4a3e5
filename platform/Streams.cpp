#include "platform/Streams.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

int64_t TStream::Size() {
    const int64_t position = Seek(0, TSeekOrigin::soCurrent);
    const int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(position, TSeekOrigin::soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count < 0 || Read(buffer, count) != count) throw EReadError(PlatformMessages::ReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count < 0 || Write(buffer, count) != count) throw EWriteError(PlatformMessages::WriteError);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<int64_t>(count, 1 << 20)));
    int64_t left = count;
    while (left > 0) {
        const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(chunk.size()));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        left -= n;
    }
    return count;
}

uint8_t TStream::ReadByte() {
    uint8_t b = 0;
    ReadBuffer(&b, 1);
    return b;
}

uint16_t TStream::ReadWordLE() {
    uint8_t b[2];
    ReadBuffer(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t TStream::ReadDWordLE() {
    uint8_t b[4];
    ReadBuffer(b, 4);
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

uint16_t TStream::ReadWordBE() {
    uint8_t b[2];
    ReadBuffer(b, 2);
    return static_cast<uint16_t>((b[0] << 8) | b[1]);
}

uint32_t TStream::ReadDWordBE() {
    uint8_t b[4];
    ReadBuffer(b, 4);
    return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | uint32_t{b[3]};
}

void TStream::WriteWordLE(uint16_t value) {
    const uint8_t b[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    WriteBuffer(b, 2);
}

void TStream::WriteDWordLE(uint32_t value) {
    const uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    WriteBuffer(b, 4);
}

void TStream::WriteWordBE(uint16_t value) {
    const uint8_t b[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    WriteBuffer(b, 2);
}

void TStream::WriteDWordBE(uint32_t value) {
    const uint8_t b[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                          static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    WriteBuffer(b, 4);
}

// ---------------------------------------------------------------------------

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    const int64_t size = Size();
    if (count <= 0 || position_ >= size) return 0;
    const int64_t n = std::min(count, size - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    const int64_t end = position_ + count;
    if (end > Size()) {
        try {
            data_.resize(static_cast<size_t>(end));
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory(PlatformMessages::OutOfMemory);
        }
    }
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = 0;
    if (origin == TSeekOrigin::soCurrent) base = position_;
    if (origin == TSeekOrigin::soEnd) base = Size();
    const int64_t target = base + offset;
    if (target < 0) throw EReadError(PlatformMessages::ReadError);
    position_ = target;
    return position_;
}

void TMemoryStream::SetSize(int64_t newSize) {
    if (newSize < 0) throw EWriteError(PlatformMessages::WriteError);
    try {
        data_.resize(static_cast<size_t>(newSize));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(PlatformMessages::OutOfMemory);
    }
    if (position_ > newSize) position_ = newSize;
}

std::vector<uint8_t> TMemoryStream::TakeBytes() {
    position_ = 0;
    return std::move(data_);
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead);
    LoadFromStream(file);
}

void TMemoryStream::LoadFromStream(TStream& source) {
    const int64_t count = source.Remaining();
    if (count < 0 || static_cast<uint64_t>(count) > std::numeric_limits<size_t>::max() / 2)
        throw EOutOfMemory(PlatformMessages::OutOfMemory);
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(PlatformMessages::OutOfMemory);
    }
    source.ReadBuffer(bytes.data(), count);
    data_ = std::move(bytes);
    position_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
    file.Close();
}

void TMemoryStream::SaveToStream(TStream& destination) const {
    destination.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

// ---------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName) {
    const char* how = "rb";
    if (mode == fmCreate) how = "w+b";
    else if ((mode & 3) == fmOpenWrite || (mode & 3) == fmOpenReadWrite) how = "r+b";
    file_ = std::fopen(fileName.c_str(), how);
    if (!file_) {
        const std::string reason = std::strerror(errno);
        if (mode == fmCreate)
            throw EFCreateError(Format(PlatformMessages::FileCreate, fileName.c_str(), reason.c_str()));
        throw EFOpenError(Format(PlatformMessages::FileOpen, fileName.c_str(), reason.c_str()));
    }
}

TFileStream::~TFileStream() {
    if (file_) std::fclose(file_);
}

void TFileStream::Close() {
    if (!file_) return;
    const bool failed = std::fflush(file_) != 0;
    const bool closeFailed = std::fclose(file_) != 0;
    file_ = nullptr;
    if (failed || closeFailed) throw EWriteError(PlatformMessages::WriteError);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    if (!file_ || count <= 0) return 0;
    return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (!file_ || count <= 0) return 0;
    return static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    if (!file_) return 0;
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : origin == TSeekOrigin::soCurrent   ? SEEK_CUR
                                                          : SEEK_END;
    if (fseeko(file_, static_cast<off_t>(offset), whence) != 0) throw EReadError(PlatformMessages::ReadError);
    return static_cast<int64_t>(ftello(file_));
}

void TFileStream::SetSize(int64_t newSize) {
    if (!file_ || std::fflush(file_) != 0 || ftruncate(fileno(file_), static_cast<off_t>(newSize)) != 0)
        throw EWriteError(PlatformMessages::WriteError);
}
