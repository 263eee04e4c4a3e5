#include "formats/VideoDecoder.h"

#include <dlfcn.h>

#include <cstring>
#include <memory>
#include <mutex>

#include "platform/BmpCodec.h"
#include "platform/Exceptions.h"
#include "platform/ShellIcons.h"
#include "platform/SystemInfo.h"

#ifndef VORLIX_LIB_FROM_BIN
#define VORLIX_LIB_FROM_BIN "../lib/vorlix"
#endif

namespace {

std::mutex gMutex;
std::optional<std::vector<std::string>> gFoldersOverride;

struct TLibraryCloser {
    void operator()(void* handle) const { dlclose(handle); }
};
using TLibrary = std::unique_ptr<void, TLibraryCloser>;

// The libraries stay mapped once opened: the decoders' one-time tables live
// behind their globals, and unmapping them would strand those blocks (and
// cost a fresh load and set-up for every clip).
TLibrary OpenFirst(const char* fileName) {
    for (const std::string& path : VideoDecoderSearchPaths(fileName))
        if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) return TLibrary(handle);
    return nullptr;
}

// A packed DIB holds no size of its own; the library promises one whole
// picture, so its size follows from the header.
size_t PackedDibSize(const uint8_t* dib) {
    uint32_t headerSize, colours;
    int32_t width, height;
    uint16_t bitCount;
    std::memcpy(&headerSize, dib, 4);
    std::memcpy(&width, dib + 4, 4);
    std::memcpy(&height, dib + 8, 4);
    std::memcpy(&bitCount, dib + 14, 2);
    std::memcpy(&colours, dib + 32, 4);
    if (headerSize != 40 || width <= 0 || height == 0 || bitCount == 0 || bitCount > 32) return 0;
    if (bitCount <= 8 && colours == 0) colours = 1u << bitCount;
    const uint64_t rows = uint64_t(height < 0 ? -int64_t(height) : height);
    const uint64_t rowBytes = (uint64_t(width) * bitCount + 31) / 32 * 4;
    const uint64_t size = 40 + (bitCount <= 8 ? 4 * uint64_t(colours) : 0) + rowBytes * rows;
    return size > TBitmap::MaxPixelBytes() + 40 + 1024 ? 0 : size_t(size);
}

}  // namespace

std::vector<std::string> VideoDecoderSearchPaths(const char* fileName) {
    std::vector<std::string> paths;
    {
        std::lock_guard lock(gMutex);
        if (gFoldersOverride) {
            for (const std::string& folder : *gFoldersOverride) paths.push_back(folder + fileName);
            return paths;
        }
    }
    const std::string folder = ProgramFolder();
    paths.push_back(folder + fileName);
    paths.push_back(folder + VORLIX_LIB_FROM_BIN + "/" + fileName);
    paths.emplace_back(fileName);  // the library path
    return paths;
}

void SetVideoDecoderFoldersOverride(std::optional<std::vector<std::string>> folders) {
    std::lock_guard lock(gMutex);
    gFoldersOverride = std::move(folders);
}

bool DecodeVideoFrame(const TVideoDecoderLibrary& library, const std::string& fileName, TBitmap& picture) {
    TLibrary handle = OpenFirst(library.FileName);
    if (!handle) return false;
    using TDecode = int (*)(void**, const char*, int);
    using TRelease = void (*)();
    const auto decode = reinterpret_cast<TDecode>(dlsym(handle.get(), library.DecodeName));
    const auto release =
        library.ReleaseName ? reinterpret_cast<TRelease>(dlsym(handle.get(), library.ReleaseName)) : nullptr;
    if (!decode) return false;  // not the library asked for

    void* dib = nullptr;
    decode(&dib, fileName.c_str(), 0);
    struct TReleaser {
        TRelease release;
        ~TReleaser() {
            if (release) release();
        }
    } releaser{release};
    if (!dib) throw EInvalidGraphic("Exception");
    const auto* bytes = static_cast<const uint8_t*>(dib);
    const size_t size = PackedDibSize(bytes);
    if (size == 0) throw EInvalidGraphic("Exception");
    TBitmap frame = ReadDib(bytes, size);
    if (frame.PixelFormat() != pf24bit) frame.SetPixelFormat(pf24bit);
    picture = std::move(frame);
    return true;
}

TBitmap VideoPlaceholder(const std::string& fileName) {
    TBitmap picture(64, 64, pf24bit);
    picture.FillRect({0, 0, 64, 64}, ButtonFaceColour());
    DrawIcon(picture, 16, 16, AssociatedIcon(fileName));
    return picture;
}

void TVideoImage::LoadFromFile(const std::string& fileName) {
    fileName_ = fileName;
    TMemoryStream none;
    LoadFromStream(none);
}

void TVideoImage::LoadFromStream(TStream&) {
    TBitmap picture;
    if (!DecodeVideoFrame(library_, fileName_, picture)) picture = VideoPlaceholder(fileName_);
    *bitmap_ = std::move(picture);
}
