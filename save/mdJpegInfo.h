#pragma once
// The JPEG marker level of Exif handling: finding a file's Exif APP1
// segment, copying it, and splicing a segment into a JPEG stream after its
// APP0 segments.

#include <cstdint>
#include <string>

class TStream;

// Walks the markers of the file up to the first APP1, the start of scan or
// the end of image. Found when that APP1 carries "Exif" and lies wholly
// inside the file; start is the position of its marker and size counts
// the marker. A marker chain that runs past the end of the file raises
// EExifBounds "Out of bounds"; a file that cannot be opened, EFOpenError.
bool FindExifSegment(const std::string& path, int64_t& start, int64_t& size);
// Appends the Exif segment (marker included) to destination when found.
bool CopyExifSegment(const std::string& path, TStream& destination);
bool HasExif(const std::string& path);

// Where a segment goes in: after the leading APP0 segments, else just after
// the start-of-image marker. Raises EInvalidGraphic when the stream does not
// start with one.
int64_t FindSegmentInsertPoint(TStream& jpeg);
// output := jpeg up to the insert point, the whole segment, the rest of
// jpeg; output is rewound.
void SpliceSegment(TStream& jpeg, TStream& segment, TStream& output);
