#pragma once
// The comparison page: the picture as opened, resampled by every algorithm,
// each result written as an image and shown in an HTML table with its name
// and time. The main window and the command line both build it here.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "images/Effector/UpscalePrefilter.h"
#include "lang/vorlixLangDefault.h"
#include "platform/Bitmap.h"


struct TSamplePageInput {
    const TBitmap* Base = nullptr;   // the picture as opened
    const TBitmap* Alpha = nullptr;  // its alpha plane (grey), or none
    int32_t TargetWidth = 0;
    int32_t TargetHeight = 0;
    int32_t Scale = 100;             // the coupled scale of the size edits
    // The pre-filter of an enlargement; None when "do nothing" is checked.
    TUpscalePrefilter Prefilter = TUpscalePrefilter::None;
    int32_t Columns = 1;
    uint8_t Format = SampleFormatPNG;
    int32_t Quality = 90;
    bool UsePrefix = false;
    std::string Prefix;
    bool UseSuffix = false;
    std::string Suffix;
    uint8_t Language = 1;
    TPageTexts Texts;                // title, charset and the two captions
    std::string OutputFolder;        // holds sample.html and samples/; trailing '/'
};

// The pictures the builder works in; the main window hands its own.
struct TSamplePageBitmaps {
    TBitmap& Scratch;       // ends holding the (pre-filtered) base picture
    TBitmap& Work;          // each algorithm's result in turn
    TBitmap& AlphaScratch;  // the resampled alpha plane
};

struct TSamplePageProgress {
    std::function<void(const std::string& name, const std::string& time)> PrefilterDone;
    // After each image: its label (English), file name and time.
    std::function<void(const std::string& label, const std::string& fileName, const std::string& time)> AlgorithmDone;
    // An image that could not be written; the page still lists it.
    std::function<void(const std::string& path, const std::string& reason)> ImageFailed;
};

struct TSampleImage {
    std::string Label;     // as on the page (UTF-8)
    std::string FileName;  // below samples/
    bool Written = true;
};

struct TSamplePageResult {
    std::string PagePath;
    std::vector<TSampleImage> Images;
};

// The file name of an image: base name with the naming rule and the
// format's extension.
std::string SampleImageName(const TSamplePageInput& input, const std::string& baseName);

// The code page the page is written in: the system's ANSI code page, and
// CP932 whenever the page is in Japanese, whose labels and charset need it.
const char* SamplePageCodePage(uint8_t language);

// Builds the page. Raises when the image folder cannot be made, when a
// 4:4:4 JPEG or a PNG with alpha cannot be written (no page is written
// then) or when the page itself cannot be written. A 4:2:0 JPEG or a plain
// PNG that cannot be written is reported through ImageFailed and marked in
// its cell.
TSamplePageResult BuildSamplePage(const TSamplePageInput& input, TSamplePageBitmaps bitmaps,
                                  const TSamplePageProgress& progress = {});
