#include "save/ZetJPEGImage.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include <jerror.h>

#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "platform/SysUtils.h"
#include "platform/SystemInfo.h"
#include "save/JPEGSession.h"

TJPEGDefaults JPEGDefaults;

VORLIX_DEFINE_GRAPHIC_CLASS(TJPEGImage, TGraphic)

namespace {

constexpr int64_t kPreambleBytes = 128;
constexpr const char* kSignatureError = "TJPEGImage Sig Error";
constexpr const char* kSizeChangeError = "Cannot change the size of a JPEG image";
constexpr uint8_t kMaxScaleShift = 3;

bool StartOfImageAt(TStream& stream, int64_t position) {
    uint8_t marker[2] = {0, 0};
    stream.SetPosition(position);
    return stream.Read(marker, 2) == 2 && marker[0] == 0xFF && marker[1] == 0xD8;
}

// A palette as libjpeg's colour map for red-green-blue output: one row per
// component.
class TColourMap {
public:
    explicit TColourMap(const TPalette& palette) {
        const size_t count = std::min<size_t>(palette.size(), 256);
        for (auto& component : components_) component.resize(count);
        for (size_t i = 0; i < count; ++i) {
            components_[0][i] = palette[i].Red;
            components_[1][i] = palette[i].Green;
            components_[2][i] = palette[i].Blue;
        }
        for (size_t c = 0; c < rows_.size(); ++c) rows_[c] = components_[c].data();
    }
    JSAMPARRAY Rows() { return rows_.data(); }
    int Count() const { return static_cast<int>(components_[0].size()); }

private:
    std::array<std::vector<JSAMPLE>, 3> components_;
    std::array<JSAMPROW, 3> rows_{};
};

// The colours the quantiser mapped the pixels to.
TPalette QuantiserPalette(const jpeg_decompress_struct& d) {
    TPalette palette(static_cast<size_t>(std::max(d.actual_number_of_colors, 0)));
    for (size_t i = 0; i < palette.size(); ++i) {
        TPaletteEntry& entry = palette[i];
        if (d.out_color_components == 1) {
            entry.Red = entry.Green = entry.Blue = d.colormap[0][i];
        } else {
            entry.Red = d.colormap[0][i];
            entry.Green = d.colormap[1][i];
            entry.Blue = d.colormap[2][i];
        }
    }
    return palette;
}

// libjpeg hands CMYK out as Adobe writes it, each ink inverted (255 = none).
void CmykToBlueGreenRed(TBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* pixel = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x, pixel += 4) {
            const int c = pixel[0], m = pixel[1], ye = pixel[2], k = pixel[3];
            pixel[0] = static_cast<uint8_t>(std::max(0, ye + k - 255));
            pixel[1] = static_cast<uint8_t>(std::max(0, m + k - 255));
            pixel[2] = static_cast<uint8_t>(std::max(0, c + k - 255));
            pixel[3] = 0;
        }
    }
    bitmap.SetPixelFormat(pf24bit);
}

[[noreturn]] void RaiseJPEGError(int code) { throw EJPEG(JPEGErrorMessage(code)); }

// libjpeg cannot turn inks into grey; grey pictures are 8-bit with a grey
// ramp, as the grayscale output of the other colour spaces.
void BlueGreenRedToGrey(TBitmap& bitmap) {
    TBitmap grey(bitmap.Width(), bitmap.Height(), pf8bit);
    TPalette ramp(256);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    grey.SetPalette(ramp);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* pixel = bitmap.ScanLine(y);
        uint8_t* to = grey.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x, pixel += 3)
            to[x] = static_cast<uint8_t>((77 * pixel[2] + 150 * pixel[1] + 29 * pixel[0]) >> 8);
    }
    bitmap = std::move(grey);
}

bool RowStepAllowsBlocks(const TBitmap& bitmap) {
    if (bitmap.Height() < 2) return true;
    const ptrdiff_t step = bitmap.ScanLine(1) - bitmap.ScanLine(0);
    return step > 0 && step % 4 == 0;
}

}  // namespace

TJPEGImage::TJPEGImage()
    : data_(std::make_shared<TJPEGData>()),
      blockSmoothing_(JPEGDefaults.BlockSmoothing),
      grayscale_(JPEGDefaults.Grayscale),
      paletteOutput_(JPEGDefaults.PaletteOutput),
      quality_(JPEGDefaults.Quality),
      incrementalDisplay_(JPEGDefaults.IncrementalDisplay),
      progressive_(JPEGDefaults.Progressive),
      fastDecode_(JPEGDefaults.FastDecode),
      scaleShift_(std::min(JPEGDefaults.ScaleShift, kMaxScaleShift)) {}

// TGraphic ---------------------------------------------------------------

void TJPEGImage::AssignTo(TGraphic& dest) const {
    if (auto* bitmap = dynamic_cast<TBitmap*>(&dest)) {
        Decode();
        if (const TBitmap* picture = Shown())
            bitmap->Assign(*picture);
        else
            bitmap->Assign(TBitmap());
        return;
    }
    TGraphic::AssignTo(dest);
}

void TJPEGImage::Assign(const TGraphic& source) {
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
        if (jpeg == this) return;
        SetData(jpeg->data_);
        bitmap_ = jpeg->bitmap_ ? std::make_unique<TBitmap>(*jpeg->bitmap_) : nullptr;
        endedEarly_ = bitmap_ && jpeg->endedEarly_;
        Changed();
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        SetData(std::make_shared<TJPEGData>());
        bitmap_ = std::make_unique<TBitmap>(*bitmap);
        endedEarly_ = false;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

void TJPEGImage::Draw(TBitmap& canvas, const TRect& rect) const {
    Decode();
    if (const TBitmap* picture = Shown()) canvas.StretchDraw(rect, *picture);
}

bool TJPEGImage::Empty() const {
    if (!bitmap_) return !HasBytes();
    return !HasBytes() && bitmap_->Empty();
}

int TJPEGImage::Width() const {
    if (bitmap_) return bitmap_->Width();
    if (scaleShift_ == 0 || !HasBytes()) return data_->Width;
    UpdateScaledSize();
    return scaledWidth_;
}

int TJPEGImage::Height() const {
    if (bitmap_) return bitmap_->Height();
    if (scaleShift_ == 0 || !HasBytes()) return data_->Height;
    UpdateScaledSize();
    return scaledHeight_;
}

TPalette TJPEGImage::Palette() const {
    if (bitmap_) return bitmap_->Palette();
    if (!palette_.empty()) return palette_;
    if (paletteOutput_) return {};
    if (GetDisplayColourDepth() <= 8) {
        palette_ = HalftonePalette256();
        return palette_;
    }
    return {};
}

void TJPEGImage::SetPalette(const TPalette& palette) {
    palette_ = palette;
    if (bitmap_ && bitmap_->Palette() != palette && DropDecodedPicture()) Changed();
}

void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation(kSizeChangeError); }
void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation(kSizeChangeError); }

void TJPEGImage::WriteData(TStream& stream) const {
    Compress();
    if (!HasBytes()) {
        stream.WriteDWordLE(0);
        return;
    }
    const std::vector<uint8_t>& bytes = data_->Compressed->Bytes();
    stream.WriteDWordLE(static_cast<uint32_t>(bytes.size()));
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    const int64_t start = stream.Position();
    const int64_t count = stream.Size() - start;
    bitmap_.reset();
    endedEarly_ = false;
    SetData(std::make_shared<TJPEGData>());
    if (count > 0) {
        int64_t skip = 0;
        if (!StartOfImageAt(stream, start)) {
            if (count < kPreambleBytes + 2 || !StartOfImageAt(stream, start + kPreambleBytes))
                throw EInvalidGraphic(kSignatureError);
            skip = kPreambleBytes;
        }
        std::vector<uint8_t> bytes(static_cast<size_t>(count - skip));
        stream.SetPosition(start + skip);
        stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        auto data = std::make_shared<TJPEGData>();
        data->Compressed = std::make_unique<TMemoryStream>(std::move(bytes));
        ReadHeader(*data);
        SetData(std::move(data));
    }
    paletteModified_ = true;
    Changed();
}

void TJPEGImage::SaveToStream(TStream& stream) const {
    Compress();
    if (!HasBytes()) return;
    const std::vector<uint8_t>& bytes = data_->Compressed->Bytes();
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::string TJPEGImage::LoadWarning() const { return bitmap_ && endedEarly_ ? EndsEarlyWarning : ""; }

bool TJPEGImage::Equals(const TGraphic& graphic) const {
    const auto* jpeg = dynamic_cast<const TJPEGImage*>(&graphic);
    return jpeg && jpeg->data_ == data_;
}

// Settings ---------------------------------------------------------------

void TJPEGImage::SetGrayscale(bool value) {
    if (grayscale_ == value) return;
    DropDecodedPicture();
    grayscale_ = value;
    paletteModified_ = true;
    Changed();
}

void TJPEGImage::SetPaletteOutput(bool value) {
    if (paletteOutput_ == value) return;
    DropDecodedPicture();
    paletteOutput_ = value;
    paletteModified_ = true;
    Changed();
}

void TJPEGImage::SetScaleShift(uint8_t value) {
    value = std::min(value, kMaxScaleShift);
    if (scaleShift_ == value) return;
    const bool dropped = DropDecodedPicture();
    scaleShift_ = value;
    if (dropped) Changed();
}

void TJPEGImage::SetFastDecode(bool value) {
    if (fastDecode_ == value) return;
    const bool dropped = DropDecodedPicture();
    fastDecode_ = value;
    if (dropped) Changed();
}

void TJPEGImage::SetBlockSmoothing(bool value) {
    if (blockSmoothing_ == value) return;
    const bool dropped = DropDecodedPicture();
    blockSmoothing_ = value;
    if (dropped) Changed();
}

// Internals ----------------------------------------------------------------

void TJPEGImage::Changed() const {
    if (OnChange) OnChange(const_cast<TJPEGImage&>(*this));
}

void TJPEGImage::ReportProgress(TProgressStage stage, int percent) const {
    const_cast<TJPEGImage&>(*this).Progress(stage, static_cast<uint8_t>(std::clamp(percent, 0, 100)));
}

// A picture held without compressed bytes is the only copy: it stays, and
// the new setting applies when it is compressed.
bool TJPEGImage::DropDecodedPicture() {
    if (!bitmap_ || !HasBytes()) return false;
    bitmap_.reset();
    endedEarly_ = false;
    return true;
}

void TJPEGImage::SetData(std::shared_ptr<TJPEGData> data) const {
    data_ = std::move(data);
    scaledFor_ = -1;
}

void TJPEGImage::ReadHeader(TJPEGData& data) {
    const TMemoryStream& bytes = *data.Compressed;
    TJPEGDecompressor jpeg;
    jpeg.SetSource(bytes.Memory(), bytes.Bytes().size());
    jpeg.ReadHeader();
    const jpeg_decompress_struct& d = jpeg.Info();
    data.Width = static_cast<int32_t>(d.image_width);
    data.Height = static_cast<int32_t>(d.image_height);
    data.Grayscale = d.jpeg_color_space == JCS_GRAYSCALE;
    progressive_ = jpeg.HasMultipleScans();
}

void TJPEGImage::UpdateScaledSize() const {
    if (scaledFor_ == scaleShift_) return;
    const TMemoryStream& bytes = *data_->Compressed;
    TJPEGDecompressor jpeg;
    jpeg.SetSource(bytes.Memory(), bytes.Bytes().size());
    jpeg.ReadHeader();
    jpeg_decompress_struct& d = jpeg.Info();
    d.scale_num = 1;
    d.scale_denom = 1u << scaleShift_;
    jpeg.CalcOutputDimensions();
    scaledWidth_ = static_cast<int>(d.output_width);
    scaledHeight_ = static_cast<int>(d.output_height);
    scaledFor_ = scaleShift_;
}

// A progress handler may look at the picture while it is decoded (Draw and
// AssignTo show the rows so far) or even replace it; the bytes being read
// and the bitmap being filled belong to this call until it ends.
void TJPEGImage::Decode() const {
    if (bitmap_ || decoding_ || !HasBytes()) return;
    const std::shared_ptr<TJPEGData> data = data_;
    auto bitmap = std::make_unique<TBitmap>();
    decoding_ = bitmap.get();
    bool endedEarly = false;
    try {
        ReportProgress(TProgressStage::psStarting, 0);
        endedEarly = DecodeInto(*data, *bitmap);
    } catch (const EAbort&) {
        // Stopped by the progress handler: the rows decoded so far stay.
    } catch (...) {
        decoding_ = nullptr;
        throw;
    }
    decoding_ = nullptr;
    if (data_ != data || bitmap_) return;  // the handler put another picture in place
    bitmap_ = std::move(bitmap);
    endedEarly_ = endedEarly;
    ReportProgress(TProgressStage::psEnding, 100);
    if (paletteModified_) {
        paletteModified_ = false;
        Changed();
    }
}

bool TJPEGImage::DecodeInto(const TJPEGData& data, TBitmap& bitmap) const {
    std::optional<TColourMap> ownColours;
    TJPEGDecompressor jpeg;
    TProgressThrottle throttle(GetTickMs(), ProgressIntervalMs);
    jpeg.SetProgressHandler([this, &throttle](const jpeg_progress_mgr& progress) {
        if (!OnProgress) return;
        const int percent = JPEGProgressPercent(progress);
        if (throttle.Due(GetTickMs(), percent)) ReportProgress(TProgressStage::psRunning, percent);
    });
    const TMemoryStream& bytes = *data.Compressed;
    jpeg.SetSource(bytes.Memory(), bytes.Bytes().size());
    jpeg.ReadHeader();

    jpeg_decompress_struct& d = jpeg.Info();
    d.scale_num = 1;
    d.scale_denom = 1u << scaleShift_;
    d.do_block_smoothing = blockSmoothing_ ? TRUE : FALSE;
    // Quantised CMYK would be one index per pixel where the conversion
    // below expects four inks, so CMYK always decodes to full colour, and
    // to grey only after the conversion.
    const bool cmyk = d.out_color_space == JCS_CMYK;
    const bool greyFromInks = cmyk && grayscale_;
    if (grayscale_ && !cmyk) d.out_color_space = JCS_GRAYSCALE;
    const bool quantise = !cmyk && (paletteOutput_ || d.out_color_space == JCS_GRAYSCALE);
    // Full-colour rows go straight into the bitmap, blue first. Quantised
    // rows are indices, whatever the order; red-green-blue keeps libjpeg's
    // one-pass colour cube in the order djpeg gives it.
    if (!quantise && d.out_color_space == JCS_RGB) d.out_color_space = JCS_EXT_BGR;
    if (quantise) {
        d.quantize_colors = TRUE;
        d.desired_number_of_colors = PaletteColours;
    }
    if (fastDecode_) {
        d.dct_method = JDCT_IFAST;
        d.two_pass_quantize = FALSE;
        d.dither_mode = JDITHER_ORDERED;
    }
    if (!paletteOutput_) {
        palette_.clear();
    } else if (quantise && !palette_.empty()) {
        // libjpeg ignores a colour map for grey output and picks its own.
        ownColours.emplace(palette_);
        d.colormap = ownColours->Rows();
        d.actual_number_of_colors = ownColours->Count();
    }

    const bool buffered = incrementalDisplay_ && jpeg.HasMultipleScans();
    const J_DCT_METHOD finalDct = d.dct_method;
    const boolean finalTwoPass = d.two_pass_quantize;
    const J_DITHER_MODE finalDither = d.dither_mode;
    if (buffered) {
        d.buffered_image = TRUE;
        if (quantise) {
            d.enable_1pass_quant = TRUE;
            d.enable_2pass_quant = finalTwoPass;
        }
    }

    jpeg.CalcOutputDimensions();
    const int bytesPerPixel = quantise ? 1 : cmyk ? 4 : 3;
    if (d.output_components != bytesPerPixel) RaiseJPEGError(JERR_CONVERSION_NOTIMPL);
    const TPixelFormat format = quantise ? pf8bit : cmyk ? pf32bit : pf24bit;
    // A header within libjpeg's limits may still ask for more than a
    // picture may hold; that is the file's fault, not the memory's.
    if (!TBitmap::FitsPixelCap(format, d.output_width, d.output_height))
        throw EJPEG(JPEGErrorMessage(JERR_IMAGE_TOO_BIG, "The picture is larger than the program accepts"));
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(static_cast<int>(d.output_width), static_cast<int>(d.output_height));
    jpeg.StartDecompress();

    const unsigned rowsPerCall =
        RowStepAllowsBlocks(bitmap) ? static_cast<unsigned>(std::max(d.rec_outbuf_height, 1)) : 1u;
    std::vector<uint8_t*> rows(rowsPerCall);
    auto outputPass = [&] {
        if (quantise) {
            bitmap.SetPalette(QuantiserPalette(d));
            paletteModified_ = true;
        }
        while (d.output_scanline < d.output_height) {
            const unsigned first = d.output_scanline;
            const unsigned count = std::min(rowsPerCall, d.output_height - first);
            for (unsigned i = 0; i < count; ++i) rows[i] = bitmap.ScanLine(static_cast<int>(first + i));
            if (jpeg.ReadScanlines(rows.data(), count) == 0) break;
        }
    };

    if (buffered) {
        // Every scan is shown as it completes, quickly; the final pass
        // then uses the settings chosen for the picture.
        d.dct_method = JDCT_IFAST;
        d.two_pass_quantize = FALSE;
        d.dither_mode = JDITHER_ORDERED;
        while (!jpeg.InputComplete()) {
            jpeg.StartOutput(d.input_scan_number);
            outputPass();
            jpeg.FinishOutput();
        }
        d.dct_method = finalDct;
        d.two_pass_quantize = finalTwoPass;
        d.dither_mode = finalDither;
        if (quantise && !ownColours) d.colormap = nullptr;  // choose the final colours afresh
        jpeg.StartOutput(d.input_scan_number);
        outputPass();
        jpeg.FinishOutput();
    } else {
        outputPass();
    }
    jpeg.FinishDecompress();
    if (cmyk) CmykToBlueGreenRed(bitmap);
    if (greyFromInks) BlueGreenRedToGrey(bitmap);
    return jpeg.EndedEarly();
}

void TJPEGImage::Compress() const {
    if (HasBytes() || !bitmap_ || compressing_) return;
    // The picture and the holder as they are now: a progress handler that
    // replaces the picture makes the result belong to nothing.
    const std::shared_ptr<TJPEGData> before = data_;
    TBitmap picture(*bitmap_);
    auto data = std::make_shared<TJPEGData>();
    compressing_ = true;
    try {
        ReportProgress(TProgressStage::psStarting, 0);
        CompressInto(picture, *data);
    } catch (const EAbort&) {
        // Stopped by the progress handler: nothing of the partial file stays.
        compressing_ = false;
        if (data_ == before) SetData(std::make_shared<TJPEGData>());
        return;
    } catch (...) {
        compressing_ = false;
        throw;
    }
    compressing_ = false;
    if (data_ != before) return;
    SetData(std::move(data));
    ReportProgress(TProgressStage::psEnding, 100);
}

void TJPEGImage::CompressInto(TBitmap& picture, TJPEGData& data) const {
    TJPEGCompressor jpeg;
    TProgressThrottle throttle(GetTickMs(), ProgressIntervalMs);
    jpeg.SetProgressHandler([this, &throttle](const jpeg_progress_mgr& progress) {
        if (!OnProgress) return;
        const int percent = JPEGProgressPercent(progress);
        if (throttle.Due(GetTickMs(), percent)) ReportProgress(TProgressStage::psRunning, percent);
    });

    picture.SetPixelFormat(pf24bit);
    jpeg_compress_struct& c = jpeg.Info();
    // An empty picture leaves the size and components unset, which libjpeg
    // refuses.
    if (picture.Width() > 0 && picture.Height() > 0) {
        data.Width = picture.Width();
        data.Height = picture.Height();
        c.image_width = static_cast<JDIMENSION>(picture.Width());
        c.image_height = static_cast<JDIMENSION>(picture.Height());
        c.input_components = 3;
        c.in_color_space = JCS_EXT_BGR;
    }
    jpeg.SetDefaults();
    jpeg.SetQuality(quality_, true);
    if (grayscale_) {
        data.Grayscale = true;
        jpeg.SetColorspace(JCS_GRAYSCALE);
    }
    if (progressive_) jpeg.SimpleProgression();
    jpeg.StartCompress(true);

    const bool allAtOnce = RowStepAllowsBlocks(picture);
    std::vector<uint8_t*> rows(allAtOnce ? static_cast<size_t>(picture.Height()) : 1u);
    while (c.next_scanline < c.image_height) {
        const unsigned first = c.next_scanline;
        const unsigned count = allAtOnce ? c.image_height - first : 1u;
        for (unsigned i = 0; i < count; ++i) rows[i] = picture.ScanLine(static_cast<int>(first + i));
        if (jpeg.WriteScanlines(rows.data(), count) == 0) break;
    }
    jpeg.FinishCompress();
    data.Compressed = std::make_unique<TMemoryStream>(jpeg.Output());
}

// Unit start-up --------------------------------------------------------------

void InitializeZetJPEGImageUnit() {
    if (GetDisplayColourDepth() <= 8) JPEGDefaults.PaletteOutput = true;
    for (const char* extension : {"jpg", "jpeg", "jpe"})
        TPicture::RegisterFileFormat(extension, "JPEG Image File", TJPEGImage::StaticClass());
}

void FinalizeZetJPEGImageUnit() { TPicture::UnregisterGraphicClass(TJPEGImage::StaticClass()); }
