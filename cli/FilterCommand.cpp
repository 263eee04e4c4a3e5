// filter: one pre-filter or named filter on a file.

#include <iostream>

#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "cli/PictureSteps.h"
#include "images/Effector/CustomFilter.h"
#include "images/Effector/DCTUtils.h"

int FilterCommand(const std::vector<std::string>& args) {
    const CliArguments arguments(args, Union({kReadValuedOptions, kWriteValuedOptions, {"dct-cut", "named"}}),
                                 Union({kReadFlagOptions, kWriteFlagOptions, {"median"}}));
    if (arguments.Value("named") == "list") {
        for (const std::string& name : NamedFilterNames()) std::cout << name << "\n";
        return kExitOk;
    }
    arguments.RequirePositionals(2, "INPUT and OUTPUT");
    const int chosen = int(arguments.Has("dct-cut")) + int(arguments.Has("median")) + int(arguments.Has("named"));
    if (chosen != 1) throw UsageError("give exactly one of --dct-cut N, --median, --named NAME");
    const auto cut = arguments.Integer("dct-cut", 1, 7);
    const auto name = arguments.Value("named");
    if (name && !IsNamedFilter(*name))
        throw UsageError("unknown filter '" + *name + "' (vorlix-cli filter --named list shows the names)");

    const CliWriteOptions writeOptions = WriteOptionsFrom(arguments);
    CliPicture picture = ReadInput(arguments.Positionals()[0], ReadOptionsFrom(arguments));
    if (cut) DCTHighCut(picture.Bitmap, *cut);
    else if (name) ApplyNamedFilter(picture.Bitmap, *name);
    else EdgePreservingMedian(picture.Bitmap);
    WriteOutput(picture, arguments.Positionals()[1], writeOptions);
    return kExitOk;
}
