#pragma once
// The optional video decoder libraries, loaded by name for each picture
// and released afterwards, and the picture shown when they are missing.

#include <optional>
#include <string>
#include <vector>

#include "formats/FormatImage.h"
#include "platform/Bitmap.h"

struct TVideoDecoderLibrary {
    const char* FileName;     // "AVIDec.so"
    const char* DecodeName;   // int (void** dib, const char* file, int frame)
    const char* ReleaseName;  // void (); nullptr where the library has none
};

inline constexpr TVideoDecoderLibrary kAVIDecoder{"AVIDec.so", "GetAVIDIB", "ReleaseAVIDIB"};
inline constexpr TVideoDecoderLibrary kMPEGDecoder{"MpegDec.so", "GetDib", nullptr};

// Where the libraries are looked for, in order: the program folder, the
// installed library folder, then the system's library path (the bare
// name). Tests replace the list; an empty list finds nothing.
std::vector<std::string> VideoDecoderSearchPaths(const char* fileName);
void SetVideoDecoderFoldersOverride(std::optional<std::vector<std::string>> folders);

// The first frame of the file through the library into picture (24-bit).
// False when the library cannot be loaded; EInvalidGraphic "Exception"
// when it returns no frame.
bool DecodeVideoFrame(const TVideoDecoderLibrary& library, const std::string& fileName, TBitmap& picture);

// 64 x 64, 24-bit, in the button-face colour with the file's icon at
// (16, 16).
TBitmap VideoPlaceholder(const std::string& fileName);

// The shape both video classes share: the decoder needs the file itself,
// so the name is kept and decoded from; LoadFromStream decodes from the
// kept name (none when the picture was not loaded from a file).
class TVideoImage : public TFormatImage {
public:
    TVideoImage(std::shared_ptr<TSharedImage> data, const TVideoDecoderLibrary& library)
        : TFormatImage(std::move(data)), library_(library) {}

    void LoadFromFile(const std::string& fileName) override;
    void LoadFromStream(TStream& stream) override;

private:
    const TVideoDecoderLibrary& library_;
    std::string fileName_;
};
