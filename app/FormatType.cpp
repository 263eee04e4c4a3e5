#include "app/FormatType.h"

#include <vector>

#include "lang/IniLangEx.h"

namespace {

struct FilterEntry {
    const char* Text;
    const char* Masks;
};

constexpr const char* kAllMasks =
    "*.bmp;*.rle;*.dib;*.jpg;*.jpeg;*.jpe;*.png;*.gif;*.tif;*.tiff;*.ppm;*.pgm;*.pbm;*.tga;*.vst;*.icb;*.vda;*.sgi;"
    "*.rgb;*.rgba;*.pcx;*.iff;*.lbm;*.psd;*.pdd;*.psp;*.pspimage;*.jsl;*.pfr;*.tub;*.pcd;*.ico;*.cur;*.dcr;*.mag;"
    "*.pic;*.raw;";

constexpr FilterEntry kEntries[] = {
    {"JPEG (*.jpg;*.jpeg;*.jpe)", "*.jpg;*.jpeg;*.jpe"},
    {"Bitmap (*.bmp;*.rle;*.dib)", "*.bmp;*.rle;*.dib"},
    {"PNG (*.png)", "*.png"},
    {"GIF (*.gif)", "*.gif"},
    {"TIFF (*.tif;*.tiff)", "*.tif;*.tiff"},
    {"PNM (*.ppm;*.pgm;*.pbm)", "*.ppm;*.pgm;*.pbm"},
    {"Targa (*.tga;*.vst;*.icb;*.vda)", "*.tga;*.vst;*.icb;*.vda"},
    {"SGI (*.sgi;*.rgb;*.rgba)", "*.sgi;*.rgb;*.rgba"},
    {"ZSoft Paintbrush (*.pcx)", "*.pcx"},
    {"Interleave Bitmap (*.iff;*.lbm)", "*.iff;*.lbm"},
    {"Photoshop (*.psd;*.pdd)", "*.psd;*.pdd"},
    {"PaintShop Pro (*.psp;*.pspimage;*.jsl;*.pfr;*.tub)", "*.psp;*.pspimage;*.jsl;*.pfr;*.tub"},
    {"Kodak Photo-CD (*.pcd)", "*.pcd"},
    {"Raw (*.raw)", "*.raw"},
    {"Mag (*.mag)", "*.mag"},
    {"Yanagisawa-PIC (*.pic)", "*.pic"},
    {"Icon/Cursor (*.ico;*.cur)", "*.ico;*.cur"},
    {"Delphi resource (*.dcr)", "*.dcr"},
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace

std::string BuildOpenFilter() {
    std::string filter = std::string(LanguageNumber == 2 ? "画像ファイル" : "Image files") + "|" + kAllMasks;
    for (const FilterEntry& entry : kEntries) filter += std::string("|") + entry.Text + "|" + entry.Masks;
    return filter + "|";
}

std::string OpenFilterToQt(const std::string& filter) {
    const std::vector<std::string> parts = Split(filter, '|');
    std::string result;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string masks;
        for (const std::string& mask : Split(parts[i + 1], ';'))
            if (!mask.empty()) masks += (masks.empty() ? "" : " ") + mask;
        if (!result.empty()) result += ";;";
        result += parts[i] + " (" + masks + ")";
    }
    return result;
}
