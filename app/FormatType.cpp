#include "app/FormatType.h"

namespace {
struct FilterEntry {
    const char* DisplayText;
    const char* Masks;
};

constexpr const char* kAllPictures =
    "*.bmp;*.rle;*.dib;*.jpg;*.jpeg;*.jpe;*.png;*.gif;*.tif;*.tiff;*.ppm;*.pgm;*.pbm;*.tga;*.vst;*.icb;*.vda;*.sgi;"
    "*.rgb;*.rgba;*.pcx;*.iff;*.lbm;*.psd;*.pdd;*.psp;*.pspimage;*.jsl;*.pfr;*.tub;*.pcd;*.ico;*.cur;*.dcr;*.mag;"
    "*.pic;*.raw;";

constexpr FilterEntry kFormats[] = {
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
}  // namespace

std::string BuildOpenFilter(uint8_t languageNumber) {
    std::string filter = languageNumber == 2 ? "画像ファイル" : "Image files";
    filter += "|";
    filter += kAllPictures;
    filter += "|";
    for (const FilterEntry& entry : kFormats) {
        filter += entry.DisplayText;
        filter += "|";
        filter += entry.Masks;
        filter += "|";
    }
    return filter;
}
