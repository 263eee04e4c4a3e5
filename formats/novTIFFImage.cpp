#include "formats/novTIFFImage.h"

#include "formats/TiffDecodeUtils.h"
#include "formats/TiffTagNodes.h"
#include "platform/Exceptions.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TnovTIFFImage, TGraphic)

namespace {

constexpr uint32_t kOldStyleJpeg = 6;

}  // namespace

TnovTIFFImage::TnovTIFFImage() : TFormatImage(std::make_shared<TTIFFData>()) {}

void TnovTIFFImage::LoadFromStream(TStream& stream) {
    auto data = std::make_shared<TTIFFData>();
    data->Stream = std::make_unique<TMemoryStream>(CopyInput(stream));
    const std::vector<uint8_t>& file = static_cast<TMemoryStream&>(*data->Stream).Bytes();

    TNode& root = ResetTiffTagTree();
    ParseTiffDirectory(file, root);

    TBitmap picture;
    int depth = 0;
    std::string warning;
    uint32_t compression = 1;
    TiffFirstValue(file, root, "Compression", compression);
    if (compression == kOldStyleJpeg) {
        if (DecodeOldStyleJpeg(file, root, picture)) depth = 24;
    } else {
        TLibTiffResult result = DecodeWithLibTiff(file, root.Find("TileWidth") != nullptr, picture);
        depth = result.BitDepth;
        warning = std::move(result.Warning);
    }

    *bitmap_ = std::move(picture);
    bitDepth_ = depth;
    warning_ = warning.empty() ? std::string() : "Part of the picture could not be read: " + warning;
    data_ = std::move(data);
}

void InitializenovTIFFImageUnit() {
    ResetTiffTagTree();
    for (const char* extension : {"tiff", "tif"})
        TPicture::RegisterFileFormat(extension, "tiff", TnovTIFFImage::StaticClass());
}

void FinalizenovTIFFImageUnit() { TPicture::UnregisterGraphicClass(TnovTIFFImage::StaticClass()); }
