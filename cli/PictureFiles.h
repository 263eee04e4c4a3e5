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
    std::string SourceFile;        // the file it was read from (empty: made in memory)
};

// How JPEG files are decoded.
struct CliReadOptions {
    uint8_t JpegScaleShift = 0;  // 1/2^n
    bool JpegGrayscale = false;
    bool JpegPalette = false;  // 236 colours
    bool JpegFast = false;
    bool JpegNoSmoothing = false;
};

// How pictures are written: the options of the save dialog.
struct CliWriteOptions {
    uint8_t JpegQuality = 90;
    bool JpegGrayscale = false;  // --grayscale: grey JPEG and grey PNG
    bool JpegProgressive = false;
    TJPEGSubsampling JpegSubsampling = jss420;
    std::string ExifSource;        // the file whose Exif block is copied; empty: none
    bool UpdateThumbnail = false;  // rebuild the copied block's thumbnail
    // The type to write; by the output's extension when not given.
    std::optional<TFileType4Save> Type;
    bool PngInterlaced = false;
    bool Reduce256 = false;       // 256 colours before writing, whatever the type
    bool Transparent = false;     // PNG and GIF: the bottom-left colour
    bool TgaRle = false;
    std::string ResourceName;     // DCR
};

// The --type names (bmp, png, jpg, ...); nullopt for an unknown name.
std::optional<TFileType4Save> FileTypeByName(const std::string& name);
// The type an output file name asks for by its extension (any case).
std::optional<TFileType4Save> FileTypeByExtension(const std::string& fileName);

// Raises what the registry or the reader raises.
CliPicture ReadPicture(const std::string& fileName, const CliReadOptions& options = {});

// The extensions WritePicture recognises, with the dot.
std::vector<std::string> WritableExtensions();
// Writes by the extension of fileName; UsageError for an extension that
// cannot be written, the writer's exception otherwise. An existing file is
// replaced only once the new one is complete. JPEG goes through the save
// flow's writer: the Exif copy and the thumbnail update apply when the
// source allows them (a note on stderr says when it does not).
// Writes through the save dispatch, as options.Type or else the extension
// of fileName asks (UsageError for an extension without a type). A writer
// that fails raises with its message. An existing file is replaced only
// once the new one is complete.
void WritePicture(const CliPicture& picture, const std::string& fileName, const CliWriteOptions& options = {});
