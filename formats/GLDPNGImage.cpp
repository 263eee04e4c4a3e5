#include "formats/GLDPNGImage.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <exception>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "platform/SysUtils.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TGLDPNG, TGraphic)

// libpng reports errors by longjmp. Every call into it runs inside
// RunGuarded, whose body holds nothing with a destructor, and every callback
// it makes keeps C++ exceptions to itself; the png structs belong to RAII
// owners outside the jump, so they are destroyed on every path.

namespace {

// Wider or higher pictures are refused before anything is allocated.
constexpr png_uint_32 kMaxSide = png_uint_32{1} << 24;
// Ancillary chunk limits: how many are kept, and how large one may grow
// when decompressed.
constexpr png_uint_32 kMaxAncillaryChunks = 256;
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t{8} << 20;
// Deflate expands at most 1032-fold, so a file of n bytes holds at most
// 1032 n bytes of rows.
constexpr uint64_t kMaxInflateRatio = 1032;

struct TPngReport {
    char message[256] = {};
    std::exception_ptr streamError;
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* report = static_cast<TPngReport*>(png_get_error_ptr(png));
    std::snprintf(report->message, sizeof report->message, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

template <class Body>
[[gnu::noinline]] bool RunGuarded(png_structp png, Body& body) {
    if (setjmp(png_jmpbuf(png))) return false;
    body();
    return true;
}

uint8_t Luma(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint8_t>((77 * red + 150 * green + 29 * blue) >> 8);
}

// Reading ----------------------------------------------------------------

struct TPngSource {
    const uint8_t* data;
    size_t size;
    size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<TPngSource*>(png_get_io_ptr(png));
    if (count > source->size - source->position) png_error(png, "the file is truncated");
    if (count == 0) return;
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

class TPngReadStruct {
public:
    explicit TPngReadStruct(TPngReport& report) {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &report, OnPngError, OnPngWarning);
        if (png) info = png_create_info_struct(png);
        if (!png || !info) {
            png_destroy_read_struct(&png, &info, nullptr);
            throw EOutOfMemory(PlatformMessages::OutOfMemory);
        }
    }
    ~TPngReadStruct() { png_destroy_read_struct(&png, &info, nullptr); }
    TPngReadStruct(const TPngReadStruct&) = delete;
    TPngReadStruct& operator=(const TPngReadStruct&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

struct TPngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    bool interlaced = false;
    bool hasTransparency = false;
    png_color palette[PNG_MAX_PALETTE_LENGTH] = {};
    int paletteSize = 0;
    png_byte paletteAlpha[PNG_MAX_PALETTE_LENGTH] = {};
    int paletteAlphaCount = 0;
};

// What the decoded rows look like once libpng has transformed them.
struct TPngLayout {
    bool palette = false;
    bool colour = false;
    int channels = 1;  // 1 index or grey, 2 grey-alpha, 3 BGR, 4 BGRA
    bool HasAlphaChannel() const { return channels == 2 || channels == 4; }
};

TPngLayout LayoutOf(const TPngHeader& h) {
    TPngLayout layout;
    layout.palette = h.colourType == PNG_COLOR_TYPE_PALETTE;
    layout.colour = (h.colourType & PNG_COLOR_MASK_COLOR) != 0 && !layout.palette;
    const bool alpha = (h.colourType & PNG_COLOR_MASK_ALPHA) != 0 || (h.hasTransparency && !layout.palette);
    layout.channels = layout.palette ? 1 : (layout.colour ? 3 : 1) + (alpha ? 1 : 0);
    return layout;
}

int FileChannels(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;
    }
}

// Where each decoded row goes, fixed before libpng runs.
struct TPngRowTarget {
    uint8_t* picture = nullptr;  // row 0 of the picture
    ptrdiff_t pictureStride = 0;
    uint8_t* alpha = nullptr;    // row 0 of the alpha plane, or null
    ptrdiff_t alphaStride = 0;
    uint8_t* rows = nullptr;     // the decoded rows when they must be split
    size_t rowBytes = 0;
    bool wholeImage = false;     // rows holds every row (interlaced), else one
};

// Moves grey-alpha or BGRA samples into the picture and the alpha plane.
void SplitRow(const TPngRowTarget& t, int channels, png_uint_32 width, png_uint_32 y, const uint8_t* in) {
    uint8_t* picture = t.picture + t.pictureStride * static_cast<ptrdiff_t>(y);
    uint8_t* alpha = t.alpha + t.alphaStride * static_cast<ptrdiff_t>(y);
    const int colourBytes = channels - 1;
    for (png_uint_32 x = 0; x < width; ++x, in += channels, picture += colourBytes) {
        std::memcpy(picture, in, static_cast<size_t>(colourBytes));
        alpha[x] = in[colourBytes];
    }
}

// The picture and alpha plane a header calls for, and where libpng's rows
// go; the split buffer lives in rows.
TPngRowTarget PrepareTarget(const TPngHeader& h, const TPngLayout& layout, bool hasAlpha, TBitmap& picture,
                            TBitmap& alphaPlane, std::vector<uint8_t>& rows) {
    const int width = static_cast<int>(h.width), height = static_cast<int>(h.height);
    picture.SetPixelFormat(layout.colour ? pf24bit : pf8bit);
    picture.SetSize(width, height);
    if (layout.palette) {
        TPalette palette(static_cast<size_t>(h.paletteSize));
        for (size_t i = 0; i < palette.size(); ++i)
            palette[i] = {h.palette[i].red, h.palette[i].green, h.palette[i].blue, 0};
        picture.SetPalette(palette);
    } else if (!layout.colour) {
        picture.SetPalette(GreyRampPalette());
    }
    if (hasAlpha) {
        alphaPlane.SetPixelFormat(pf8bit);
        alphaPlane.SetSize(width, height);
        alphaPlane.SetPalette(GreyRampPalette());
    }

    TPngRowTarget target;
    target.picture = picture.ScanLine(0);
    target.pictureStride = picture.RowStride();
    if (layout.HasAlphaChannel()) {
        target.alpha = alphaPlane.ScanLine(0);
        target.alphaStride = alphaPlane.RowStride();
        target.rowBytes = size_t{h.width} * size_t(layout.channels);
        target.wholeImage = h.interlaced;
        const uint64_t bufferBytes = uint64_t{target.rowBytes} * (h.interlaced ? h.height : 1);
        if (bufferBytes > TBitmap::MaxPixelBytes()) throw EOutOfMemory(PlatformMessages::OutOfMemory);
        rows.resize(static_cast<size_t>(bufferBytes));
        target.rows = rows.data();
    }
    return target;
}

void ApplyPaletteAlpha(const TPngHeader& h, const TBitmap& picture, TBitmap& alphaPlane) {
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* index = picture.ScanLine(y);
        uint8_t* alpha = alphaPlane.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x)
            alpha[x] = index[x] < h.paletteAlphaCount ? h.paletteAlpha[index[x]] : 255;
    }
}

void DecodePng(const uint8_t* bytes, size_t size, TBitmap& picture, TBitmap& alphaPlane, bool& hasAlpha) {
    TPngReport report;
    TPngReadStruct reader(report);
    TPngSource source{bytes, size, 0};
    TPngHeader h;
    auto fail = [&report]() { return EInvalidGraphic(Format("Invalid PNG file: %s", report.message)); };

    auto readHeader = [&]() {
        png_structp png = reader.png;
        png_set_read_fn(png, &source, ReadFromMemory);
        png_set_user_limits(png, kMaxSide, kMaxSide);
        png_set_chunk_cache_max(png, kMaxAncillaryChunks);
        png_set_chunk_malloc_max(png, kMaxChunkBytes);
        // Only the header, palette, transparency and image data are used.
        // libpng 1.6 would allocate what any other chunk declares (the
        // malloc limit above only warns) before finding the file too short;
        // skipping those chunks reads past them without keeping a byte.
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
        png_read_info(png, reader.info);
        h.width = png_get_image_width(png, reader.info);
        h.height = png_get_image_height(png, reader.info);
        h.bitDepth = png_get_bit_depth(png, reader.info);
        h.colourType = png_get_color_type(png, reader.info);
        h.interlaced = png_get_interlace_type(png, reader.info) != PNG_INTERLACE_NONE;
        h.hasTransparency = png_get_valid(png, reader.info, PNG_INFO_tRNS) != 0;
        if (h.colourType != PNG_COLOR_TYPE_PALETTE) return;
        png_colorp palette = nullptr;
        if (png_get_PLTE(png, reader.info, &palette, &h.paletteSize) == 0 || !palette)
            png_error(png, "the palette is missing");
        h.paletteSize = std::clamp(h.paletteSize, 0, PNG_MAX_PALETTE_LENGTH);
        std::memcpy(h.palette, palette, sizeof(png_color) * static_cast<size_t>(h.paletteSize));
        png_bytep alpha = nullptr;
        if (h.hasTransparency && png_get_tRNS(png, reader.info, &alpha, &h.paletteAlphaCount, nullptr) != 0 && alpha) {
            h.paletteAlphaCount = std::clamp(h.paletteAlphaCount, 0, PNG_MAX_PALETTE_LENGTH);
            std::memcpy(h.paletteAlpha, alpha, static_cast<size_t>(h.paletteAlphaCount));
        }
    };
    if (!RunGuarded(reader.png, readHeader)) throw fail();

    const uint64_t fileRowBytes =
        (uint64_t{h.width} * uint64_t(FileChannels(h.colourType)) * uint64_t(h.bitDepth) + 7) / 8;
    if (fileRowBytes * h.height > kMaxInflateRatio * size)
        throw EInvalidGraphic(Format("Invalid PNG file: %u x %u pixels cannot fit in %zu bytes", unsigned(h.width),
                                     unsigned(h.height), size));

    const TPngLayout layout = LayoutOf(h);
    if (!TBitmap::FitsPixelCap(layout.colour ? pf24bit : pf8bit, h.width, h.height))
        throw EInvalidGraphic(Format("Invalid PNG file: %u x %u pixels are more than a picture may hold",
                                     unsigned(h.width), unsigned(h.height)));
    hasAlpha = layout.HasAlphaChannel() || (layout.palette && h.hasTransparency);
    std::vector<uint8_t> rows;
    const TPngRowTarget target = PrepareTarget(h, layout, hasAlpha, picture, alphaPlane, rows);

    auto readRows = [&]() {
        png_structp png = reader.png;
        if (layout.palette) {
            if (h.bitDepth < 8) png_set_packing(png);
        } else {
            if (!layout.colour && h.bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
            if (h.bitDepth == 16) png_set_scale_16(png);
            if (h.hasTransparency) png_set_tRNS_to_alpha(png);
            if (layout.colour) png_set_bgr(png);
        }
        const int passes = png_set_interlace_handling(png);
        png_read_update_info(png, reader.info);
        if (png_get_channels(png, reader.info) != layout.channels ||
            png_get_rowbytes(png, reader.info) != size_t{h.width} * size_t(layout.channels))
            png_error(png, "unexpected sample layout");
        // Interlaced files come in passes over every row; libpng fills in
        // each pass's pixels, so the rows must stay where they are.
        for (int pass = 0; pass < passes; ++pass) {
            for (png_uint_32 y = 0; y < h.height; ++y) {
                uint8_t* row = !target.rows      ? target.picture + target.pictureStride * static_cast<ptrdiff_t>(y)
                               : target.wholeImage ? target.rows + target.rowBytes * y
                                                   : target.rows;
                png_read_row(png, row, nullptr);
                if (target.rows && !target.wholeImage) SplitRow(target, layout.channels, h.width, y, row);
            }
        }
    };
    if (!RunGuarded(reader.png, readRows)) throw fail();

    if (target.wholeImage)
        for (png_uint_32 y = 0; y < h.height; ++y)
            SplitRow(target, layout.channels, h.width, y, target.rows + target.rowBytes * y);
    if (layout.palette && hasAlpha) ApplyPaletteAlpha(h, picture, alphaPlane);
}

// Writing ----------------------------------------------------------------

struct TPngSink {
    TStream* stream;
    TPngReport* report;
};

void WriteToStream(png_structp png, png_bytep data, size_t count) {
    auto* sink = static_cast<TPngSink*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        sink->stream->WriteBuffer(data, static_cast<int64_t>(count));
    } catch (...) {
        sink->report->streamError = std::current_exception();
        failed = true;
    }
    if (failed) png_error(png, "the stream refused the data");
}

void FlushStream(png_structp) {}

class TPngWriteStruct {
public:
    explicit TPngWriteStruct(TPngReport& report) {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &report, OnPngError, OnPngWarning);
        if (png) info = png_create_info_struct(png);
        if (!png || !info) {
            png_destroy_write_struct(&png, &info);
            throw EOutOfMemory(PlatformMessages::OutOfMemory);
        }
    }
    ~TPngWriteStruct() { png_destroy_write_struct(&png, &info); }
    TPngWriteStruct(const TPngWriteStruct&) = delete;
    TPngWriteStruct& operator=(const TPngWriteStruct&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// Everything libpng is told about one file, prepared before it runs.
struct TPngPlan {
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool bgr = false;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    bool singleTransparentColour = false;
    png_color_16 transparentColour = {};
    // Rows: either the picture's own rows or samples built here.
    const uint8_t* firstRow = nullptr;
    ptrdiff_t stride = 0;
    std::vector<uint8_t> samples;
    TBitmap converted;
};

// The grey level (77 R + 150 G + 29 B) >> 8 of every pixel, as an 8-bit
// grey-ramp picture.
TBitmap GreyLevels(const TBitmap& source) {
    TBitmap grey(source.Width(), source.Height(), pf8bit);
    grey.SetPalette(GreyRampPalette());
    if (TBitmap::IsIndexed(source.PixelFormat())) {
        const TPalette& palette = source.EffectivePalette();
        for (int y = 0; y < source.Height(); ++y) {
            uint8_t* out = grey.ScanLine(y);
            for (int x = 0; x < source.Width(); ++x) {
                const uint8_t index = source.PixelIndex(x, y);
                out[x] = index < palette.size()
                             ? Luma(palette[index].Red, palette[index].Green, palette[index].Blue)
                             : 0;
            }
        }
        return grey;
    }
    TBitmap colour(source);
    colour.SetPixelFormat(pf24bit);
    for (int y = 0; y < source.Height(); ++y) {
        const uint8_t* in = colour.ScanLine(y);
        uint8_t* out = grey.ScanLine(y);
        for (int x = 0; x < source.Width(); ++x, in += 3) out[x] = Luma(in[2], in[1], in[0]);
    }
    return grey;
}

void UseRows(TPngPlan& plan, const TBitmap& rows) {
    plan.firstRow = rows.ScanLine(0);
    plan.stride = rows.RowStride();
}

// Interleaves a grey (one byte) or BGR picture with an alpha plane.
void PlanWithAlpha(TPngPlan& plan, const TBitmap& picture, const TBitmap& alphaSource, bool grayscale) {
    const TBitmap alpha = GreyLevels(alphaSource);
    const TBitmap colour = grayscale ? GreyLevels(picture) : [&picture] {
        TBitmap copy(picture);
        copy.SetPixelFormat(pf24bit);
        return copy;
    }();
    plan.colourType = grayscale ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_RGB_ALPHA;
    plan.bgr = !grayscale;
    const size_t colourBytes = grayscale ? 1 : 3, pixelBytes = colourBytes + 1;
    const size_t width = static_cast<size_t>(picture.Width()), rowBytes = width * pixelBytes;
    if (rowBytes > TBitmap::MaxPixelBytes() / static_cast<size_t>(picture.Height()))
        throw EOutOfMemory(PlatformMessages::OutOfMemory);
    plan.samples.resize(rowBytes * static_cast<size_t>(picture.Height()));
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* in = colour.ScanLine(y);
        const uint8_t* a = alpha.ScanLine(y);
        uint8_t* out = plan.samples.data() + rowBytes * static_cast<size_t>(y);
        for (size_t x = 0; x < width; ++x, out += pixelBytes, in += colourBytes) {
            std::memcpy(out, in, colourBytes);
            out[colourBytes] = a[x];
        }
    }
    plan.firstRow = plan.samples.data();
    plan.stride = static_cast<ptrdiff_t>(rowBytes);
}

void PlanIndexed(TPngPlan& plan, const TBitmap& picture, const TPNGWriteOptions& options) {
    const int bits = TBitmap::BitsPerPixel(picture.PixelFormat());
    if (options.Grayscale && !options.TransparentColor) {
        plan.colourType = PNG_COLOR_TYPE_GRAY;
        plan.converted = GreyLevels(picture);
        UseRows(plan, plan.converted);
        return;
    }
    int highestIndex = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) highestIndex = std::max<int>(highestIndex, picture.PixelIndex(x, y));
    const TPalette& palette = picture.EffectivePalette();
    const size_t count = std::min(std::max(palette.size(), size_t(highestIndex) + 1), size_t{1} << bits);
    plan.colourType = PNG_COLOR_TYPE_PALETTE;
    plan.bitDepth = bits;
    plan.palette.assign(count, png_color{0, 0, 0});  // indices past the palette show black
    for (size_t i = 0; i < count && i < palette.size(); ++i) {
        const TPaletteEntry& e = palette[i];
        const uint8_t grey = Luma(e.Red, e.Green, e.Blue);
        plan.palette[i] = options.Grayscale ? png_color{grey, grey, grey} : png_color{e.Red, e.Green, e.Blue};
        if (options.TransparentColor && RGBColor(e.Red, e.Green, e.Blue) == *options.TransparentColor) {
            plan.paletteAlpha.resize(i + 1, 255);
            plan.paletteAlpha[i] = 0;
        }
    }
    UseRows(plan, picture);
}

void PlanDirect(TPngPlan& plan, const TBitmap& picture, const TPNGWriteOptions& options) {
    if (options.Grayscale) {
        plan.colourType = PNG_COLOR_TYPE_GRAY;
        plan.converted = GreyLevels(picture);
        UseRows(plan, plan.converted);
        if (const auto c = options.TransparentColor) {
            plan.singleTransparentColour = true;
            plan.transparentColour.gray = Luma(GetRValue(*c), GetGValue(*c), GetBValue(*c));
        }
        return;
    }
    plan.colourType = PNG_COLOR_TYPE_RGB;
    plan.bgr = true;
    if (picture.PixelFormat() == pf24bit) {
        UseRows(plan, picture);
    } else {
        plan.converted = picture;
        plan.converted.SetPixelFormat(pf24bit);
        UseRows(plan, plan.converted);
    }
    if (const auto c = options.TransparentColor) {
        plan.singleTransparentColour = true;
        plan.transparentColour.red = GetRValue(*c);
        plan.transparentColour.green = GetGValue(*c);
        plan.transparentColour.blue = GetBValue(*c);
    }
}

}  // namespace

void WritePNG(const TBitmap& picture, TStream& stream, const TPNGWriteOptions& options, const TBitmap* alpha) {
    if (picture.Empty()) throw EInvalidGraphic("Cannot write an empty picture as PNG");
    if (alpha && (alpha->Width() != picture.Width() || alpha->Height() != picture.Height()))
        throw EInvalidGraphic("The alpha plane and the picture differ in size");

    TPngPlan plan;
    if (alpha)
        PlanWithAlpha(plan, picture, *alpha, options.Grayscale);
    else if (TBitmap::IsIndexed(picture.PixelFormat()))
        PlanIndexed(plan, picture, options);
    else
        PlanDirect(plan, picture, options);

    TPngReport report;
    TPngWriteStruct writer(report);
    TPngSink sink{&stream, &report};
    const auto width = static_cast<png_uint_32>(picture.Width());
    const auto height = static_cast<png_uint_32>(picture.Height());
    auto write = [&]() {
        png_structp png = writer.png;
        png_set_write_fn(png, &sink, WriteToStream, FlushStream);
        png_set_IHDR(png, writer.info, width, height, plan.bitDepth, plan.colourType,
                     options.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        if (!plan.palette.empty())
            png_set_PLTE(png, writer.info, plan.palette.data(), static_cast<int>(plan.palette.size()));
        if (!plan.paletteAlpha.empty())
            png_set_tRNS(png, writer.info, plan.paletteAlpha.data(), static_cast<int>(plan.paletteAlpha.size()),
                         nullptr);
        if (plan.singleTransparentColour) png_set_tRNS(png, writer.info, nullptr, 0, &plan.transparentColour);
        png_write_info(png, writer.info);
        if (plan.bgr) png_set_bgr(png);
        const int passes = png_set_interlace_handling(png);
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < height; ++y)
                png_write_row(png, plan.firstRow + plan.stride * static_cast<ptrdiff_t>(y));
        png_write_end(png, writer.info);
    };
    if (!RunGuarded(writer.png, write)) {
        if (report.streamError) std::rethrow_exception(report.streamError);
        throw EInvalidGraphic(Format("PNG write error: %s", report.message));
    }
}

// ---------------------------------------------------------------------------

TGLDPNG::TGLDPNG() : TFormatImage(std::make_shared<TGLDPNGData>()) {}

void TGLDPNG::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    TBitmap picture, alpha;
    bool hasAlpha = false;
    DecodePng(copy.Memory(), copy.Bytes().size(), picture, alpha, hasAlpha);
    *bitmap_ = std::move(picture);
    alpha_ = std::move(alpha);
    hasAlpha_ = hasAlpha;
    auto data = std::make_shared<TGLDPNGData>();
    data->Stream = std::make_unique<TMemoryStream>(std::move(copy));
    data_ = std::move(data);
}

void TGLDPNG::SaveToStream(TStream& stream) const {
    WritePNG(*bitmap_, stream, options_, hasAlpha_ ? &alpha_ : nullptr);
}

void TGLDPNG::Assign(const TGraphic& source) {
    if (&source.ClassType() == &ClassType()) {
        const auto& other = static_cast<const TGLDPNG&>(source);
        TFormatImage::Assign(source);
        alpha_ = other.alpha_;
        hasAlpha_ = other.hasAlpha_;
        options_ = other.options_;
        return;
    }
    TFormatImage::Assign(source);
    ClearAlpha();
}

void TGLDPNG::SetAlphaBitmap(const TBitmap& alpha) {
    alpha_ = GreyLevels(alpha);
    hasAlpha_ = true;
}

void TGLDPNG::ClearAlpha() {
    alpha_ = TBitmap();
    hasAlpha_ = false;
}

void InitializeGLDPNGImageUnit() { TPicture::RegisterFileFormat("png", "PNG Format", TGLDPNG::StaticClass()); }

void FinalizeGLDPNGImageUnit() { TPicture::UnregisterGraphicClass(TGLDPNG::StaticClass()); }
