#include "save/SaveDispatch.h"

#include <algorithm>
#include <array>

#include "save/PNGGIFWriters.h"
#include "save/PNMWriters.h"
#include "save/WriterGuard.h"
#include "save/ZetJPEGImage.h"

namespace {

using TWriter = bool (*)(const TBitmap& work, TSaveRequest& request);

struct TDispatchRow {
    TFileType4Save FileType;
    TWriter Write;  // nullptr: no writer in this build
};

// Baseline or progressive 4:2:0 through the JPEG image class, without the
// source's Exif block.
bool SaveAsJPEG(const TBitmap& work, TSaveRequest& request) {
    TBitmap copy(work);
    return GuardWriter([&] {
        TJPEGImage jpeg;
        jpeg.Assign(copy);
        jpeg.SetQuality(static_cast<uint8_t>(std::clamp(request.Options.JPEGQuality, 0, 100)));
        jpeg.SetProgressive(request.Options.JPEGProgressive);
        jpeg.SetGrayscale(request.Options.JPEGGrayscale);
        jpeg.SaveToFile(request.TargetPath);
    });
}

bool SavePNG(const TBitmap& work, TSaveRequest& request) {
    const TSaveOptionValues& o = request.Options;
    TBitmap copy(work);
    if (request.AlphaPlane) {
        SaveAsPNGWithAlpha(copy, request.TargetPath, o.PNGInterlaced, o.PNGGrayscale, *request.AlphaPlane);
        return true;
    }
    return SaveAsPNG(copy, request.TargetPath, o.PNGInterlaced, o.PNGGrayscale, o.PNGReduceTo256Color,
                     o.PNGTransparent);
}

// The platform's bitmap writer, in the picture's own pixel format.
bool SaveBMP(const TBitmap& work, TSaveRequest& request) {
    work.SaveToFile(request.TargetPath);
    return true;
}

bool SaveGIF(const TBitmap& work, TSaveRequest& request) {
    TBitmap copy(work);
    return SaveAsGIF(copy, request.TargetPath, request.Options.GIFTransparent);
}

bool SavePPM(const TBitmap& work, TSaveRequest& request) { return SaveAsPPM(work, request.TargetPath); }
bool SavePGM(const TBitmap& work, TSaveRequest& request) { return SaveAsPGM(work, request.TargetPath); }
bool SavePBM(const TBitmap& work, TSaveRequest& request) { return SaveAsPBM(work, request.TargetPath); }

// Targa, SGI and PCX take the picture itself (they convert inside their
// format object); MAG and DCR reduce it to 256 colours and take a copy.
constexpr std::array<TDispatchRow, 12> kDispatch = {{
    {sftJPG, SaveAsJPEG},
    {sftPNG, SavePNG},
    {sftBMP, SaveBMP},
    {sftGIF, SaveGIF},
    {sftTGA, nullptr},
    {sftSGI, nullptr},
    {sftPCX, nullptr},
    {sftPPM, SavePPM},
    {sftPGM, SavePGM},
    {sftPBM, SavePBM},
    {sftMAG, nullptr},
    {sftDCR, nullptr},
}};

const TDispatchRow* FindRow(TFileType4Save type) {
    for (const TDispatchRow& row : kDispatch)
        if (row.FileType == type) return &row;
    return nullptr;
}

}  // namespace

bool HasWriterFor(TFileType4Save type) {
    const TDispatchRow* row = FindRow(type);
    return row && row->Write;
}

bool SaveByFileType(const TBitmap& work, TSaveRequest& request) {
    const TDispatchRow* row = FindRow(request.FileType);
    if (!row || !row->Write) {
        SetLastWriterFailure("no writer for this file type");
        return false;
    }
    SetLastWriterFailure({});
    return row->Write(work, request);
}
