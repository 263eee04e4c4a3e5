#pragma once
// The pre-filter choice of an enlargement, shared by the main window, the
// sample page and the command line.

#include <cstdint>
#include <optional>
#include <string_view>

class TBitmap;

enum class TUpscalePrefilter { None, DCTCut7, DCTCut6, DCTCut5, Median };

// Runs the chosen pre-filter on the picture (nothing for None). The DCT
// cuts leave a 24-bit picture, the median a 32-bit one, both of the same
// size.
void ApplyUpscalePrefilter(TBitmap& picture, TUpscalePrefilter prefilter);

// A pre-filter runs only before an enlargement: when the scale percentage
// (the coupled scale of the size edits) is above 100, whatever the target
// width and height are.
inline bool UpscalePrefilterApplies(int32_t scalePercent) { return scalePercent > 100; }

// The name of the step in the sample page's report: "DCT cut7", "DCT cut6",
// "DCT cut5", "Median filter"; empty for None.
const char* UpscalePrefilterReportName(TUpscalePrefilter prefilter);

// The command-line names "none", "dct7", "dct6", "dct5", "median" (compared
// exactly); anything else gives no value.
std::optional<TUpscalePrefilter> ParseUpscalePrefilter(std::string_view name);
const char* UpscalePrefilterCommandName(TUpscalePrefilter prefilter);
// "none|dct7|dct6|dct5|median", for usage and error texts.
inline constexpr const char* UpscalePrefilterCommandNames = "none|dct7|dct6|dct5|median";
