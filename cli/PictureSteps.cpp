#include "cli/PictureSteps.h"

#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "platform/Exceptions.h"

#include <iostream>

const std::set<std::string> kReadValuedOptions = {"jpeg-scale"};
const std::set<std::string> kReadFlagOptions = {"jpeg-grayscale", "jpeg-palette", "jpeg-fast", "jpeg-no-smoothing"};
const std::set<std::string> kWriteValuedOptions = {"quality", "subsampling", "exif-from", "type", "resource-name"};
const std::set<std::string> kWriteFlagOptions = {"grayscale", "progressive", "exif-copy", "update-thumbnail",
                                                 "interlaced", "reduce256", "transparent", "rle"};

CliReadOptions ReadOptionsFrom(const CliArguments& arguments) {
    CliReadOptions options;
    if (const auto scale = arguments.Value("jpeg-scale")) {
        static const std::pair<const char*, uint8_t> kScales[] = {{"1", 0}, {"2", 1}, {"4", 2}, {"8", 3}};
        bool known = false;
        for (const auto& [text, shift] : kScales) {
            if (*scale != text) continue;
            options.JpegScaleShift = shift;
            known = true;
        }
        if (!known) throw UsageError("--jpeg-scale takes 1, 2, 4 or 8, not '" + *scale + "'");
    }
    options.JpegGrayscale = arguments.Has("jpeg-grayscale");
    options.JpegPalette = arguments.Has("jpeg-palette");
    options.JpegFast = arguments.Has("jpeg-fast");
    options.JpegNoSmoothing = arguments.Has("jpeg-no-smoothing");
    return options;
}

CliWriteOptions WriteOptionsFrom(const CliArguments& arguments, const std::string& input) {
    CliWriteOptions options;
    options.JpegQuality = static_cast<uint8_t>(arguments.Integer("quality", 1, 100).value_or(90));
    options.JpegGrayscale = arguments.Has("grayscale");
    options.JpegProgressive = arguments.Has("progressive");
    if (const auto subsampling = arguments.Value("subsampling")) {
        if (*subsampling == "420")
            options.JpegSubsampling = jss420;
        else if (*subsampling == "444")
            options.JpegSubsampling = jss444;
        else
            throw UsageError("--subsampling takes 420 or 444, not '" + *subsampling + "'");
    }
    const auto from = arguments.Value("exif-from");
    if (from && arguments.Has("exif-copy")) throw UsageError("give --exif-copy or --exif-from, not both");
    if (arguments.Has("exif-copy")) options.ExifSource = input;
    if (from) options.ExifSource = *from;
    options.UpdateThumbnail = arguments.Has("update-thumbnail");
    if (options.UpdateThumbnail && options.ExifSource.empty())
        throw UsageError("--update-thumbnail needs --exif-copy or --exif-from");
    if (const auto type = arguments.Value("type")) {
        options.Type = FileTypeByName(*type);
        if (!options.Type) throw UsageError("--type takes bmp, png, jpg, gif, tga, sgi, pcx, ppm, pgm, pbm, mag or dcr, not '" + *type + "'");
    }
    options.PngInterlaced = arguments.Has("interlaced");
    options.Reduce256 = arguments.Has("reduce256");
    options.Transparent = arguments.Has("transparent");
    options.TgaRle = arguments.Has("rle");
    options.ResourceName = arguments.Value("resource-name").value_or("");
    return options;
}

std::set<std::string> Union(std::initializer_list<std::set<std::string>> sets) {
    std::set<std::string> all;
    for (const auto& s : sets) all.insert(s.begin(), s.end());
    return all;
}

CliPicture ReadInput(const std::string& fileName, const CliReadOptions& options) {
    CliPicture picture;
    try {
        picture = ReadPicture(fileName, options);
    } catch (const Exception& e) {
        throw FileError(fileName, e.Message());
    }
    // Nothing can be shown, processed or written of an empty picture; it is
    // the input's fault, and saying so here keeps it from being blamed on
    // the output later.
    if (picture.Bitmap.Empty()) throw FileError(fileName, "The file holds an empty picture");
    if (!picture.Warning.empty())
        std::cerr << "vorlix-cli: " << Printable(fileName) << ": warning: " << Printable(picture.Warning) << "\n";
    return picture;
}

void WriteOutput(const CliPicture& picture, const std::string& fileName, const CliWriteOptions& options) {
    try {
        WritePicture(picture, fileName, options);
    } catch (const EStreamError& e) {
        throw FileError(fileName, e.Message());
    }
    // Anything else (no memory, a picture the encoder refuses) is a failure
    // to process the picture and reaches main as it is.
}
