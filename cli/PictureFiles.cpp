#include "cli/PictureFiles.h"

#include <iostream>

#include "cli/CliArguments.h"
#include "formats/GLDPNGImage.h"
#include "images/Effector/commonColor.h"
#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"
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
    values.JPEGSubsampling = options.JpegSubsampling;
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

// The Exif choices the source allows, as the save dialog offers them.
void ApplyExifOptions(const CliWriteOptions& options, TSaveRequest& request) {
    if (options.ExifSource.empty()) return;
    const TExifProbe exif = ProbeExif(options.ExifSource);
    request.SourcePath = options.ExifSource;
    request.HasExif = exif.HasExif;
    request.HasThumbnail = exif.HasThumbnail;
    request.Options.ExifCopy = true;
    request.Options.ExifThumbUpdate = options.UpdateThumbnail;
    if (!exif.HasExif)
        std::cerr << "vorlix-cli: note: " << options.ExifSource << " has no Exif block to copy\n";
    else if (options.UpdateThumbnail && !exif.HasThumbnail)
        std::cerr << "vorlix-cli: note: the Exif block of " << options.ExifSource
                  << " has no thumbnail that can be replaced; it is copied as it is\n";
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
    TSaveRequest request;
    request.FileType = *type;
    request.TargetPath = fileName;
    request.SourcePath = picture.SourceFile;
    request.Options = SaveOptions(options);
    request.DCRResourceName = options.ResourceName;
    if (*type == sftJPG) ApplyExifOptions(options, request);
    else if (!options.ExifSource.empty()) throw UsageError("the Exif options apply to JPEG output only");
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
    if (SaveByFileType(work, request)) return;
    // The writer's own exception, so a full disk stays a file error and a
    // picture the encoder refuses a processing failure.
    if (const std::exception_ptr failure = LastWriterException()) std::rethrow_exception(failure);
    if (!HasWriterFor(*type)) throw UsageError("this build has no writer for the chosen type");
    throw EConvertError(LastWriterFailure());
}
