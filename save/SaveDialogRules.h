#pragma once
// What the save dialogs decide without a display: which type a selection
// names, which extension a name typed without one gets, the filter text of
// the older dialog, the option values both dialogs carry and how they travel
// to and from the save-dialog component, and the quality controls' rules.

#include <cstdint>
#include <string>

#include "save/KestruneFileTypes.h"
#include "save/SaveDialogPassport.h"

// The option properties both platform dialogs publish. Each dialog sets its
// own values at construction; the component overwrites them before a run.
struct TSaveDialogOptions {
    bool JPEGProgressive = false;
    bool JPEGGrayscale = false;
    int32_t JPEGQuality = 80;
    bool PNGInterlaced = false;
    bool PNGGrayscale = false;
    bool PNGReduceTo256Color = false;
    bool PNGTransparent = false;
    bool GIFTransparent = false;
    bool TGARLECompression = false;
    std::string DCRResourceName;
    bool ExifCopy = false;
    bool ExifThumbUpdate = false;
    int32_t JPEGSubsampling = 0;  // 0: 4:2:0, 2: 4:4:4
    bool ExifCopyEnabled = true;
    bool ExifThumbUpdateEnabled = true;
};

// The component's values into the dialog before a run, and back after a
// confirmed one (the availability flags only travel in).
void HandOverOptions(const TSaveDialogPassport& component, TSaveDialogOptions& dialog);
void ReadBackOptions(const TSaveDialogOptions& dialog, TSaveDialogPassport& component);
// The dialog's subsampling number as the component's type: 2 is 4:4:4,
// anything else 4:2:0.
TJPEGSubsampling SubsamplingFromDialog(int32_t value);

// The part of the file-name part from its last "." on ("." included);
// empty when the file name has no ".".
std::string FileExtension(const std::string& path);
// The path with extension appended when it has none; a name ending in "."
// or with any extension stays as it is.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);

// The first row of the save type table whose display name occurs in
// displayName (case-sensitive), or none.
const TKestruneFileTypeInfo* SaveFileTypeRowIn(const std::string& displayName);
// The newer dialog: the extension of that row's mask (".jpg" for "*.jpg"),
// empty without a row.
std::string ExtensionForTypeName(const std::string& displayName);
// The newer dialog's selection: the type of that row for the 1-based item;
// sftUNKNOWN for an empty list, an index outside it or no matching row.
TFileType4Save SelectedFileTypeOf(const TFileTypeItems& items, int typeIndex);

// The older dialog: filter indices 1..12 are the types of the same number.
TFileType4Save SelectedFileTypeOfFilterIndex(int filterIndex);
std::string ExtensionForFilterIndex(int filterIndex);
// "name (mask)|mask|" for every item in order.
std::string BuildSaveFilter(const TFileTypeItems& items);

// The JPEG quality controls of the older dialog's panel.
struct TRgb {
    uint8_t R, G, B;
    friend bool operator==(const TRgb&, const TRgb&) = default;
};
// Red below 30, orange to 64, blue from 65.
TRgb QualityColour(int32_t quality);
// quality + step, held within 0..100.
int32_t StepQuality(int32_t quality, int32_t step);
