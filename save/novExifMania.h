#pragma once
// The Exif segment's thumbnail: finding the thumbnail tags in the
// thumbnail directory chain (IFD1 and after), patching values in place,
// putting a new thumbnail in; and the JPEG writer of the save flow, which
// copies the source file's Exif segment into the new file.

#include <cstdint>
#include <string>

#include "platform/Bitmap.h"
#include "save/KestruneFileTypes.h"

class TStream;
class TmdExifMemStream;

// Segment positions of the 12-byte entries of the thumbnail tags; 0: none.
struct TThumbnailTagPositions {
    int64_t Compression = 0;  // tag 259
    int64_t Offset = 0;       // tag 513, JPEGInterchangeFormat
    int64_t Length = 0;       // tag 514, JPEGInterchangeFormatLength
};

// segment starts at its APP1 marker. True when the Exif and TIFF headers
// are valid, the directory chain from IFD1 walks cleanly and it holds all
// three tags. A segment too short for its headers or IFD0 raises
// EExifBounds.
bool LocateThumbnailTags(TStream& segment, TThumbnailTagPositions& positions);
// Walks the directory at offset (from the reader's TIFF base) and every one
// chained after it, recording the thumbnail tags' positions. Fails on an
// entry type outside 1-5, 7, 9 and 10, on values outside the segment or
// beyond 65535 bytes of the base, on a next-directory offset above 65535
// and on a chain that comes back to a directory it has walked.
bool WalkIFD(TmdExifMemStream& reader, uint32_t offset, TThumbnailTagPositions& positions);
bool IsBigEndianExif(TStream& segment);
// The thumbnail's offset from the TIFF base and its length in bytes.
void ReadThumbnailValues(TStream& segment, int64_t offsetEntry, int64_t lengthEntry, bool bigEndian,
                         uint32_t& offset, uint32_t& length);
void PatchEntryValue(TStream& stream, int64_t entry, uint32_t value, bool bigEndian);
void PatchSegmentLength(TStream& stream, uint16_t length);

struct TExifProbe {
    bool HasExif = false;
    bool HasThumbnail = false;  // a thumbnail that can be replaced
};
// What the file at path allows. Never raises: a missing or unreadable file,
// a truncated one or a segment too short for its headers has no Exif.
TExifProbe ProbeExif(const std::string& path);

// A JPEG (quality 90, 4:2:0, colour) of picture fitted into the box, each
// side at least 1 pixel, averaged down; stream is rewound.
void MakeExifThumbnail(const TBitmap& picture, TStream& stream, int maxWidth, int maxHeight);
// output := encoded with segment put in after its APP0 segments, the old
// thumbnail replaced by thumbnail, its length entry and the segment length
// patched. Raises Exception when the segment has no replaceable thumbnail,
// when the thumbnail is not where its entries say, or when the new segment
// would exceed 65535 bytes.
void RebuildExifSegment(TStream& segment, TStream& encoded, TStream& output, TStream& thumbnail);

// The maximum thumbnail box.
constexpr int kExifThumbnailSide = 160;

// Writes picture as a JPEG to target. With copyExif the source file's Exif
// segment goes in after the JFIF header (read before target is written, so
// target may be the source), its thumbnail rebuilt with updateThumbnail.
// Returns false when the 4:2:0 encoder fails or an encoding comes out
// empty (an empty picture); raises what the 4:4:4 encoder and its rewrite,
// the reading of the source and the writing of the target raise. The
// target is left as it was in every failure.
bool SaveJPEGWithExif(const TBitmap& picture, const std::string& source, const std::string& target, bool progressive,
                      bool grayscale, bool copyExif, bool updateThumbnail, TJPEGSubsampling subsampling, int quality);
