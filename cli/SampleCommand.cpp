// sample: the comparison page of every algorithm, as the main window's
// Extras menu builds it.

#include <algorithm>
#include <iostream>

#include "app/SamplePage.h"
#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "cli/PictureSteps.h"
#include "lang/IniLangEx.h"
#include "lang/vorlixLangDefault.h"
#include "platform/ProgramPlaces.h"
#include "platform/SysUtils.h"

namespace {

uint8_t SampleFormatOption(const CliArguments& arguments) {
    const std::string format = arguments.Value("format").value_or("png");
    if (format == "jpeg420") return SampleFormatJPEG420;
    if (format == "jpeg444") return SampleFormatJPEG444;
    if (format == "png") return SampleFormatPNG;
    throw UsageError("--format takes jpeg420, jpeg444 or png, not '" + format + "'");
}

}  // namespace

int SampleCommand(const std::vector<std::string>& args) {
    const CliArguments arguments(args,
                                 Union({kReadValuedOptions, {"width", "height", "scale", "columns", "format", "quality",
                                                             "prefix", "suffix", "prefilter", "language", "out"}}),
                                 kReadFlagOptions);
    arguments.RequirePositionals(1, "INPUT");
    if (arguments.Positionals().size() > 1) throw UsageError("unexpected argument " + arguments.Positionals()[1]);
    const auto prefilter = ParseUpscalePrefilter(arguments.Value("prefilter").value_or("none"));
    if (!prefilter) throw UsageError(std::string("--prefilter takes ") + UpscalePrefilterCommandNames);

    TSamplePageInput input;
    input.Columns = arguments.Integer("columns", 1, 5).value_or(2);
    input.Format = SampleFormatOption(arguments);
    // As the output-format dialog does: any number, kept within 0..100.
    input.Quality = std::clamp(arguments.Integer("quality", INT32_MIN, INT32_MAX).value_or(90), 0, 100);
    if (const auto prefix = arguments.Value("prefix")) input.UsePrefix = true, input.Prefix = *prefix;
    if (const auto suffix = arguments.Value("suffix")) input.UseSuffix = true, input.Suffix = *suffix;
    input.Language = static_cast<uint8_t>(arguments.Integer("language", 1, 2).value_or(1));
    std::string folder = arguments.Value("out").value_or(SampleOutputFolder());
    if (folder.empty()) folder = "./";
    if (folder.back() != '/') folder += '/';
    input.OutputFolder = folder;

    const CliPicture picture = ReadInput(arguments.Positionals()[0], ReadOptionsFrom(arguments));
    const TCoupledSize size = CommandTargetSize(arguments, picture.Bitmap.Width(), picture.Bitmap.Height());
    input.Base = &picture.Bitmap;
    input.Alpha = picture.Alpha ? &*picture.Alpha : nullptr;
    input.TargetWidth = size.Width;
    input.TargetHeight = size.Height;
    input.Scale = size.Scale;
    input.Prefilter = *prefilter;

    LanguageNumber = input.Language;
    // The page's title and character set come from the language file, as in
    // the desktop program; without it the English texts apply.
    if (LanguageFolder.empty()) LanguageFolder = "Lang/";
    LanguageFile = OpenLanguageFile(input.Language);
    LoadPageTexts();
    input.Texts = PageTexts;

    TBitmap scratch, work, alphaScratch;
    bool allWritten = true;
    TSamplePageProgress progress;
    progress.PrefilterDone = [](const std::string& name, const std::string& time) {
        std::cout << name << " " << time << "\n";
    };
    progress.AlgorithmDone = [](const std::string& label, const std::string& fileName, const std::string& time) {
        std::cout << Format("%-16s %10s  samples/%s", label.c_str(), time.c_str(), fileName.c_str()) << std::endl;
    };
    progress.ImageFailed = [&allWritten](const std::string& path, const std::string& reason) {
        allWritten = false;
        std::cerr << "vorlix-cli: " << Printable(path) << ": " << reason << "\n";
    };
    const TSamplePageResult page = BuildSamplePage(input, {scratch, work, alphaScratch}, progress);
    std::cout << "Sample page written to " << page.PagePath << "\n";
    return allWritten ? kExitOk : kExitFile;
}
