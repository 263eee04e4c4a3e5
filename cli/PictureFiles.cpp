#include "cli/PictureFiles.h"

#include <iostream>

#include "cli/CliArguments.h"
#include "formats/GIFImage.h"
#include "formats/GLDPNGImage.h"
#include "formats/PNMImage.h"
#include "platform/BmpCodec.h"
#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/SafeFileWriter.h"
#include "platform/SysUtils.h"
#include "images/Effector/commonColor.h"
#include "save/ZetJPEGImage.h"
#include "save/mdJpegInfo.h"
#include "save/novExifMania.h"

namespace {

struct OutputType {
    const char* Extension;
    // Absent for JPEG, which the save flow's writer writes as a whole file.
    void (*Write)(const CliPicture& picture, const CliWriteOptions& options, TStream& stream);
};

void WriteBmp(const CliPicture& picture, const CliWriteOptions&, TStream& stream) { WriteBmpFile(picture.Bitmap, stream); }


// A picture that is not 8-bit indexed is reduced to 256 colours first.
void WriteGif(const CliPicture& picture, const CliWriteOptions&, TStream& stream) {
    if (picture.Bitmap.PixelFormat() == pf8bit) {
        WriteGIF(picture.Bitmap, stream);
        return;
    }
    TBitmap reduced = picture.Bitmap;
    ReduceTo256Colours(reduced);
    WriteGIF(reduced, stream);
}

void WritePng(const CliPicture& picture, const CliWriteOptions&, TStream& stream) {
    WritePNG(picture.Bitmap, stream, {}, picture.Alpha ? &*picture.Alpha : nullptr);
}

template <const char* Format>
void WritePnm(const CliPicture& picture, const CliWriteOptions&, TStream& stream) {
    TPNMImage image;
    image.Assign(picture.Bitmap);
    image.SetOutputFormat(Format);
    image.SaveToStream(stream);
}

constexpr char kPPM[] = "PPM", kPGM[] = "PGM", kPBM[] = "PBM";

const std::vector<OutputType>& OutputTypes() {
    static const std::vector<OutputType> types = {
        {".bmp", WriteBmp},       {".png", WritePng},       {".jpg", nullptr},        {".jpeg", nullptr},
        {".jpe", nullptr},        {".gif", WriteGif},       {".ppm", WritePnm<kPPM>}, {".pgm", WritePnm<kPGM>},
        {".pbm", WritePnm<kPBM>},
    };
    return types;
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
    return picture;
}

std::vector<std::string> WritableExtensions() {
    std::vector<std::string> extensions;
    for (const OutputType& type : OutputTypes()) extensions.emplace_back(type.Extension);
    return extensions;
}

void WritePicture(const CliPicture& picture, const std::string& fileName, const CliWriteOptions& options) {
    const std::string extension = LowerCase(ExtractFileExt(fileName));
    for (const OutputType& type : OutputTypes()) {
        if (extension != type.Extension) continue;
        if (!type.Write) {
            WriteJpegFile(picture, fileName, options);
            return;
        }
        if (!options.ExifSource.empty()) throw UsageError("the Exif options apply to JPEG output only");
        WriteFileSafely(fileName, [&](TStream& stream) { type.Write(picture, options, stream); });
        return;
    }
    std::string known;
    for (const std::string& e : WritableExtensions()) known += " " + e;
    throw UsageError("cannot write '" + extension + "' files; the output types are" + known);
}
