#include "cli/PictureFiles.h"

#include "cli/CliArguments.h"
#include "formats/GLDPNGImage.h"
#include "formats/PNMImage.h"
#include "platform/BmpCodec.h"
#include "platform/Graphics.h"
#include "platform/SafeFileWriter.h"
#include "platform/SysUtils.h"

namespace {

struct OutputType {
    const char* Extension;
    void (*Write)(const CliPicture& picture, TStream& stream);
};

void WriteBmp(const CliPicture& picture, TStream& stream) { WriteBmpFile(picture.Bitmap, stream); }

void WritePng(const CliPicture& picture, TStream& stream) {
    WritePNG(picture.Bitmap, stream, {}, picture.Alpha ? &*picture.Alpha : nullptr);
}

template <const char* Format>
void WritePnm(const CliPicture& picture, TStream& stream) {
    TPNMImage image;
    image.Assign(picture.Bitmap);
    image.SetOutputFormat(Format);
    image.SaveToStream(stream);
}

constexpr char kPPM[] = "PPM", kPGM[] = "PGM", kPBM[] = "PBM";

const std::vector<OutputType>& OutputTypes() {
    static const std::vector<OutputType> types = {
        {".bmp", WriteBmp},           {".png", WritePng},           {".ppm", WritePnm<kPPM>},
        {".pgm", WritePnm<kPGM>},     {".pbm", WritePnm<kPBM>},
    };
    return types;
}

}  // namespace

CliPicture ReadPicture(const std::string& fileName) {
    TPicture holder;
    holder.LoadFromFile(fileName);
    CliPicture picture;
    picture.Bitmap.Assign(*holder.Graphic());
    picture.ClassName = holder.Graphic()->ClassType().Name;
    if (const auto* png = dynamic_cast<const TGLDPNG*>(holder.Graphic()); png && png->HasAlpha())
        picture.Alpha = png->AlphaBitmap();
    return picture;
}

std::vector<std::string> WritableExtensions() {
    std::vector<std::string> extensions;
    for (const OutputType& type : OutputTypes()) extensions.emplace_back(type.Extension);
    return extensions;
}

void WritePicture(const CliPicture& picture, const std::string& fileName) {
    const std::string extension = LowerCase(ExtractFileExt(fileName));
    for (const OutputType& type : OutputTypes()) {
        if (extension != type.Extension) continue;
        WriteFileSafely(fileName, [&](TStream& stream) { type.Write(picture, stream); });
        return;
    }
    std::string known;
    for (const std::string& e : WritableExtensions()) known += " " + e;
    throw UsageError("cannot write '" + extension + "' files; the output types are" + known);
}
