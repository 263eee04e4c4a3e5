#include "formats/GIFImage.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <span>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "platform/SysUtils.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TGIFImage, TGraphic)

namespace {

// An LZW code of at most 12 bits never stands for more than 4095 pixels, so
// a byte of image data holds fewer than 4096 of them.
constexpr uint64_t kMaxPixelsPerByte = 4096;
// The logical screen around the first frame costs nothing to declare; a
// margin beyond this many pixels is taken as bogus and the frame alone
// becomes the picture.
constexpr uint64_t kMaxScreenMargin = uint64_t{1} << 24;
constexpr int kMaxGifSide = 65535;

std::string GifMessage(int code) {
    const char* text = GifErrorString(code);
    return text ? text : Format("error %d", code);
}

[[noreturn]] void FailRead(int code) { throw EInvalidGraphic("Invalid GIF file: " + GifMessage(code)); }

// Reading ----------------------------------------------------------------

struct TGifSource {
    const uint8_t* data;
    size_t size;
    size_t position;
    size_t Remaining() const { return size - position; }
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int count) {
    auto* source = static_cast<TGifSource*>(gif->UserData);
    if (count <= 0) return 0;
    const size_t n = std::min(static_cast<size_t>(count), source->Remaining());
    if (n == 0) return 0;
    std::memcpy(out, source->data + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

struct TGifReadCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using TGifReader = std::unique_ptr<GifFileType, TGifReadCloser>;

// Reads records up to the first image descriptor; returns the transparent
// index of the graphic control extension that came last before it, or -1.
int ReadUpToFirstFrame(GifFileType* gif) {
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) FailRead(gif->Error);
        if (type == TERMINATE_RECORD_TYPE) throw EInvalidGraphic("Invalid GIF file: it holds no picture");
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR) FailRead(gif->Error);
            return transparent;
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) FailRead(gif->Error);
        GraphicsControlBlock control;
        if (code == GRAPHICS_EXT_FUNC_CODE && block && DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
            transparent = control.TransparentColor;
        while (block)
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) FailRead(gif->Error);
    }
}

TPalette PaletteOf(const ColorMapObject* map) {
    if (!map) return GreyRampPalette();  // a file without colour maps: grey levels
    TPalette palette(static_cast<size_t>(std::clamp(map->ColorCount, 0, 256)));
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue, 0};
    return palette;
}

TBitmap DecodeFirstFrame(const uint8_t* bytes, size_t size, std::optional<uint8_t>& transparent) {
    TGifSource source{bytes, size, 0};
    int error = 0;
    TGifReader gif(DGifOpen(&source, ReadFromMemory, &error));
    if (!gif) FailRead(error);
    const int transparentIndex = ReadUpToFirstFrame(gif.get());
    if (transparentIndex >= 0) transparent = static_cast<uint8_t>(transparentIndex);

    const GifImageDesc& frame = gif->Image;
    if (frame.Width <= 0 || frame.Height <= 0) throw EInvalidGraphic("Invalid GIF file: the first frame is empty");
    const uint64_t framePixels = uint64_t(frame.Width) * uint64_t(frame.Height);
    if (framePixels > kMaxPixelsPerByte * source.Remaining())
        throw EInvalidGraphic(Format("Invalid GIF file: %d x %d pixels cannot fit in %zu bytes", frame.Width,
                                     frame.Height, size));

    // The frame sits on the logical screen at its offset; a screen too small
    // for it grows to hold it.
    int left = frame.Left, top = frame.Top;
    int width = std::max(gif->SWidth, left + frame.Width);
    int height = std::max(gif->SHeight, top + frame.Height);
    if (uint64_t(width) * uint64_t(height) - framePixels > kMaxScreenMargin) {
        left = top = 0;
        width = frame.Width;
        height = frame.Height;
    }

    if (!TBitmap::FitsPixelCap(pf8bit, width, height))
        throw EInvalidGraphic(
            Format("Invalid GIF file: %d x %d pixels are more than a picture may hold", width, height));
    TBitmap picture(width, height, pf8bit);
    picture.SetPalette(PaletteOf(frame.ColorMap ? frame.ColorMap : gif->SColorMap));
    if (uint64_t(width) * uint64_t(height) > framePixels) {
        // Uncovered screen shows through the transparent index when there is
        // one, else in the screen's background colour.
        const auto fill = transparent ? *transparent : static_cast<uint8_t>(gif->SBackGroundColor);
        for (int y = 0; y < height; ++y) std::memset(picture.ScanLine(y), fill, static_cast<size_t>(width));
    }

    struct Pass {
        int first, step;
    };
    static constexpr Pass kInterlacePasses[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    static constexpr Pass kProgressive[] = {{0, 1}};
    const auto passes = frame.Interlace ? std::span<const Pass>(kInterlacePasses) : std::span<const Pass>(kProgressive);
    for (const Pass& pass : passes)
        for (int y = pass.first; y < frame.Height; y += pass.step)
            if (DGifGetLine(gif.get(), picture.ScanLine(top + y) + left, frame.Width) == GIF_ERROR)
                FailRead(gif->Error);
    return picture;
}

// Writing ----------------------------------------------------------------

struct TGifSink {
    TStream* stream;
    std::exception_ptr error;
};

int WriteToStream(GifFileType* gif, const GifByteType* data, int count) {
    auto* sink = static_cast<TGifSink*>(gif->UserData);
    if (sink->error) return 0;
    try {
        sink->stream->WriteBuffer(data, count);
        return count;
    } catch (...) {
        sink->error = std::current_exception();
        return 0;
    }
}

struct TGifWriteCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct TMapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

TBitmap ToIndexed(const TBitmap& picture) {
    TBitmap indexed(picture);
    if (indexed.PixelFormat() != pf8bit) indexed.SetPixelFormat(pf8bit);
    return indexed;
}

void WriteIndexedGIF(const TBitmap& indexed, TStream& stream, std::optional<uint8_t> transparentIndex) {
    const int width = indexed.Width(), height = indexed.Height();
    int highestIndex = transparentIndex.value_or(0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = indexed.ScanLine(y);
        highestIndex = std::max<int>(highestIndex, *std::max_element(row, row + width));
    }
    const TPalette& palette = indexed.EffectivePalette();
    const int needed = std::max({highestIndex + 1, static_cast<int>(std::min<size_t>(palette.size(), 256)), 2});
    const int count = 1 << GifBitSize(needed);
    std::vector<GifColorType> colours(static_cast<size_t>(count), GifColorType{0, 0, 0});
    for (size_t i = 0; i < palette.size() && i < colours.size(); ++i)
        colours[i] = {palette[i].Red, palette[i].Green, palette[i].Blue};
    std::unique_ptr<ColorMapObject, TMapFreer> map(GifMakeMapObject(count, colours.data()));
    if (!map) throw EOutOfMemory(PlatformMessages::OutOfMemory);

    TGifSink sink{&stream, nullptr};
    int error = 0;
    std::unique_ptr<GifFileType, TGifWriteCloser> gif(EGifOpen(&sink, WriteToStream, &error));
    if (!gif) throw EOutOfMemory(PlatformMessages::OutOfMemory);
    // giflib does not check every write it makes, so the sink is asked too.
    auto check = [&](int result) {
        if (sink.error) std::rethrow_exception(sink.error);
        if (result == GIF_ERROR) throw EInvalidGraphic("GIF write error: " + GifMessage(gif->Error));
    };
    if (transparentIndex) EGifSetGifVersion(gif.get(), true);
    check(EGifPutScreenDesc(gif.get(), width, height, map->BitsPerPixel, 0, map.get()));
    if (transparentIndex) {
        const GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, *transparentIndex};
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        check(EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, 4, extension));
    }
    check(EGifPutImageDesc(gif.get(), 0, 0, width, height, false, nullptr));
    std::vector<GifPixelType> line(static_cast<size_t>(width));  // giflib masks it in place
    for (int y = 0; y < height; ++y) {
        std::memcpy(line.data(), indexed.ScanLine(y), line.size());
        check(EGifPutLine(gif.get(), line.data(), width));
    }
    const int closed = EGifCloseFile(gif.release(), &error);
    if (sink.error) std::rethrow_exception(sink.error);
    if (closed == GIF_ERROR) throw EInvalidGraphic("GIF write error: " + GifMessage(error));
}

void CheckWritable(const TBitmap& picture) {
    if (picture.Empty()) throw EInvalidGraphic("Cannot write an empty picture as GIF");
    if (picture.Width() > kMaxGifSide || picture.Height() > kMaxGifSide)
        throw EInvalidGraphic("GIF pictures are at most 65535 pixels wide and high");
}

}  // namespace

void WriteGIF(const TBitmap& picture, TStream& stream, std::optional<uint8_t> transparentIndex) {
    CheckWritable(picture);
    if (picture.PixelFormat() == pf8bit)
        WriteIndexedGIF(picture, stream, transparentIndex);
    else
        WriteIndexedGIF(ToIndexed(picture), stream, transparentIndex);
}

// ---------------------------------------------------------------------------

TGIFImage::TGIFImage() : TFormatImage(std::make_shared<TGIFData>()) {}

void TGIFImage::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    std::optional<uint8_t> transparent;
    TBitmap picture = DecodeFirstFrame(copy.Memory(), copy.Bytes().size(), transparent);
    picture.SetTransparent(transparent.has_value());
    *bitmap_ = std::move(picture);
    SetTransparentIndex(transparent);
    auto data = std::make_shared<TGIFData>();
    data->Stream = std::make_unique<TMemoryStream>(std::move(copy));
    data_ = std::move(data);
}

void TGIFImage::SaveToStream(TStream& stream) const {
    CheckWritable(*bitmap_);
    if (transparentIndex_ || !bitmap_->Transparent()) {
        WriteGIF(*bitmap_, stream, transparentIndex_);
        return;
    }
    const TBitmap indexed = ToIndexed(*bitmap_);
    WriteIndexedGIF(indexed, stream, indexed.PixelIndex(0, indexed.Height() - 1));
}

void TGIFImage::Assign(const TGraphic& source) {
    if (&source.ClassType() == &ClassType()) {
        const auto& other = static_cast<const TGIFImage&>(source);
        TFormatImage::Assign(source);
        SetTransparentIndex(other.transparentIndex_);
        return;
    }
    TFormatImage::Assign(source);
    transparentIndex_.reset();
    SetTransparent(bitmap_->Transparent());
}

void TGIFImage::SetTransparentIndex(std::optional<uint8_t> index) {
    transparentIndex_ = index;
    SetTransparent(index.has_value());
}

void InitializeGIFImageUnit() { TPicture::RegisterFileFormat("gif", "GIF Image", TGIFImage::StaticClass()); }

void FinalizeGIFImageUnit() { TPicture::UnregisterGraphicClass(TGIFImage::StaticClass()); }
