#include "save/novExifMania.h"

#include <algorithm>
#include <set>
#include <vector>

#include "images/Effector/commonColor.h"
#include "platform/Exceptions.h"
#include "platform/SafeFileWriter.h"
#include "platform/Streams.h"
#include "platform/SystemInfo.h"
#include "resample/ResampleEx.h"
#include "save/mdJpegInfo.h"
#include "save/mdMemoryStream.h"
#include "save/ZetJPEGImage.h"
#include "save/ZetJPEGSubsampling.h"

namespace {

constexpr uint16_t kTagCompression = 259;
constexpr uint16_t kTagThumbnailOffset = 513;
constexpr uint16_t kTagThumbnailLength = 514;
constexpr int64_t kEntrySize = 12;
constexpr int64_t kTiffBase = 10;  // from the segment's marker
constexpr int64_t kMaxSegmentLength = 65535;
constexpr const char* kNoThumbnail = "Exif thumbnail not found";
constexpr const char* kSegmentTooLarge = "Exif section too large for the new thumbnail";

// Bytes a value of the type takes, and how many fit in the 4-byte value
// field (0: never kept there); false for a type the walk refuses.
bool TypeLayout(uint16_t type, int64_t& size, uint32_t& inlineCount) {
    switch (type) {
        case 1: case 2: case 7: size = 1; inlineCount = 4; return true;
        case 3: size = 2; inlineCount = 2; return true;
        case 4: case 9: size = 4; inlineCount = 1; return true;
        case 5: case 10: size = 8; inlineCount = 0; return true;
        default: return false;
    }
}

std::vector<uint8_t> StreamBytes(TStream& stream) {
    stream.SetPosition(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(stream.Size()));
    stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

// One directory of the chain: the entries from the reader's position;
// returns the next directory's offset through next.
bool WalkOneIFD(TmdExifMemStream& reader, int64_t base, int64_t& entriesLeft, TThumbnailTagPositions& positions,
                uint32_t& next) {
    const uint16_t count = reader.ReadWord();
    // Directories of a sound segment never overlap, so the chain holds no
    // more entries than the segment has room for; more is a crafted loop
    // through overlapping directories.
    entriesLeft -= count;
    if (entriesLeft < 0) return false;
    const int64_t limit = std::min(reader.Size(), base + TExifByteWindow::MaxSectionOffset + 1);
    for (int64_t i = 0; i < count; ++i) {
        const int64_t d = reader.Position();
        const uint16_t tag = reader.ReadWord();
        const uint16_t type = reader.ReadWord();
        const uint32_t valueCount = reader.ReadDWord();
        const uint32_t valueField = reader.ReadDWord();
        int64_t size = 0;
        uint32_t inlineCount = 0;
        if (!TypeLayout(type, size, inlineCount)) return false;
        // Values outside the field must lie inside the segment and within
        // reach of the base; checked by their extent rather than read, so a
        // huge count costs nothing.
        if (valueCount > inlineCount && valueCount > 0) {
            const int64_t first = base + valueField;
            const int64_t end = first + size * valueCount;
            if (end > limit) return false;
        }
        if (tag == kTagCompression) positions.Compression = d;
        if (tag == kTagThumbnailOffset) positions.Offset = d;
        if (tag == kTagThumbnailLength) positions.Length = d;
        reader.SetPosition(d + kEntrySize);
    }
    next = reader.ReadDWord();
    return true;
}

void WriteStreamSafely(const std::string& target, const TMemoryStream& bytes) {
    WriteFileSafely(target, [&](TStream& file) {
        file.WriteBuffer(bytes.Memory(), static_cast<int64_t>(bytes.Bytes().size()));
    });
}

// The encoding of the chosen subsampling into stream; false when it failed
// or came out empty.
bool Encode(const TBitmap& picture, TMemoryStream& stream, bool progressive, bool grayscale,
            TJPEGSubsampling subsampling, int quality) {
    if (subsampling == jss444)
        EncodeJPEG444(picture, stream, progressive, grayscale, quality);
    else if (!SaveJPEG420ToStream(picture, stream, progressive, grayscale, quality))
        return false;
    stream.SetPosition(0);
    return stream.Size() > 0;
}

}  // namespace

bool WalkIFD(TmdExifMemStream& reader, uint32_t offset, TThumbnailTagPositions& positions) {
    try {
        const int64_t base = reader.TiffBase();
        int64_t entriesLeft = reader.Size() / kEntrySize;
        std::set<uint32_t> walked;
        while (true) {
            if (!walked.insert(offset).second) return false;
            reader.SetPosition(base + offset);
            uint32_t next = 0;
            if (!WalkOneIFD(reader, base, entriesLeft, positions, next)) return false;
            if (next > TExifByteWindow::MaxSectionOffset) return false;
            if (next == 0) return true;
            offset = next;
        }
    } catch (const EExifBounds&) {
        return false;
    }
}

bool LocateThumbnailTags(TStream& segment, TThumbnailTagPositions& positions) {
    positions = {};
    TmdExifMemStream reader(segment);
    while (true) {
        if (reader.ReadByte() != 0xFF) return false;
        const uint8_t code = reader.ReadByte();
        if (code != 0xD9 && code != 0xE1) {
            const uint16_t length = reader.ReadWord();
            reader.SetPosition(reader.Position() + static_cast<uint16_t>(length - 2));
            continue;
        }
        reader.ReadWord();
        if (reader.ReadBytes(4) != "Exif" || reader.ReadWord() != 0) return false;
        break;
    }
    const int64_t base = reader.Position();
    reader.SetTiffBase(base);
    const uint16_t order = reader.ReadWord();
    if (order == 0x4949)
        reader.SetBigEndian(false);
    else if (order == 0x4D4D)
        reader.SetBigEndian(true);
    else
        return false;
    if (reader.ReadWord() != 42) return false;
    const uint32_t ifd0 = reader.ReadDWord();
    reader.SetPosition(base + ifd0);
    const uint16_t entries = reader.ReadWord();
    reader.SetPosition(base + ifd0 + kEntrySize * entries + 2);
    const uint32_t ifd1 = reader.ReadDWord();
    if (ifd1 == 0) return false;
    return WalkIFD(reader, ifd1, positions) && positions.Compression != 0 && positions.Offset != 0 &&
           positions.Length != 0;
}

bool IsBigEndianExif(TStream& segment) {
    TmdMemoryStream reader(segment);
    reader.SetPosition(kTiffBase);
    return reader.ReadWord() == 0x4D4D;
}

void ReadThumbnailValues(TStream& segment, int64_t offsetEntry, int64_t lengthEntry, bool bigEndian,
                         uint32_t& offset, uint32_t& length) {
    TmdMemoryStream reader(segment);
    reader.SetBigEndian(bigEndian);
    reader.SetPosition(offsetEntry + 8);
    offset = reader.ReadDWord();
    reader.SetPosition(lengthEntry + 8);
    length = reader.ReadDWord();
}

void PatchEntryValue(TStream& stream, int64_t entry, uint32_t value, bool bigEndian) {
    stream.SetPosition(entry + 8);
    if (bigEndian)
        stream.WriteDWordBE(value);
    else
        stream.WriteDWordLE(value);
}

void PatchSegmentLength(TStream& stream, uint16_t length) {
    stream.SetPosition(2);
    stream.WriteWordBE(length);
}

TExifProbe ProbeExif(const std::string& path) {
    TExifProbe probe;
    try {
        if (!FileExists(path) || !HasExif(path)) return probe;
        TMemoryStream segment;
        CopyExifSegment(path, segment);
        TThumbnailTagPositions positions;
        probe.HasThumbnail = LocateThumbnailTags(segment, positions);
        probe.HasExif = true;
    } catch (const Exception&) {
        // Truncated or too short to hold its headers: nothing to copy.
        probe = {};
    }
    return probe;
}

void MakeExifThumbnail(const TBitmap& picture, TStream& stream, int maxWidth, int maxHeight) {
    TBitmap copy(picture);
    int width = copy.Width(), height = copy.Height();
    FitWithin(width, height, maxWidth, maxHeight);
    // A long, thin picture would round its short side to nothing.
    if (!copy.Empty()) {
        width = std::max(width, 1);
        height = std::max(height, 1);
        AveragePixelResample(copy, width, height);
    }
    TJPEGImage jpeg;
    jpeg.Assign(copy);
    jpeg.SaveToStream(stream);
    stream.SetPosition(0);
}

void RebuildExifSegment(TStream& segment, TStream& encoded, TStream& output, TStream& thumbnail) {
    const std::vector<uint8_t> old = StreamBytes(segment);
    const int64_t size = static_cast<int64_t>(old.size());
    const bool bigEndian = IsBigEndianExif(segment);
    TThumbnailTagPositions positions;
    if (!LocateThumbnailTags(segment, positions)) throw Exception(kNoThumbnail);
    uint32_t offset = 0, oldLength = 0;
    ReadThumbnailValues(segment, positions.Offset, positions.Length, bigEndian, offset, oldLength);
    const int64_t thumbnailStart = kTiffBase + int64_t{offset};
    // Everything in front of the thumbnail is kept as it is, the length entry
    // patched in place; so both must lie in front of it.
    if (thumbnailStart > size || positions.Length + kEntrySize > thumbnailStart)
        throw EExifBounds(ExifMessages::SectionOutOfBounds);
    const int64_t oldEnd = thumbnailStart + int64_t{oldLength};
    const std::vector<uint8_t> newThumbnail = StreamBytes(thumbnail);

    TMemoryStream rebuilt;
    rebuilt.WriteBuffer(old.data(), thumbnailStart);
    rebuilt.WriteBuffer(newThumbnail.data(), static_cast<int64_t>(newThumbnail.size()));
    if (oldEnd < size) rebuilt.WriteBuffer(old.data() + oldEnd, size - oldEnd);
    // The length counts what is really there, not what a wrong old length
    // entry would make of it; a segment that no longer fits is refused
    // rather than written with a wrapped length.
    const int64_t length = rebuilt.Size() - 2;
    if (length > kMaxSegmentLength) throw Exception(kSegmentTooLarge);
    PatchEntryValue(rebuilt, positions.Length, static_cast<uint32_t>(newThumbnail.size()), bigEndian);
    PatchSegmentLength(rebuilt, static_cast<uint16_t>(length));
    SpliceSegment(encoded, rebuilt, output);
}

bool SaveJPEGWithExif(const TBitmap& picture, const std::string& source, const std::string& target, bool progressive,
                      bool grayscale, bool copyExif, bool updateThumbnail, TJPEGSubsampling subsampling, int quality) {
    TMemoryStream encoded;
    if (!Encode(picture, encoded, progressive, grayscale, subsampling, quality)) return false;
    if (!copyExif) {
        WriteStreamSafely(target, encoded);
        return true;
    }
    TMemoryStream segment, output;
    CopyExifSegment(source, segment);
    if (updateThumbnail && segment.Size() > 0) {
        TMemoryStream thumbnail;
        MakeExifThumbnail(picture, thumbnail, kExifThumbnailSide, kExifThumbnailSide);
        RebuildExifSegment(segment, encoded, output, thumbnail);
    } else {
        SpliceSegment(encoded, segment, output);
    }
    WriteStreamSafely(target, output);
    return true;
}
