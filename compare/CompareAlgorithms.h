#pragma once
// The algorithms a comparison runs: the thirteen of the resample menu, by
// their command-line names, run as plain algorithms (no upscale pre-filter,
// so the figures describe the algorithm and nothing else).

#include <array>
#include <cstdint>
#include <string>

class TBitmap;

struct TCompareAlgorithm {
    const char* Name;         // command-line name: "lanczos3"
    const char* EnglishName;  // as on the sample page: "Lanczos3"
    int Number;               // the menu number ResampleByAlgorithm takes
};

const std::array<TCompareAlgorithm, 13>& CompareAlgorithms();
// The index into CompareAlgorithms(), or -1 for an unknown name.
int FindCompareAlgorithm(const std::string& name);
// The default reference of difference images and of round trips.
inline constexpr const char* kDefaultReferenceAlgorithm = "lanczos3";

// Replaces picture by its resampled copy (24-bit), as ResampleByAlgorithm.
void RunCompareAlgorithm(TBitmap& picture, int index, int32_t width, int32_t height);
