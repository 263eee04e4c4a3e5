#include "cli/PictureFiles.h"

#include "cli/CliArguments.h"
#include "formats/GIFImage.h"
#include "formats/GLDPNGImage.h"
#include "formats/PNMImage.h"
#include "platform/BmpCodec.h"
#include "platform/Graphics.h"
#include "platform/SafeFileWriter.h"
#include "platform/SysUtils.h"
#include "images/Effector/commonColor.h"
#include "save/ZetJPEGImage.h"

namespace {

struct OutputType {
    const char* Extension;
    void (*Write)(const CliPicture& picture, const CliWriteOptions& options, TStream& stream);
};

void WriteBmp(const CliPicture& picture, const CliWriteOptions&, TStream& stream) { WriteBmpFile(picture.Bitmap, stream); }

// 4:2:0, baseline unless progressive.
void WriteJpeg(const CliPicture& picture, const CliWriteOptions& options, TStream& stream) {
    TJPEGImage jpeg;
    jpeg.SetQuality(options.JpegQuality);
    jpeg.SetGrayscale(options.JpegGrayscale);
    jpeg.SetProgressive(options.JpegProgressive);
    jpeg.Assign(picture.Bitmap);
    jpeg.SaveToStream(stream);
}

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
        {".bmp", WriteBmp},       {".png", WritePng},       {".jpg", WriteJpeg},      {".jpeg", WriteJpeg},
        {".jpe", WriteJpeg},      {".gif", WriteGif},       {".ppm", WritePnm<kPPM>}, {".pgm", WritePnm<kPGM>},
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

void AddJpegDetails(const TJPEGImage& jpeg, CliPicture& picture) {
    picture.Details.push_back(Format("stored size: %dx%d", jpeg.Data().Width, jpeg.Data().Height));
    picture.Details.push_back(std::string("stored grayscale: ") + (jpeg.Data().Grayscale ? "yes" : "no"));
    picture.Details.push_back(std::string("progressive: ") + (jpeg.Progressive() ? "yes" : "no"));
}

}  // namespace

CliPicture ReadPicture(const std::string& fileName, const CliReadOptions& options) {
    TPicture holder;
    holder.LoadFromFile(fileName);
    CliPicture picture;
    auto* jpeg = dynamic_cast<TJPEGImage*>(holder.Graphic());
    if (jpeg) {
        ApplyJpegOptions(*jpeg, options);
        AddJpegDetails(*jpeg, picture);
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
        WriteFileSafely(fileName, [&](TStream& stream) { type.Write(picture, options, stream); });
        return;
    }
    std::string known;
    for (const std::string& e : WritableExtensions()) known += " " + e;
    throw UsageError("cannot write '" + extension + "' files; the output types are" + known);
}
