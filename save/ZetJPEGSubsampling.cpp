#include "save/ZetJPEGSubsampling.h"

#include <algorithm>

#include "save/ZetJPEGCompress.h"
#include "save/ZetJPEGImage.h"

namespace {

// The object keeps its quality in 8 bits; a larger value must not wrap
// into a low quality.
uint8_t QualityByte(int quality) { return static_cast<uint8_t>(std::clamp(quality, 0, 100)); }

void Prepare420(TJPEGImage& jpeg, const TBitmap& picture, bool progressive, bool grayscale, int quality) {
    jpeg.SetQuality(QualityByte(quality));
    jpeg.SetProgressive(progressive);
    jpeg.SetGrayscale(grayscale);
    jpeg.Assign(picture);
}

}  // namespace

bool SaveJPEG420ToStream(const TBitmap& picture, TStream& stream, bool progressive, bool grayscale, int quality) {
    try {
        TJPEGImage jpeg;
        Prepare420(jpeg, picture, progressive, grayscale, quality);
        jpeg.SaveToStream(stream);
        return true;
    } catch (...) {
        return false;
    }
}

bool SaveJPEG420ToFile(const TBitmap& picture, const std::string& path, bool progressive, bool grayscale,
                       int quality) {
    try {
        TJPEGImage jpeg;
        Prepare420(jpeg, picture, progressive, grayscale, quality);
        jpeg.SaveToFile(path);
        return true;
    } catch (...) {
        return false;
    }
}

void EncodeJPEG444(const TBitmap& picture, TStream& stream, bool progressive, bool grayscale, int quality) {
    Set444SamplingFactors();
    LoadStandardQuantTables();
    ScaleQuantTables(quality);

    TJPEGImage image;
    TMemoryStream scratch;
    EncodeToJPEGImage(picture, image);
    stream.SetPosition(0);
    stream.SetSize(0);
    image.SaveToStream(stream);
    if ((!progressive && !grayscale) || stream.Size() == 0) return;

    ResetTranscodeOptions();
    TranscodeOptions.ForceGrayscale = grayscale;
    TranscodeOptions.Progressive = progressive;
    // Its result tells only of libjpeg's warnings, which do not spoil the
    // file; an error raises and leaves the stream as it was.
    TranscodeJPEG(stream, scratch);
    stream.SetPosition(0);
    stream.SetSize(0);
    scratch.SetPosition(0);
    stream.CopyFrom(scratch, 0);
}
