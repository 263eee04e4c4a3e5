// info, convert and algorithms.

#include <iostream>

#include "cli/Algorithms.h"
#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "cli/PictureFiles.h"
#include "cli/PictureSteps.h"
#include "platform/Exceptions.h"

namespace {

const char* PixelFormatName(TPixelFormat format) {
    static const char* const kNames[] = {"device", "1-bit", "4-bit", "8-bit", "15-bit",
                                         "16-bit", "24-bit", "32-bit", "custom"};
    return kNames[format];
}

}  // namespace

int InfoCommand(const std::vector<std::string>& args) {
    const CliArguments arguments(args, kReadValuedOptions, kReadFlagOptions);
    arguments.RequirePositionals(1, "INPUT");
    const std::string& input = arguments.Positionals()[0];
    const CliPicture picture = ReadInput(input, ReadOptionsFrom(arguments));
    std::cout << "file: " << input << "\n"
              << "class: " << picture.ClassName << "\n"
              << "width: " << picture.Bitmap.Width() << "\n"
              << "height: " << picture.Bitmap.Height() << "\n"
              << "pixel format: " << PixelFormatName(picture.Bitmap.PixelFormat()) << "\n"
              << "alpha plane: " << (picture.Alpha ? "yes" : "no") << "\n";
    for (const std::string& line : picture.Details) std::cout << line << "\n";
    return kExitOk;
}

int ConvertCommand(const std::vector<std::string>& args) {
    const CliArguments arguments(args, Union({kReadValuedOptions, kWriteValuedOptions}),
                                 Union({kReadFlagOptions, kWriteFlagOptions}));
    arguments.RequirePositionals(2, "INPUT and OUTPUT");
    const CliWriteOptions writeOptions = WriteOptionsFrom(arguments, arguments.Positionals()[0]);
    CliPicture picture = ReadInput(arguments.Positionals()[0], ReadOptionsFrom(arguments));
    WriteOutput(picture, arguments.Positionals()[1], writeOptions);
    return kExitOk;
}

int AlgorithmsCommand(const std::vector<std::string>& args) {
    const CliArguments arguments(args, {}, {"all"});
    arguments.RequirePositionals(0, "");
    for (const CliAlgorithm& algorithm : CliAlgorithms())
        if (!algorithm.Hidden || arguments.Has("all")) std::cout << algorithm.Name << "\n";
    return kExitOk;
}
