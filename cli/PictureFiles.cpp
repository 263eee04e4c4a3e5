#include "cli/PictureFiles.h"

#include <iostream>

#include "cli/CliArguments.h"
#include "formats/GLDPNGImage.h"
#include "formats/PNMImage.h"
#include "platform/BmpCodec.h"
#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/SafeFileWriter.h"
#include "platform/SysUtils.h"
#include "images/Effector/commonColor.h"
#include "save/AlphaPlane.h"
#include "save/SaveDispatch.h"
#include "save/WriterGuard.h"
#include "save/ZetJPEGImage.h"
#include "save/mdJpegInfo.h"
#include "save/novExifMania.h"

namespace {

struct TypeName {
    const char* Name;
    TFileType4Save Type;
};
constexpr TypeName kTypeNames[] = {
    {"bmp", sftBMP}, {"png", sftPNG}, {"jpg", sftJPG}, {"gif", sftGIF}, {"tga", sftTGA}, {"sgi", sftSGI},
    {"pcx", sftPCX}, {"ppm", sftPPM}, {"pgm", sftPGM}, {"pbm", sftPBM}, {"mag", sftMAG}, {"dcr", sftDCR},
};

struct OutputExtension {
    const char* Extension;
    TFileType4Save Type;
};
constexpr OutputExtension kOutputExtensions[] = {
    {".bmp", sftBMP}, {".png", sftPNG}, {".jpg", sftJPG}, {".jpeg", sftJPG}, {".jpe", sftJPG},
    {".gif", sftGIF}, {".ppm", sftPPM}, {".pgm", sftPGM}, {".pbm", sftPBM}, {".tga", sftTGA},
    {".pcx", sftPCX}, {".sgi", sftSGI}, {".rgb", sftSGI}, {".mag", sftMAG}, {".dcr", sftDCR},
    {".res", sftDCR},
};


TSaveOptionValues SaveOptions(const CliWriteOptions& options) {
    TSaveOptionValues values;
    values.JPEGQuality = options.JpegQuality;
    values.JPEGProgressive = options.JpegProgressive;
    values.JPEGGrayscale = options.JpegGrayscale;
    values.PNGInterlaced = options.PngInterlaced;
    values.PNGGrayscale = options.JpegGrayscale;
    values.PNGReduceTo256Color = options.Reduce256;
    values.PNGTransparent = options.Transparent;
    values.GIFTransparent = options.Transparent;
    values.TGARLECompression = options.TgaRle;
    return values;
}

void ApplyJpegOptions(TJPEGImage& jpeg, const CliReadOptions& options) {
    jpeg.SetScaleShift(options.JpegScaleShift);
    jpeg.SetGrayscale(options.JpegGrayscale);
    jpeg.SetPaletteOutput(options.JpegPalette);
    jpeg.SetFastDecode(options.JpegFast);
    jpeg.SetBlockSmoothing(!options.JpegNoSmoothing);
}

// "WxH" of the Exif thumbnail the probe found, or a note when its bytes
// are no JPEG.
std::string ExifThumbnailSize(const std::string& fileName) {
    try {
        TMemoryStream segment;
        CopyExifSegment(fileName, segment);
        TThumbnailTagPositions positions;
        LocateThumbnailTags(segment, positions);
        uint32_t offset = 0, length = 0;
        ReadThumbnailValues(segment, positions.Offset, positions.Length, IsBigEndianExif(segment), offset, length);
        const std::vector<uint8_t>& bytes = segment.Bytes();
        const uint64_t start = uint64_t{offset} + 10;
        if (start + length > bytes.size()) return "(outside its segment)";
        TMemoryStream thumbnail(std::vector<uint8_t>(bytes.begin() + long(start), bytes.begin() + long(start + length)));
        TJPEGImage jpeg;
        jpeg.LoadFromStream(thumbnail);
        return Format("%dx%d", jpeg.Width(), jpeg.Height());
    } catch (const Exception&) {
        return "(unreadable)";
    }
}

void AddJpegDetails(const TJPEGImage& jpeg, const std::string& fileName, CliPicture& picture) {
    picture.Details.push_back(Format("stored size: %dx%d", jpeg.Data().Width, jpeg.Data().Height));
    picture.Details.push_back(std::string("stored grayscale: ") + (jpeg.Data().Grayscale ? "yes" : "no"));
    picture.Details.push_back(std::string("progressive: ") + (jpeg.Progressive() ? "yes" : "no"));
    const TExifProbe exif = ProbeExif(fileName);
    picture.Details.push_back(std::string("exif: ") + (exif.HasExif ? "yes" : "no"));
    picture.Details.push_back("exif thumbnail: " + (exif.HasThumbnail ? "yes " + ExifThumbnailSize(fileName) : "no"));
}

// The save flow's JPEG writer, with the Exif choices the source allows.
void WriteJpegFile(const CliPicture& picture, const std::string& fileName, const CliWriteOptions& options) {
    bool copyExif = false, updateThumbnail = false;
    if (!options.ExifSource.empty()) {
        const TExifProbe exif = ProbeExif(options.ExifSource);
        copyExif = exif.HasExif;
        updateThumbnail = options.UpdateThumbnail && exif.HasThumbnail;
        if (!copyExif)
            std::cerr << "vorlix-cli: note: " << options.ExifSource << " has no Exif block to copy\n";
        else if (options.UpdateThumbnail && !updateThumbnail)
            std::cerr << "vorlix-cli: note: the Exif block of " << options.ExifSource
                      << " has no thumbnail that can be replaced; it is copied as it is\n";
    }
    if (!SaveJPEGWithExif(picture.Bitmap, options.ExifSource, fileName, options.JpegProgressive,
                          options.JpegGrayscale, copyExif, updateThumbnail, options.JpegSubsampling,
                          options.JpegQuality))
        throw EJPEG("JPEG encoding failed");
}

}  // namespace

CliPicture ReadPicture(const std::string& fileName, const CliReadOptions& options) {
    TPicture holder;
    holder.LoadFromFile(fileName);
    CliPicture picture;
    auto* jpeg = dynamic_cast<TJPEGImage*>(holder.Graphic());
    if (jpeg) {
        ApplyJpegOptions(*jpeg, options);
        AddJpegDetails(*jpeg, fileName, picture);
    }
    picture.Bitmap.Assign(*holder.Graphic());
    picture.ClassName = holder.Graphic()->ClassType().Name;
    picture.Warning = holder.Graphic()->LoadWarning();
    if (const auto* png = dynamic_cast<const TGLDPNG*>(holder.Graphic()); png && png->HasAlpha())
        picture.Alpha = png->AlphaBitmap();
    picture.SourceFile = fileName;
    return picture;
}

std::optional<TFileType4Save> FileTypeByName(const std::string& name) {
    for (const TypeName& entry : kTypeNames)
        if (name == entry.Name) return entry.Type;
    return std::nullopt;
}

std::optional<TFileType4Save> FileTypeByExtension(const std::string& fileName) {
    const std::string extension = LowerCase(ExtractFileExt(fileName));
    for (const OutputExtension& entry : kOutputExtensions)
        if (extension == entry.Extension) return entry.Type;
    return std::nullopt;
}

std::vector<std::string> WritableExtensions() {
    std::vector<std::string> extensions;
    for (const OutputExtension& entry : kOutputExtensions) extensions.emplace_back(entry.Extension);
    return extensions;
}

void WritePicture(const CliPicture& picture, const std::string& fileName, const CliWriteOptions& options) {
    const std::optional<TFileType4Save> type = options.Type ? options.Type : FileTypeByExtension(fileName);
    if (!type) {
        std::string known;
        for (const std::string& e : WritableExtensions()) known += " " + e;
        throw UsageError("cannot tell the type of '" + LowerCase(ExtractFileExt(fileName)) +
                         "' files; give --type, or one of the extensions" + known);
    }
    // JPEG goes through the Exif-aware writer, which also chooses the chroma sampling.
    if (*type == sftJPG && !options.Reduce256) {
        WriteJpegFile(picture, fileName, options);
        return;
    }
    if (!options.ExifSource.empty()) throw UsageError("the Exif options apply to JPEG output only");
    TSaveRequest request;
    request.FileType = *type;
    request.TargetPath = fileName;
    request.SourcePath = picture.SourceFile;
    request.Options = SaveOptions(options);
    request.DCRResourceName = options.ResourceName;
    TBitmap reduced;
    if (options.Reduce256) {
        reduced = picture.Bitmap;
        ReduceTo256Colours(reduced);
    }
    const TBitmap& work = options.Reduce256 ? reduced : picture.Bitmap;
    // The alpha plane was resampled along with the picture, so it has its size.
    TBitmap alpha;
    if (picture.Alpha && TakesAlphaPath(true, *type, request.Options)) {
        alpha = *picture.Alpha;
        request.AlphaPlane = &alpha;
    }
    if (!SaveByFileType(work, request)) throw EConvertError(LastWriterFailure());
}
