#include "app/Settings.h"

#include "platform/Exceptions.h"
#include "platform/IniService.h"
#include "platform/ProgramPlaces.h"
#include "platform/SysUtils.h"
#include "platform/SystemInfo.h"

namespace {
constexpr const char* kGeneral = "General";
constexpr const char* kTestSample = "TestSample";
constexpr const char* kJPEG = "SaveOptions4JPEG";
constexpr const char* kPNG = "SaveOptions4PNG";
constexpr const char* kGIF = "SaveOptions4GIF";
constexpr const char* kTGA = "SaveOptions4TGA";
constexpr const char* kObsoleteEncoder = "Encoder";
}  // namespace

std::string SettingsFileName() { return SettingsFilePath(); }

uint8_t SampleFormatFromText(const std::string& text) {
    if (text == "JPEG444") return SampleFormatJPEG444;
    if (text == "PNG") return SampleFormatPNG;
    return SampleFormatJPEG420;
}

std::string SampleFormatText(uint8_t sampleFormat) {
    switch (sampleFormat) {
        case SampleFormatJPEG444: return "JPEG444";
        case SampleFormatPNG: return "PNG";
        default: return "JPEG422";
    }
}

TSettings LoadSettings(const TIniFile& ini) {
    TSettings s;
    s.Left = ini.ReadInteger(kGeneral, "Left", -1);
    s.Top = ini.ReadInteger(kGeneral, "Top", -1);
    s.Width = ini.ReadInteger(kGeneral, "Width", -1);
    s.Height = ini.ReadInteger(kGeneral, "Height", -1);
    s.Language = static_cast<uint8_t>(ini.ReadInteger(kGeneral, "Language", 0));
    try {
        ini.EraseSection(kObsoleteEncoder);
    } catch (const EIniFileException&) {
        // A settings file we may not change still gives its settings; the
        // stale section only stays in it.
    }
    s.SampleFormat = SampleFormatFromText(ini.ReadString(kTestSample, "SampleFormat", "PNG"));
    s.SampleJPEGQuality = ini.ReadInteger(kTestSample, "SampleJPEGQuality", 90);

    TSaveOptionValues& o = s.SaveOptions;
    o.JPEGQuality = ini.ReadInteger(kJPEG, "Quality", 80);
    o.JPEGProgressive = ini.ReadBool(kJPEG, "Progressive", false);
    o.JPEGGrayscale = ini.ReadBool(kJPEG, "Grayscale", false);
    o.JPEGSubsampling = static_cast<TJPEGSubsampling>(static_cast<uint8_t>(ini.ReadInteger(kJPEG, "Subsampling", 0)));
    o.ExifCopy = ini.ReadBool(kJPEG, "ExifCopy", false);
    o.ExifThumbUpdate = ini.ReadBool(kJPEG, "ExifThumbUpdate", false);
    o.PNGInterlaced = ini.ReadBool(kPNG, "Interlaced", false);
    o.PNGGrayscale = ini.ReadBool(kPNG, "Grayscale", false);
    o.PNGReduceTo256Color = ini.ReadBool(kPNG, "ReduceTo256Color", false);
    o.PNGTransparent = ini.ReadBool(kPNG, "Transparent", false);
    o.GIFTransparent = ini.ReadBool(kGIF, "Transparent", false);
    o.TGARLECompression = ini.ReadBool(kTGA, "RLECompression", false);
    return s;
}

void SaveSettings(const TIniFile& ini, const TSettings& s) {
    ini.WriteInteger(kGeneral, "Left", s.Left);
    ini.WriteInteger(kGeneral, "Top", s.Top);
    ini.WriteInteger(kGeneral, "Width", s.Width);
    ini.WriteInteger(kGeneral, "Height", s.Height);
    ini.WriteInteger(kGeneral, "Language", s.Language);
    ini.WriteString(kTestSample, "SampleFormat", SampleFormatText(s.SampleFormat));
    ini.WriteInteger(kTestSample, "SampleJPEGQuality", s.SampleJPEGQuality);

    const TSaveOptionValues& o = s.SaveOptions;
    ini.WriteInteger(kJPEG, "Quality", o.JPEGQuality);
    ini.WriteBool(kJPEG, "Progressive", o.JPEGProgressive);
    ini.WriteBool(kJPEG, "Grayscale", o.JPEGGrayscale);
    ini.WriteInteger(kJPEG, "Subsampling", o.JPEGSubsampling);
    ini.WriteBool(kJPEG, "ExifCopy", o.ExifCopy);
    ini.WriteBool(kJPEG, "ExifThumbUpdate", o.ExifThumbUpdate);
    ini.WriteBool(kPNG, "Interlaced", o.PNGInterlaced);
    ini.WriteBool(kPNG, "Grayscale", o.PNGGrayscale);
    ini.WriteBool(kPNG, "ReduceTo256Color", o.PNGReduceTo256Color);
    ini.WriteBool(kPNG, "Transparent", o.PNGTransparent);
    ini.WriteBool(kGIF, "Transparent", o.GIFTransparent);
    ini.WriteBool(kTGA, "RLECompression", o.TGARLECompression);
}
