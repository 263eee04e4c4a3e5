#pragma once
// The settings file beside the program: window placement, language, the
// sample page's output options and the last used save options. Read once
// at start-up and written once at exit, key by key.

#include <cstdint>
#include <string>

#include "save/KestruneFileTypes.h"

class TIniFile;

// Sample page output: 0 JPEG with the default 4:2:0 sampling, 1 JPEG 4:4:4,
// 2 PNG.
inline constexpr uint8_t SampleFormatJPEG420 = 0;
inline constexpr uint8_t SampleFormatJPEG444 = 1;
inline constexpr uint8_t SampleFormatPNG = 2;

struct TSettings {
    int32_t Left = -1;
    int32_t Top = -1;
    int32_t Width = -1;
    int32_t Height = -1;
    uint8_t Language = 0;  // 0: not chosen yet
    uint8_t SampleFormat = SampleFormatPNG;
    int32_t SampleJPEGQuality = 90;
    TSaveOptionValues SaveOptions;

    // The stored placement applies only when both Left and Top are set.
    bool HasPlacement() const { return Left != -1 && Top != -1; }
};

// The program's path with the extension ".ini".
std::string SettingsFileName();

// "JPEG444" -> 1, "PNG" -> 2, anything else (the stored "JPEG422" among
// them) -> 0; case matters.
uint8_t SampleFormatFromText(const std::string& text);
// 1 -> "JPEG444", 2 -> "PNG", anything else -> "JPEG422".
std::string SampleFormatText(uint8_t sampleFormat);

// Reads every key (missing ones give their defaults) and removes the
// obsolete section "Encoder" from the file.
TSettings LoadSettings(const TIniFile& ini);
// Writes every key in the file's documented order; a key that cannot be
// written raises EIniFileException and the keys after it are not written.
void SaveSettings(const TIniFile& ini, const TSettings& settings);
