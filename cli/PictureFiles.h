#pragma once
// Reading any registered picture file and writing the output types the
// command line offers, always through a temporary file beside the target.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "save/KestruneFileTypes.h"

struct CliPicture {
    TBitmap Bitmap;
    std::optional<TBitmap> Alpha;  // the alpha plane, as a grey picture
    std::string ClassName;         // the class that read the file
    std::vector<std::string> Details;  // "name: value" lines the reader adds
    std::string Warning;               // what the reader could not show
};

// How JPEG files are decoded.
struct CliReadOptions {
    uint8_t JpegScaleShift = 0;  // 1/2^n
    bool JpegGrayscale = false;
    bool JpegPalette = false;  // 236 colours
    bool JpegFast = false;
    bool JpegNoSmoothing = false;
};

// How JPEG files are encoded.
struct CliWriteOptions {
    uint8_t JpegQuality = 90;
    bool JpegGrayscale = false;
    bool JpegProgressive = false;
    TJPEGSubsampling JpegSubsampling = jss420;
    std::string ExifSource;        // the file whose Exif block is copied; empty: none
    bool UpdateThumbnail = false;  // rebuild the copied block's thumbnail
};

// Raises what the registry or the reader raises.
CliPicture ReadPicture(const std::string& fileName, const CliReadOptions& options = {});

// The extensions WritePicture accepts, with the dot.
std::vector<std::string> WritableExtensions();
// Writes by the extension of fileName; UsageError for an extension that
// cannot be written, the writer's exception otherwise. An existing file is
// replaced only once the new one is complete. JPEG goes through the save
// flow's writer: the Exif copy and the thumbnail update apply when the
// source allows them (a note on stderr says when it does not).
void WritePicture(const CliPicture& picture, const std::string& fileName, const CliWriteOptions& options = {});
