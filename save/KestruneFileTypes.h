#pragma once
// The file types the save side offers, the table it offers them from, and
// the per-format save options that travel between the main window, the
// save dialog and the settings file.

#include <array>
#include <cstdint>
#include <string_view>

enum TFileType4Save : uint8_t {
    sftUNKNOWN = 0,
    sftJPG = 1,
    sftPNG = 2,
    sftBMP = 3,
    sftGIF = 4,
    sftTGA = 5,
    sftSGI = 6,
    sftPCX = 7,
    sftPPM = 8,
    sftPGM = 9,
    sftPBM = 10,
    sftMAG = 11,
    sftDCR = 12,
};

// Chroma sampling of a JPEG file; the dialogs offer only 4:2:0 and 4:4:4,
// and the settings file stores the number.
enum TJPEGSubsampling : uint8_t {
    jss420 = 0,
    jss422 = 1,
    jss444 = 2,
};

struct TKestruneFileTypeInfo {
    std::string_view DisplayName;  // also the key the newer dialog maps a selection back by
    std::string_view SecondName;   // unused
    std::string_view FileMask;
    bool HasOptions;
    TFileType4Save FileType;
};

// Row n (counting from 1) is the type with value n; the legacy dialog maps
// its filter index to the type that way. DCR has a writer but no row.
extern const std::array<TKestruneFileTypeInfo, 11> SaveFileTypeTable;

// The last used save options. The DCR resource name is not among them: it
// lives only in the save dialog while the program runs.
struct TSaveOptionValues {
    int32_t JPEGQuality = 80;
    bool JPEGProgressive = false;
    bool JPEGGrayscale = false;
    TJPEGSubsampling JPEGSubsampling = jss420;
    bool ExifCopy = false;
    bool ExifThumbUpdate = false;
    bool PNGInterlaced = false;
    bool PNGGrayscale = false;
    bool PNGReduceTo256Color = false;
    bool PNGTransparent = false;
    bool GIFTransparent = false;
    bool TGARLECompression = false;

    friend bool operator==(const TSaveOptionValues&, const TSaveOptionValues&) = default;
};
