#include "app/SamplePage.h"

#include <algorithm>

#include "app/EvalThroughput.h"
#include "platform/CodePages.h"
#include "platform/Exceptions.h"
#include "platform/ProgramPlaces.h"
#include "platform/SafeFileWriter.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "resample/ResampleEx.h"
#include "save/PNGGIFWriters.h"
#include "save/ZetJPEGCompress.h"
#include "save/ZetJPEGImage.h"
#include "save/ZetJPEGSubsampling.h"

namespace {

struct PageAlgorithm {
    std::string EnglishLabel;
    std::string JapaneseLabel;
    std::function<void(TBitmap&, int32_t, int32_t)> Run;
    bool IsAverage = false;
};

// File base names are "flt_" and the English label with ASCII letters lowered.
std::string BaseName(const std::string& englishLabel) {
    std::string name = "flt_";
    for (char c : englishLabel) name += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    return name;
}

std::vector<PageAlgorithm> PageAlgorithms() {
    std::vector<PageAlgorithm> rows;
    rows.push_back({"Lanczos4", "Lanczos4", Lanczos4Resample});
    for (const KernelFilterEntry& entry : KernelFilterTable) {
        const KernelSetup setup = entry.Setup;
        rows.push_back({entry.EnglishName, entry.DisplayName,
                        [setup](TBitmap& picture, int32_t w, int32_t h) { KernelResample(picture, w, h, setup); }});
    }
    for (const DirectMethodEntry& entry : DirectMethodTable)
        rows.push_back({entry.EnglishName, entry.DisplayName, entry.Routine, entry.Routine == AveragePixelResample});
    return rows;
}

const char* Extension(uint8_t format) { return format == SampleFormatPNG ? ".png" : ".jpg"; }

// Writes one image. False (with the reason) for the failures that leave
// the page standing; the others raise.
bool WriteImage(const TSamplePageInput& input, TSamplePageBitmaps& bitmaps, bool withAlpha, const std::string& path,
                std::string& reason) {
    switch (input.Format) {
    case SampleFormatJPEG420:
        if (SaveJPEG420ToFile(bitmaps.Work, path, false, false, input.Quality)) return true;
        reason = "the JPEG file could not be written";
        return false;
    case SampleFormatJPEG444: {
        TJPEGImage jpeg;
        EncodeToJPEGImage(bitmaps.Work, jpeg);
        jpeg.SaveToFile(path);
        return true;
    }
    default:
        if (withAlpha) {
            SaveAsPNGWithAlpha(bitmaps.Work, path, false, false, bitmaps.AlphaScratch);
            return true;
        }
        if (SaveAsPNG(bitmaps.Work, path, false, false, false, false)) return true;
        reason = "the PNG file could not be written";
        return false;
    }
}

void WritePage(const std::string& path, const std::vector<std::string>& lines, uint8_t language) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    const std::string bytes = Utf8ToCodePage(text, SamplePageCodePage(language));
    WriteFileSafely(path, [&](TStream& stream) { stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size())); });
}

}  // namespace

std::string SampleImageName(const TSamplePageInput& input, const std::string& baseName) {
    std::string name = baseName;
    if (input.UsePrefix) name = input.Prefix + name;
    if (input.UseSuffix) name += input.Suffix;
    return name + Extension(input.Format);
}

const char* SamplePageCodePage(uint8_t language) { return language == 2 ? "CP932" : SystemAnsiCodePage(); }

TSamplePageResult BuildSamplePage(const TSamplePageInput& input, TSamplePageBitmaps bitmaps,
                                  const TSamplePageProgress& progress) {
    TSamplePageResult result;
    if (!input.Base || input.Base->Empty()) return result;
    const int32_t columns = std::max<int32_t>(input.Columns, 1);
    bitmaps.Scratch = *input.Base;
    int32_t k = 0;
    if (input.Format == SampleFormatJPEG444) {
        Set444SamplingFactors();
        LoadStandardQuantTables();
        ScaleQuantTables(input.Quality);
    }
    const bool withAlpha = input.Alpha && !input.Alpha->Empty() && input.Format == SampleFormatPNG;

    std::vector<std::string> lines = {
        "<HTML>", "<HEAD>", "<TITLE>" + input.Texts.Title + "</TITLE>",
        "<META http-equiv=\"Content-Type\" content=\"text/html; charset=" + input.Texts.Charset + "\">",
        "</HEAD>", "<BODY>", "<TABLE border=\"0\">",
    };

    const std::string imageFolder = input.OutputFolder + "samples/";
    if (!EnsureFolder(imageFolder)) throw EFCreateError("Unable to create directory " + imageFolder);

    const bool prefilter = input.Scale > 100 && input.Prefilter != TUpscalePrefilter::None;
    if (!prefilter) {
        lines.insert(lines.end(), {"<TR>", "<TD>"});
    } else {
        ResetThroughput();
        ApplyUpscalePrefilter(bitmaps.Scratch, input.Prefilter);
        const std::string t = ThroughputText();
        const std::string name = UpscalePrefilterReportName(input.Prefilter);
        if (progress.PrefilterDone) progress.PrefilterDone(name, t);
        lines.insert(lines.end(), {"<TR>", "<TD colspan=" + IntToStr(columns) + ">",
                                   input.Texts.Preprocess + " " + t + "<BR>",
                                   input.Texts.SelectedAlgorithm + " " + name + "<BR><BR>", "</TD>", "</TR>", "<TR>",
                                   "<TD>"});
    }

    for (const PageAlgorithm& row : PageAlgorithms()) {
        if (row.IsAverage && input.Scale > 100) continue;
        bitmaps.Work = bitmaps.Scratch;
        ResetThroughput();
        row.Run(bitmaps.Work, input.TargetWidth, input.TargetHeight);
        if (withAlpha) {
            bitmaps.AlphaScratch = *input.Alpha;
            row.Run(bitmaps.AlphaScratch, input.TargetWidth, input.TargetHeight);
        }
        const std::string t = ThroughputText();
        const std::string name = SampleImageName(input, BaseName(row.EnglishLabel));
        const std::string label = input.Language == 2 ? row.JapaneseLabel : row.EnglishLabel;
        std::string reason;
        const bool written = WriteImage(input, bitmaps, withAlpha, imageFolder + name, reason);
        if (!written && progress.ImageFailed) progress.ImageFailed(imageFolder + name, reason);
        if (progress.AlgorithmDone) progress.AlgorithmDone(row.EnglishLabel, name, t);
        result.Images.push_back({label, name, written});
        ++k;
        // A failed write leaves no new file (an older one may still be
        // there), so the cell says so instead of passing off what the
        // browser finds as this build's result.
        lines.insert(lines.end(), {label + "<BR>", "<IMG src=\"samples/" + name + "\"><BR>",
                                   t + (written ? "" : " (not written)") + "<BR><BR>", "</TD>"});
        if (k % columns != 0)
            lines.push_back("<TD>");
        else
            lines.insert(lines.end(), {"</TR>", "<TR>", "<TD>"});
    }

    lines.push_back("</TD>");
    if (k % 2 == 0) lines.push_back("<TD></TD>");
    lines.insert(lines.end(), {"</TR>", "</TABLE>", "</BODY>", "</HTML>"});

    result.PagePath = input.OutputFolder + "sample.html";
    WritePage(result.PagePath, lines, input.Language);
    return result;
}
