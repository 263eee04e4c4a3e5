#include <gtest/gtest.h>

#include "app/FormatType.h"
#include "lang/IniLangEx.h"

namespace {
const std::string kMasks =
    "*.bmp;*.rle;*.dib;*.jpg;*.jpeg;*.jpe;*.png;*.gif;*.tif;*.tiff;*.ppm;*.pgm;*.pbm;*.tga;*.vst;*.icb;*.vda;*.sgi;"
    "*.rgb;*.rgba;*.pcx;*.iff;*.lbm;*.psd;*.pdd;*.psp;*.pspimage;*.jsl;*.pfr;*.tub;*.pcd;*.ico;*.cur;*.dcr;*.mag;"
    "*.pic;*.raw;";
const std::string kTypes =
    "JPEG (*.jpg;*.jpeg;*.jpe)|*.jpg;*.jpeg;*.jpe|Bitmap (*.bmp;*.rle;*.dib)|*.bmp;*.rle;*.dib|PNG (*.png)|*.png|"
    "GIF (*.gif)|*.gif|TIFF (*.tif;*.tiff)|*.tif;*.tiff|PNM (*.ppm;*.pgm;*.pbm)|*.ppm;*.pgm;*.pbm|"
    "Targa (*.tga;*.vst;*.icb;*.vda)|*.tga;*.vst;*.icb;*.vda|SGI (*.sgi;*.rgb;*.rgba)|*.sgi;*.rgb;*.rgba|"
    "ZSoft Paintbrush (*.pcx)|*.pcx|Interleave Bitmap (*.iff;*.lbm)|*.iff;*.lbm|Photoshop (*.psd;*.pdd)|*.psd;*.pdd|"
    "PaintShop Pro (*.psp;*.pspimage;*.jsl;*.pfr;*.tub)|*.psp;*.pspimage;*.jsl;*.pfr;*.tub|"
    "Kodak Photo-CD (*.pcd)|*.pcd|Raw (*.raw)|*.raw|Mag (*.mag)|*.mag|Yanagisawa-PIC (*.pic)|*.pic|"
    "Icon/Cursor (*.ico;*.cur)|*.ico;*.cur|Delphi resource (*.dcr)|*.dcr|";
}  // namespace

TEST(FormatType, OpenFilterByLanguage) {
    const struct {
        uint8_t language;
        std::string first;
    } cases[] = {{1, "Image files"}, {2, "画像ファイル"}, {0, "Image files"}, {7, "Image files"}};
    for (const auto& c : cases) {
        LanguageNumber = c.language;
        EXPECT_EQ(BuildOpenFilter(), c.first + "|" + kMasks + "|" + kTypes) << int(c.language);
    }
    LanguageNumber = 0;
}

TEST(FormatType, QtFilterKeepsTheDisplayTexts) {
    // Qt takes the masks from the last parentheses of an entry, blank
    // separated; the display text before them stays as it is.
    EXPECT_EQ(OpenFilterToQt("Image files|*.bmp;*.png;|PNG (*.png)|*.png|JPEG (*.jpg;*.jpe)|*.jpg;*.jpe|"),
              "Image files (*.bmp *.png);;PNG (*.png) (*.png);;JPEG (*.jpg;*.jpe) (*.jpg *.jpe)");
}
