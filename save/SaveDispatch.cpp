#include "save/SaveDispatch.h"

#include <algorithm>
#include <array>

#include "save/MagDcrWriters.h"
#include "save/PNGGIFWriters.h"
#include "save/PNMWriters.h"
#include "save/TargaSGIPCXWriters.h"
#include "save/WriterGuard.h"
#include "save/novExifMania.h"

namespace {

using TWriter = bool (*)(const TBitmap& work, TSaveRequest& request);

struct TDispatchRow {
    TFileType4Save FileType;
    TWriter Write;  // nullptr: no writer in this build
};

// The JPEG writer with the source's Exif block where the source has one
// and the user asked for it.
bool SaveAsJPEG(const TBitmap& work, TSaveRequest& request) {
    const TSaveOptionValues& o = request.Options;
    TBitmap copy(work);
    bool written = false;
    const bool guarded = GuardWriter([&] {
        written = SaveJPEGWithExif(copy, request.SourcePath, request.TargetPath, o.JPEGProgressive, o.JPEGGrayscale,
                                   request.HasExif && o.ExifCopy, request.HasThumbnail && o.ExifThumbUpdate,
                                   o.JPEGSubsampling, o.JPEGQuality);
    });
    if (guarded && !written) SetLastWriterFailure("JPEG encoding failed");
    return guarded && written;
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

bool SaveTGA(const TBitmap& work, TSaveRequest& request) {
    return SaveAsTarga(work, request.TargetPath, request.Options.TGARLECompression);
}
bool SaveSGI(const TBitmap& work, TSaveRequest& request) { return SaveAsSGI(work, request.TargetPath); }
bool SavePCX(const TBitmap& work, TSaveRequest& request) { return SaveAsPCX(work, request.TargetPath); }

bool SavePPM(const TBitmap& work, TSaveRequest& request) { return SaveAsPPM(work, request.TargetPath); }
bool SavePGM(const TBitmap& work, TSaveRequest& request) { return SaveAsPGM(work, request.TargetPath); }
bool SavePBM(const TBitmap& work, TSaveRequest& request) { return SaveAsPBM(work, request.TargetPath); }

bool SaveMAG(const TBitmap& work, TSaveRequest& request) {
    TBitmap copy(work);
    return SaveAsMAG(copy, request.TargetPath);
}

bool SaveDCR(const TBitmap& work, TSaveRequest& request) {
    TBitmap copy(work);
    return SaveAsDCR(copy, request.TargetPath, request.DCRResourceName);
}

// Targa, SGI and PCX take the picture itself (they convert inside their
// format object); MAG and DCR reduce it to 256 colours and take a copy.
constexpr std::array<TDispatchRow, 12> kDispatch = {{
    {sftJPG, SaveAsJPEG},
    {sftPNG, SavePNG},
    {sftBMP, SaveBMP},
    {sftGIF, SaveGIF},
    {sftTGA, SaveTGA},
    {sftSGI, SaveSGI},
    {sftPCX, SavePCX},
    {sftPPM, SavePPM},
    {sftPGM, SavePGM},
    {sftPBM, SavePBM},
    {sftMAG, SaveMAG},
    {sftDCR, SaveDCR},
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
    if (row->Write(work, request)) return true;
    // Not every writer says why.
    if (LastWriterFailure().empty()) SetLastWriterFailure("the writer failed");
    return false;
}
