#include "images/Effector/UpscalePrefilter.h"

#include "images/Effector/CustomFilter.h"
#include "images/Effector/DCTUtils.h"

namespace {

struct PrefilterRow {
    TUpscalePrefilter Prefilter;
    const char* CommandName;
    const char* ReportName;
    int32_t Cut;  // 0 for the filters that are not DCT cuts
};

constexpr PrefilterRow kPrefilters[] = {
    {TUpscalePrefilter::None, "none", "", 0},
    {TUpscalePrefilter::DCTCut7, "dct7", "DCT cut7", 7},
    {TUpscalePrefilter::DCTCut6, "dct6", "DCT cut6", 6},
    {TUpscalePrefilter::DCTCut5, "dct5", "DCT cut5", 5},
    {TUpscalePrefilter::Median, "median", "Median filter", 0},
};

const PrefilterRow& RowOf(TUpscalePrefilter prefilter) {
    for (const PrefilterRow& row : kPrefilters)
        if (row.Prefilter == prefilter) return row;
    return kPrefilters[0];
}

}  // namespace

void ApplyUpscalePrefilter(TBitmap& picture, TUpscalePrefilter prefilter) {
    const PrefilterRow& row = RowOf(prefilter);
    if (row.Cut != 0) DCTHighCut(picture, row.Cut);
    else if (prefilter == TUpscalePrefilter::Median) EdgePreservingMedian(picture);
}

const char* UpscalePrefilterReportName(TUpscalePrefilter prefilter) { return RowOf(prefilter).ReportName; }

const char* UpscalePrefilterCommandName(TUpscalePrefilter prefilter) { return RowOf(prefilter).CommandName; }

std::optional<TUpscalePrefilter> ParseUpscalePrefilter(std::string_view name) {
    for (const PrefilterRow& row : kPrefilters)
        if (name == row.CommandName) return row.Prefilter;
    return std::nullopt;
}
