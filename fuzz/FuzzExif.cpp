// The Exif walk under the fuzzer: the bytes as an APP1 segment, as the save
// flow hands it over, through the thumbnail-tag search and, when the tags
// are found, the reading of the thumbnail's offset and length.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "save/novExifMania.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        TMemoryStream segment(std::vector<uint8_t>(data, data + size));
        TThumbnailTagPositions positions;
        if (LocateThumbnailTags(segment, positions) && positions.Offset != 0 && positions.Length != 0) {
            uint32_t offset = 0, length = 0;
            ReadThumbnailValues(segment, positions.Offset, positions.Length, IsBigEndianExif(segment), offset,
                                length);
        }
    } catch (const Exception&) {
    }
    return 0;
}
