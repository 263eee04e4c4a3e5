#pragma once
// The program's JPEG picture: a file's compressed bytes and, on demand, the
// decoded picture, side by side. Loading keeps only the bytes until the
// picture is needed; assigning a bitmap keeps only the bitmap until bytes
// are needed (saving). libjpeg does the coding.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Bitmap.h"
#include "platform/Streams.h"

// The compressed form, shared by every copy of one JPEG.
class TJPEGData : public TSharedImage {
public:
    std::unique_ptr<TMemoryStream> Compressed;  // absent until loaded or compressed
    int32_t Height = 0;                         // of the stored JPEG at full scale
    int32_t Width = 0;
    bool Grayscale = false;                     // the stored JPEG is grayscale
};

// Settings every new TJPEGImage starts with.
struct TJPEGDefaults {
    uint8_t Quality = 90;
    bool Grayscale = false;
    bool FastDecode = false;
    bool PaletteOutput = false;
    bool IncrementalDisplay = false;
    bool Progressive = false;
    uint8_t ScaleShift = 0;
    bool BlockSmoothing = true;
};
extern TJPEGDefaults JPEGDefaults;

class TJPEGImage : public TGraphic {
    VORLIX_GRAPHIC_CLASS();

public:
    // Colours of the 8-bit output when no palette of its own is given.
    static constexpr int PaletteColours = 236;
    // Least time between two progress reports while coding (tests shorten it).
    static inline uint32_t ProgressIntervalMs = 500;

    TJPEGImage();
    TJPEGImage(const TJPEGImage&) = delete;
    TJPEGImage& operator=(const TJPEGImage&) = delete;

    // TGraphic -----------------------------------------------------------
    // A TBitmap receives a copy of the decoded picture (decoding first).
    void AssignTo(TGraphic& dest) const override;
    // A TJPEGImage: share its compressed form and copy its decoded picture;
    // a TBitmap: a new, empty compressed form and a copy as the picture.
    void Assign(const TGraphic& source) override;
    void Draw(TBitmap& canvas, const TRect& rect) const override;
    bool Empty() const override;
    // The decoded picture's size; before decoding the stored size, scaled
    // as libjpeg will scale it.
    int Width() const override;
    int Height() const override;
    TPalette Palette() const override;
    // Takes palette as the own palette (the 8-bit output's colours); a
    // decoded picture with other colours is decoded again when needed.
    void SetPalette(const TPalette& palette) override;
    // Raise EInvalidGraphicOperation: a JPEG keeps its size.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    // 32-bit length, then the compressed bytes (compressing first).
    void WriteData(TStream& stream) const override;
    // The rest of stream from its position; a preamble of exactly 128 bytes
    // before the start-of-image marker is skipped. Reads the header only.
    void LoadFromStream(TStream& stream) override;
    // The compressed bytes, compressing the picture first when needed.
    void SaveToStream(TStream& stream) const override;
    // EndsEarlyWarning when the decoded picture came from a file that ends
    // before the picture does; known once the picture has been decoded
    // (assigning it to a bitmap decodes it).
    std::string LoadWarning() const override;
    static constexpr const char* EndsEarlyWarning = "ends early; the rest of the picture is missing";

    // True when graphic is a TJPEGImage sharing this one's compressed form.
    bool Equals(const TGraphic& graphic) const;

    // Compresses the held picture now, unless compressed bytes exist.
    void Compress() const;
    // Decodes now, unless a decoded picture exists.
    void Decode() const;

    // Decoding settings. The setters of Grayscale, PaletteOutput, ScaleShift,
    // FastDecode and BlockSmoothing drop the decoded picture when the value
    // changes and compressed bytes exist to decode again.
    bool Grayscale() const { return grayscale_; }  // also: encode as grayscale
    void SetGrayscale(bool value);
    bool PaletteOutput() const { return paletteOutput_; }  // 8 bits per pixel
    void SetPaletteOutput(bool value);
    uint8_t ScaleShift() const { return scaleShift_; }  // 1 / 2^shift, 0..3
    void SetScaleShift(uint8_t value);
    bool FastDecode() const { return fastDecode_; }
    void SetFastDecode(bool value);
    bool BlockSmoothing() const { return blockSmoothing_; }
    void SetBlockSmoothing(bool value);
    bool IncrementalDisplay() const { return incrementalDisplay_; }
    void SetIncrementalDisplay(bool value) { incrementalDisplay_ = value; }
    // Encoding settings.
    uint8_t Quality() const { return quality_; }
    void SetQuality(uint8_t value) { quality_ = value; }
    // Encode progressive; after a load: the file has more than one scan.
    bool Progressive() const { return progressive_; }
    void SetProgressive(bool value) { progressive_ = value; }

    // 8 for a grayscale JPEG (loaded or compressed), otherwise 24.
    int BitsPerPixel() const { return data_->Grayscale ? 8 : 24; }
    const TJPEGData& Data() const { return *data_; }
    bool HasDecodedPicture() const { return bitmap_ != nullptr; }

    std::function<void(TJPEGImage&)> OnChange;

private:
    bool HasBytes() const { return data_->Compressed != nullptr; }
    void Changed() const;
    bool DropDecodedPicture();
    void SetData(std::shared_ptr<TJPEGData> data) const;
    // Returns whether the data ended before the picture.
    bool DecodeInto(const TJPEGData& data, TBitmap& bitmap) const;
    void CompressInto(TBitmap& picture, TJPEGData& data) const;
    // The decoded picture, or the one being decoded.
    const TBitmap* Shown() const { return bitmap_ ? bitmap_.get() : decoding_; }
    void ReadHeader(TJPEGData& data);
    void UpdateScaledSize() const;
    void ReportProgress(TProgressStage stage, int percent) const;

    mutable std::shared_ptr<TJPEGData> data_;
    mutable std::unique_ptr<TBitmap> bitmap_;
    mutable int scaledWidth_ = 0;
    mutable int scaledHeight_ = 0;
    mutable int scaledFor_ = -1;  // the ScaleShift the scaled size is for
    mutable TPalette palette_;    // own palette; empty: none
    bool blockSmoothing_;
    bool grayscale_;
    bool paletteOutput_;
    uint8_t quality_;
    bool incrementalDisplay_;
    bool progressive_;
    bool fastDecode_;
    uint8_t scaleShift_;
    mutable bool paletteModified_ = false;
    mutable const TBitmap* decoding_ = nullptr;
    mutable bool compressing_ = false;
    mutable bool endedEarly_ = false;  // of the decoded picture
};

// Unit start-up: registers jpg, jpeg and jpe; on a display of 8 bits or
// fewer the default output becomes 8-bit. Shut-down unregisters.
void InitializeZetJPEGImageUnit();
void FinalizeZetJPEGImageUnit();
