#pragma once
// Paint Shop Pro images, major versions 3 to 10: a file with one raster
// layer is decoded from that layer; any other shows the JPEG composite the
// file carries.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/FormatImage.h"

// Keeps a copy of the file last read.
class TPSPData : public TSharedImage {};

// What the reader kept of the layer it decoded.
struct TLayerInfo {
    uint8_t LayerType = 0;
    TRect ImageRect;
    TRect SavedRect;
    int Channels = 0;
};

class TPSPImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TPSPImage();

    // 1-, 4- or 8-bit indexed or 24-bit as the attributes say, the layer
    // drawn on black at its place (a layer with a fourth channel blended by
    // it); a JPEG composite as the JPEG class delivers it. Raises
    // EInvalidGraphic "Invalid signature", "Unsupported PSP version", "Can
    // not find block", "Can not find \"General Image Attributes\"",
    // "BitDepth error" or "Zlib inflate init error".
    void LoadFromStream(TStream& stream) override;
    std::string LoadWarning() const override { return warning_; }

    int MajorVersion() const { return majorVersion_; }
    int Compression() const { return compression_; }
    int BitDepth() const { return bitDepth_; }
    uint64_t PaletteBlockPosition() const { return paletteBlock_; }
    uint64_t FirstJpegPosition() const { return firstJpeg_; }
    uint64_t LastJpegPosition() const { return lastJpeg_; }
    uint64_t JpegSize() const { return jpegSize_; }
    uint32_t CompositeImages() const { return compositeImages_; }
    // The composite is shown instead of the layer.
    bool Fallback() const { return fallback_; }
    const std::vector<TLayerInfo>& Layers() const { return layers_; }

private:
    int majorVersion_ = 0;
    int compression_ = 0;
    int bitDepth_ = 0;
    uint64_t paletteBlock_ = 0;
    uint64_t firstJpeg_ = 0;
    uint64_t lastJpeg_ = 0;
    uint64_t jpegSize_ = 0;
    uint32_t compositeImages_ = 0;
    bool fallback_ = false;
    std::vector<TLayerInfo> layers_;
    std::string warning_;

    friend class TPspReader;
};

void InitializePSPImageUnit();
void FinalizePSPImageUnit();
