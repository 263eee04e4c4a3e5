#include "save/SaveDialogRules.h"

#include <algorithm>
#include <array>

void HandOverOptions(const TSaveDialogPassport& c, TSaveDialogOptions& d) {
    d.JPEGQuality = c.JPEGQuality;
    d.JPEGProgressive = c.JPEGProgressive;
    d.JPEGGrayscale = c.JPEGGrayscale;
    d.PNGInterlaced = c.PNGInterlaced;
    d.PNGGrayscale = c.PNGGrayscale;
    d.PNGReduceTo256Color = c.PNGReduceTo256Color;
    d.PNGTransparent = c.PNGTransparent;
    d.GIFTransparent = c.GIFTransparent;
    d.TGARLECompression = c.TGARLECompression;
    d.DCRResourceName = c.DCRResourceName;
    d.JPEGSubsampling = c.JPEGSubsampling;
    d.ExifCopy = c.ExifCopy;
    d.ExifThumbUpdate = c.ExifThumbUpdate;
    d.ExifCopyEnabled = c.ExifCopyEnabled;
    d.ExifThumbUpdateEnabled = c.ExifThumbUpdateEnabled;
}

void ReadBackOptions(const TSaveDialogOptions& d, TSaveDialogPassport& c) {
    c.JPEGQuality = d.JPEGQuality;
    c.JPEGProgressive = d.JPEGProgressive;
    c.JPEGGrayscale = d.JPEGGrayscale;
    c.PNGInterlaced = d.PNGInterlaced;
    c.PNGGrayscale = d.PNGGrayscale;
    c.PNGReduceTo256Color = d.PNGReduceTo256Color;
    c.PNGTransparent = d.PNGTransparent;
    c.GIFTransparent = d.GIFTransparent;
    c.TGARLECompression = d.TGARLECompression;
    c.DCRResourceName = d.DCRResourceName;
    c.JPEGSubsampling = SubsamplingFromDialog(d.JPEGSubsampling);
    c.ExifCopy = d.ExifCopy;
    c.ExifThumbUpdate = d.ExifThumbUpdate;
}

TJPEGSubsampling SubsamplingFromDialog(int32_t value) { return value == 2 ? jss444 : jss420; }

std::string FileExtension(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    return path.substr(dot);
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
    return FileExtension(path).empty() ? path + extension : path;
}

const TKestruneFileTypeInfo* SaveFileTypeRowIn(const std::string& displayName) {
    for (const TKestruneFileTypeInfo& row : SaveFileTypeTable)
        if (displayName.find(row.DisplayName) != std::string::npos) return &row;
    return nullptr;
}

std::string ExtensionForTypeName(const std::string& displayName) {
    const TKestruneFileTypeInfo* row = SaveFileTypeRowIn(displayName);
    if (!row) return {};
    const size_t dot = row->FileMask.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(row->FileMask.substr(dot));
}

TFileType4Save SelectedFileTypeOf(const TFileTypeItems& items, int typeIndex) {
    if (typeIndex < 1 || static_cast<size_t>(typeIndex) > items.size()) return sftUNKNOWN;
    const TKestruneFileTypeInfo* row = SaveFileTypeRowIn(items[typeIndex - 1].DisplayName);
    return row ? row->FileType : sftUNKNOWN;
}

TFileType4Save SelectedFileTypeOfFilterIndex(int filterIndex) {
    return filterIndex >= 1 && filterIndex <= 12 ? static_cast<TFileType4Save>(filterIndex) : sftUNKNOWN;
}

std::string ExtensionForFilterIndex(int filterIndex) {
    static constexpr std::array<const char*, 12> kExtensions = {".jpg", ".png", ".bmp", ".gif", ".tga", ".sgi",
                                                                ".pcx", ".ppm", ".pgm", ".pbm", ".mag", ".dcr"};
    return filterIndex >= 1 && filterIndex <= 12 ? kExtensions[filterIndex - 1] : "";
}

std::string BuildSaveFilter(const TFileTypeItems& items) {
    std::string filter;
    for (const TFileTypeItem& item : items)
        filter += item.DisplayName + " (" + item.FileMask + ")|" + item.FileMask + "|";
    return filter;
}

TRgb QualityColour(int32_t quality) {
    if (quality < 30) return {255, 0, 0};
    if (quality < 65) return {254, 135, 40};
    return {0, 0, 255};
}

int32_t StepQuality(int32_t quality, int32_t step) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{quality} + step, 0, 100));
}
