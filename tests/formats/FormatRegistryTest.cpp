#include <gtest/gtest.h>

#include "formats/DcrImageA.h"
#include "formats/FormatRegistry.h"
#include "formats/GIFImage.h"
#include "formats/GLDPNGImage.h"
#include "formats/IconImageA.h"
#include "formats/IconImageB.h"
#include "formats/Mag.h"
#include "formats/PNMImage.h"
#include "platform/BmpCodec.h"
#include "platform/Palettes.h"
#include "save/ZetJPEGImage.h"
#include "platform/PlatformGraphics.h"
#include "formats/PCXImage.h"
#include "formats/SGIImage.h"
#include "formats/TGAImage.h"
#include "FormatTestSupport.h"

using namespace formats_test;

namespace {

std::vector<TFileFormat> EntriesOf(const TGraphicClass& graphicClass) {
    std::vector<TFileFormat> entries;
    for (const TFileFormat& f : TPicture::FileFormats())
        if (f.GraphicClass == &graphicClass) entries.push_back(f);
    return entries;
}

}  // namespace

TEST(FormatRegistry, RowsAreFoundForTheirExtensionsInAnyCase) {
    RegisterFormatUnits();
    const struct {
        const char* extension;
        const TGraphicClass& graphicClass;
    } cases[] = {
        {"png", TGLDPNG::StaticClass()}, {".PNG", TGLDPNG::StaticClass()}, {"Gif", TGIFImage::StaticClass()},
        {"ppm", TPNMImage::StaticClass()}, {"PGM", TPNMImage::StaticClass()}, {"pBm", TPNMImage::StaticClass()},
        {"TGA", TTGAImage::StaticClass()}, {"vst", TTGAImage::StaticClass()}, {"icb", TTGAImage::StaticClass()},
        {"vda", TTGAImage::StaticClass()}, {"Pcx", TPCXImage::StaticClass()}, {"sgi", TSGIImage::StaticClass()},
        {"RGB", TSGIImage::StaticClass()}, {"rgba", TSGIImage::StaticClass()},
    };
    for (const auto& c : cases) EXPECT_EQ(TPicture::FindGraphicClass(c.extension), &c.graphicClass) << c.extension;

    // In the registration order, with their descriptions.
    const auto formats = TPicture::FileFormats();
    auto position = [&](const char* extension) {
        for (size_t i = 0; i < formats.size(); ++i)
            if (formats[i].Extension == extension) return i;
        return formats.size();
    };
    EXPECT_LT(position("png"), position("gif"));
    EXPECT_LT(position("gif"), position("ppm"));
    EXPECT_LT(position("pbm"), position("tga"));
    EXPECT_LT(position("vda"), position("pcx"));
    EXPECT_LT(position("pcx"), position("sgi"));
    EXPECT_EQ(EntriesOf(TTGAImage::StaticClass()).at(0).Description, "targa");
    EXPECT_EQ(EntriesOf(TPCXImage::StaticClass()).at(0).Description, "ZSoft Paintbrush");
    EXPECT_EQ(EntriesOf(TSGIImage::StaticClass()).at(2).Description, "SGI");
    EXPECT_EQ(EntriesOf(TGLDPNG::StaticClass()).at(0).Description, "PNG Format");
    EXPECT_EQ(EntriesOf(TGIFImage::StaticClass()).at(0).Description, "GIF Image");
    const auto pnm = EntriesOf(TPNMImage::StaticClass());
    ASSERT_EQ(pnm.size(), 3u);
    for (const TFileFormat& f : pnm) EXPECT_EQ(f.Description, f.Extension);
    EXPECT_EQ(pnm[0].Extension, "ppm");
    EXPECT_EQ(pnm[1].Extension, "pgm");
    EXPECT_EQ(pnm[2].Extension, "pbm");

    UnregisterFormatUnits();
    EXPECT_EQ(TPicture::FindGraphicClass("png"), nullptr);
    EXPECT_EQ(TPicture::FindGraphicClass("ppm"), nullptr);
    RegisterFormatUnits();
    EXPECT_EQ(TPicture::FindGraphicClass("gif"), &TGIFImage::StaticClass());
}

TEST(FormatRegistry, AFailedLoadLeavesThePreviousPicture) {
    RegisterFormatUnits();
    const std::string png = TempPath("registry.PNG"), gif = TempPath("registry.gif"), pgm = TempPath("registry.pgm");
    TMemoryStream(Fixture("png_rgba8.png")).SaveToFile(png);
    TMemoryStream(Cut(Fixture("gif_global.gif"), 100)).SaveToFile(gif);
    TMemoryStream(Bytes("P7 not a picture")).SaveToFile(pgm);

    TPicture picture;
    picture.LoadFromFile(png);
    auto* loaded = dynamic_cast<TGLDPNG*>(picture.Graphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->HasAlpha());
    EXPECT_THROW(picture.LoadFromFile(gif), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(pgm), EInvalidGraphic);
    EXPECT_EQ(picture.Graphic(), loaded);

    // The handover: the caller's bitmap takes the decoded picture.
    TBitmap work;
    work.Assign(*picture.Graphic());
    EXPECT_EQ(Colours(work), Reference("png_rgba8"));
    for (const auto& f : {png, gif, pgm}) std::filesystem::remove(f);
}

TEST(FormatRegistry, EveryReaderRefusesABrokenFileAsAnInvalidGraphic) {
    RegisterFormatUnits();
    auto bytes = [](std::string text) { return std::vector<uint8_t>(text.begin(), text.end()); };
    const struct {
        const char* extension;
        std::vector<uint8_t> file;
    } cases[] = {
        {"bmp", bytes("BM" + std::string(40, '\xEE'))},
        {"ico", std::vector<uint8_t>(22, 0)},
        {"jpg", {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00}},  // a scan before any frame
        {"png", bytes("\x89PNG\r\n\x1A\n" + std::string(30, '\xEE'))},
        {"gif", bytes("GIF89a" + std::string(4, '\xEE'))},
        {"ppm", bytes("P6 1")},
        {"pgm", bytes("P5 0 5 255\n")},  // an empty picture
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        const TGraphicClass* graphicClass = TPicture::FindGraphicClass(c.extension);
        ASSERT_NE(graphicClass, nullptr);
        std::unique_ptr<TGraphic> graphic = graphicClass->Create();
        EXPECT_THROW(
            {
                TMemoryStream stream(c.file);
                graphic->LoadFromStream(stream);
                TBitmap decoded;
                decoded.Assign(*graphic);  // the JPEG class decodes only now
            },
            EInvalidGraphic);
    }
}

TEST(FormatRegistry, ASizeBeyondThePictureCapIsTheReadersOwnError) {
    RegisterFormatUnits();
    TBitmap picture(300, 200, pf8bit);
    picture.SetPalette(GreyRampPalette());
    auto encoded = [&](const char* extension) {
        TMemoryStream stream;
        const std::string type = extension;
        if (type == "bmp") WriteBmpFile(picture, stream);
        if (type == "png") WritePNG(picture, stream, {});
        if (type == "gif") WriteGIF(picture, stream);
        if (type == "pgm") {
            TPNMImage pnm;
            pnm.Assign(picture);
            pnm.SetOutputFormat("PGM");
            pnm.SaveToStream(stream);
        }
        if (type == "jpg") {
            TJPEGImage jpeg;
            jpeg.Assign(picture);
            jpeg.SaveToStream(stream);
        }
        return stream.TakeBytes();
    };
    for (const char* extension : {"bmp", "png", "gif", "pgm", "jpg"}) {
        SCOPED_TRACE(extension);
        const std::vector<uint8_t> file = encoded(extension);
        TPixelBytesCap cap(30000);  // a fifth of the picture
        std::unique_ptr<TGraphic> graphic = TPicture::FindGraphicClass(extension)->Create();
        EXPECT_THROW(
            {
                TMemoryStream stream(file);
                graphic->LoadFromStream(stream);
                TBitmap decoded;
                decoded.Assign(*graphic);
            },
            EInvalidGraphic);
    }
}

TEST(FormatRegistry, TheIconClassesTakeOverIconsAndCursors) {
    RegisterFormatUnits();
    EXPECT_EQ(TPicture::FindGraphicClass("ico"), &TIconImageB::StaticClass());
    EXPECT_EQ(TPicture::FindGraphicClass("CUR"), &TIconImageB::StaticClass());
    EXPECT_EQ(TPicture::FindGraphicClass("mag"), &TMAGImage::StaticClass());
    EXPECT_EQ(TPicture::FindGraphicClass("dcr"), &TDcrImageA::StaticClass());
    EXPECT_EQ(TPicture::FindGraphicClass("res"), &TDcrImageA::StaticClass());
    EXPECT_TRUE(EntriesOf(TIcon::StaticClass()).empty());
    // The earlier "cur" row stays, overridden.
    ASSERT_EQ(EntriesOf(TIconImageA::StaticClass()).size(), 1u);
    EXPECT_EQ(EntriesOf(TIconImageA::StaticClass())[0].Description, "Cursor");
    EXPECT_EQ(EntriesOf(TMAGImage::StaticClass()).at(0).Description, "MAki chan Graphic format");
    const auto dcr = EntriesOf(TDcrImageA::StaticClass());
    ASSERT_EQ(dcr.size(), 2u);
    EXPECT_EQ(dcr[0].Description, "Delphi resource");
    EXPECT_EQ(dcr[1].Description, "Win32 resource");

    const std::string cursor = TempPath("registry.cur");
    TMemoryStream(Fixture("cur_hotspot.cur")).SaveToFile(cursor);
    TPicture picture;
    picture.LoadFromFile(cursor);
    EXPECT_NE(dynamic_cast<TIconImageB*>(picture.Graphic()), nullptr);
    std::filesystem::remove(cursor);

    UnregisterFormatUnits();
    EXPECT_EQ(TPicture::FindGraphicClass("ico"), &TIcon::StaticClass());
    RegisterFormatUnits();
}
