#include "save/mdJpegInfo.h"

#include <algorithm>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "save/mdFileStream.h"

namespace {

constexpr uint8_t kMarker = 0xFF;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kApp1 = 0xE1;
constexpr uint16_t kStartOfImage = 0xFFD8;
constexpr uint16_t kApp0 = 0xFFE0;

std::vector<uint8_t> StreamBytes(TStream& stream) {
    stream.SetPosition(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(stream.Size()));
    stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

}  // namespace

bool FindExifSegment(const std::string& path, int64_t& start, int64_t& size) {
    start = 0;
    size = 0;
    TmdExifStream reader(path);
    if (reader.AtEnd() || reader.ReadWord() != kStartOfImage) return false;
    do {
        if (reader.ReadByte() != kMarker) return false;
        const uint8_t code = reader.ReadByte();
        if (code == kEndOfImage || code == kStartOfScan) return false;
        if (code == kApp1) {
            const int64_t at = reader.Position() - 2;
            const int64_t length = reader.ReadWord();
            // Only the first APP1 counts; one cut off by the end of the
            // file could only be copied broken.
            if (reader.ReadBytes(4) != "Exif" || at + length + 2 > reader.Size()) return false;
            start = at;
            size = length + 2;
            return true;
        }
        const uint16_t length = reader.ReadWord();
        reader.SetPosition(reader.Position() + static_cast<uint16_t>(length - 2));
    } while (!reader.AtEnd());
    return false;
}

bool CopyExifSegment(const std::string& path, TStream& destination) {
    int64_t start = 0, size = 0;
    if (!FindExifSegment(path, start, size)) return false;
    TFileStream file(path, fmOpenRead);
    file.SetPosition(start);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    file.ReadBuffer(bytes.data(), size);
    destination.WriteBuffer(bytes.data(), size);
    return true;
}

bool HasExif(const std::string& path) {
    int64_t start = 0, size = 0;
    return FindExifSegment(path, start, size);
}

int64_t FindSegmentInsertPoint(TStream& jpeg) {
    const int64_t end = jpeg.Size();
    jpeg.SetPosition(0);
    if (end < 2 || jpeg.ReadWordBE() != kStartOfImage) throw EInvalidGraphic("TJPEGImage Sig Error");
    int64_t position = 2;
    bool afterApp0 = false;
    while (position + 4 <= end) {
        jpeg.SetPosition(position);
        if (jpeg.ReadWordBE() != kApp0) break;
        position += 2 + jpeg.ReadWordBE();
        afterApp0 = true;
    }
    if (!afterApp0) return 2;
    return std::min(position, end);
}

void SpliceSegment(TStream& jpeg, TStream& segment, TStream& output) {
    const int64_t at = FindSegmentInsertPoint(jpeg);
    const std::vector<uint8_t> bytes = StreamBytes(jpeg);
    const std::vector<uint8_t> inserted = StreamBytes(segment);
    output.SetPosition(0);
    output.WriteBuffer(bytes.data(), at);
    output.WriteBuffer(inserted.data(), static_cast<int64_t>(inserted.size()));
    output.WriteBuffer(bytes.data() + at, static_cast<int64_t>(bytes.size()) - at);
    output.SetSize(output.Position());
    output.SetPosition(0);
}
