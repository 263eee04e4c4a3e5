#pragma once
// Byte streams: an abstract stream, one in memory and one over a file.
// Short reads through ReadBuffer raise EReadError, so decoders that read with
// it can never run past the end of their input.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

protected:
    TStream(TStream&&) = default;
    TStream& operator=(TStream&&) = default;

public:

    // Read and Write move at most count bytes and return how many they moved.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual void SetSize(int64_t newSize) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
    virtual int64_t Size();
    int64_t Remaining() { return Size() - Position(); }

    void ReadBuffer(void* buffer, int64_t count);         // all or EReadError
    // All or EWriteError, whose message names the reason when the stream
    // knows it ("Stream write error: No space left on device").
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies count bytes from source's current position; count 0 copies the
    // whole of source from its start. Returns the bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);

    uint8_t ReadByte();
    uint16_t ReadWordLE();
    uint32_t ReadDWordLE();
    uint16_t ReadWordBE();
    uint32_t ReadDWordBE();
    void WriteByte(uint8_t value) { WriteBuffer(&value, 1); }
    void WriteWordLE(uint16_t value);
    void WriteDWordLE(uint32_t value);
    void WriteWordBE(uint16_t value);
    void WriteDWordBE(uint32_t value);
    void WriteString(const std::string& text) { WriteBuffer(text.data(), static_cast<int64_t>(text.size())); }

protected:
    // Why the last Write moved fewer bytes than asked; empty when unknown.
    virtual std::string WriteFailureReason() const { return {}; }
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
    TMemoryStream(TMemoryStream&&) = default;
    TMemoryStream& operator=(TMemoryStream&&) = default;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }

    uint8_t* Memory() { return data_.data(); }
    const uint8_t* Memory() const { return data_.data(); }
    const std::vector<uint8_t>& Bytes() const { return data_; }
    std::vector<uint8_t> TakeBytes();
    void Clear();

    // Reads a whole file; raises EFOpenError when it cannot be opened.
    void LoadFromFile(const std::string& fileName);
    // Reads the rest of source from its current position.
    void LoadFromStream(TStream& source);
    void SaveToFile(const std::string& fileName) const;
    void SaveToStream(TStream& destination) const;

private:
    std::vector<uint8_t> data_;
    int64_t position_ = 0;
};

enum TFileMode : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmCreate = 0xFF00,
};

class TFileStream : public TStream {
public:
    // fmCreate creates or truncates (EFCreateError on failure); the open
    // modes need an existing regular file (EFOpenError on failure, also for
    // a folder or a device; opening never blocks on a pipe).
    TFileStream(const std::string& fileName, unsigned mode);
    // Takes over an open descriptor for reading and writing; fileName only
    // names it.
    TFileStream(int descriptor, const std::string& fileName);
    ~TFileStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;
    const std::string& FileName() const { return fileName_; }
    // Writes out the buffered bytes; raises EWriteError naming the reason.
    void Flush();
    // Flushes and closes; raises EWriteError when buffered bytes cannot be
    // written. The destructor closes without raising.
    void Close();
    int Descriptor() const;

protected:
    std::string WriteFailureReason() const override;

private:
    std::string fileName_;
    std::FILE* file_ = nullptr;
    int writeError_ = 0;  // errno of the last failed write
};
