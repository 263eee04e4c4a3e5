#include "platform/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
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
    if (count >= 0 && Write(buffer, count) == count) return;
    const std::string reason = WriteFailureReason();
    throw EWriteError(reason.empty() ? std::string(PlatformMessages::WriteError)
                                     : std::string(PlatformMessages::WriteError) + ": " + reason);
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

namespace {

[[noreturn]] void OpenFailed(const std::string& fileName, const char* reason) {
    throw EFOpenError(Format(PlatformMessages::FileOpen, fileName.c_str(), reason));
}

[[noreturn]] void WriteFailed(int error) {
    throw EWriteError(error ? std::string(PlatformMessages::WriteError) + ": " + std::strerror(error)
                            : std::string(PlatformMessages::WriteError));
}

// An existing file to read or change: only a regular file will do. A pipe
// would block the program and a folder or device has no size to read, so
// the file is opened without blocking and looked at before any byte moves.
std::FILE* OpenExisting(const std::string& fileName, bool write) {
    const int fd = ::open(fileName.c_str(), (write ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) OpenFailed(fileName, std::strerror(errno));
    struct stat info {};
    const char* refusal = nullptr;
    if (fstat(fd, &info) != 0) refusal = std::strerror(errno);
    else if (S_ISDIR(info.st_mode)) refusal = std::strerror(EISDIR);
    else if (!S_ISREG(info.st_mode)) refusal = "not a regular file";
    if (!refusal) {
        const int flags = fcntl(fd, F_GETFL);
        if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) refusal = std::strerror(errno);
    }
    std::FILE* file = refusal ? nullptr : fdopen(fd, write ? "r+b" : "rb");
    if (!file) {
        const std::string reason = refusal ? refusal : std::strerror(errno);
        ::close(fd);
        OpenFailed(fileName, reason.c_str());
    }
    return file;
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName) {
    if (mode != fmCreate) {
        file_ = OpenExisting(fileName, (mode & 3) == fmOpenWrite || (mode & 3) == fmOpenReadWrite);
        return;
    }
    file_ = std::fopen(fileName.c_str(), "w+be");
    if (!file_) throw EFCreateError(Format(PlatformMessages::FileCreate, fileName.c_str(), std::strerror(errno)));
}

TFileStream::TFileStream(int descriptor, const std::string& fileName) : fileName_(fileName) {
    file_ = fdopen(descriptor, "w+b");
    if (!file_) throw EFCreateError(Format(PlatformMessages::FileCreate, fileName.c_str(), std::strerror(errno)));
}

TFileStream::~TFileStream() {
    if (file_) std::fclose(file_);
}

int TFileStream::Descriptor() const { return file_ ? fileno(file_) : -1; }

std::string TFileStream::WriteFailureReason() const { return writeError_ ? std::strerror(writeError_) : ""; }

void TFileStream::Flush() {
    if (file_ && std::fflush(file_) != 0) WriteFailed(errno);
}

void TFileStream::Close() {
    if (!file_) return;
    int error = 0;
    if (std::fflush(file_) != 0) error = errno;
    if (std::fclose(file_) != 0 && !error) error = errno ? errno : EIO;
    file_ = nullptr;
    if (error) WriteFailed(error);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    if (!file_ || count <= 0) return 0;
    return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (!file_ || count <= 0) return 0;
    errno = 0;
    const auto written = static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), file_));
    if (written != count) writeError_ = errno ? errno : EIO;
    return written;
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
