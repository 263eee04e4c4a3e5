#pragma once
// Bounded reading of a file held in memory: every read says how much it
// could take, so decoders stop at the end of the data instead of past it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class TByteCursor {
public:
    explicit TByteCursor(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    size_t Size() const { return size_; }
    size_t Position() const { return pos_; }
    size_t Remaining() const { return size_ - pos_; }
    bool AtEnd() const { return pos_ >= size_; }
    // Positions past the end are taken as the end.
    void Seek(uint64_t position) { pos_ = static_cast<size_t>(std::min<uint64_t>(position, size_)); }
    void Skip(uint64_t count) { Seek(uint64_t{pos_} + count); }

    const uint8_t* Here() const { return data_ + pos_; }
    // Callers check Remaining() first.
    uint8_t Next() { return data_[pos_++]; }
    // The bytes [offset, offset + count) when they are all in the data,
    // otherwise nullptr.
    const uint8_t* At(uint64_t offset, uint64_t count) const {
        return offset <= size_ && count <= size_ - offset ? data_ + offset : nullptr;
    }
    // Takes count bytes when that many remain; nullptr (and no move) otherwise.
    const uint8_t* Take(size_t count) {
        if (count > Remaining()) return nullptr;
        const uint8_t* p = data_ + pos_;
        pos_ += count;
        return p;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

inline uint16_t LE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint16_t BE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t BE32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
