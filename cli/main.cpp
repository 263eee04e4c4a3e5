// vorlix-cli: the engine, filters and file formats without a display.

#include <iostream>
#include <map>

#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "formats/FormatRegistry.h"
#include "platform/Exceptions.h"

std::string UsageText() {
    return R"(Usage: vorlix-cli COMMAND [ARGUMENTS]

Commands:
  resample INPUT OUTPUT --algorithm NAME [--width W] [--height H] [--scale P]
           [--repeat N] [--time]
      Resamples INPUT into OUTPUT. The sizes are coupled as in the main
      window: --width alone sets the height and scale, --height alone the
      width and scale, --scale alone both; --width and --height together are
      taken as given. Without a size the picture keeps its size.
      --time prints the time of the resampling as "N[ms]"; --repeat N runs it
      N times on fresh copies and prints the fastest and the median time.
  info INPUT
      The class that reads INPUT, its size, pixel format and alpha plane.
  convert INPUT OUTPUT
      Writes INPUT in the type of OUTPUT's extension.
  algorithms [--all]
      Lists the algorithm names (--all adds the hidden test variants).
  demo [FOLDER]
      Writes the built-in test card and every algorithm's result at half and
      double size into FOLDER (default "out"), printing each time.

Exit status: 0 success, 1 bad usage, 2 a file could not be read or written,
3 the picture could not be processed.
)";
}

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << UsageText();
        return args.empty() ? kExitUsage : kExitOk;
    }
    static const std::map<std::string, int (*)(const std::vector<std::string>&)> kCommands = {
        {"resample", ResampleCommand}, {"info", InfoCommand},   {"convert", ConvertCommand},
        {"algorithms", AlgorithmsCommand}, {"demo", DemoCommand},
    };
    const auto command = kCommands.find(args[0]);
    if (command == kCommands.end()) {
        std::cerr << "vorlix-cli: unknown command '" << args[0] << "' (see vorlix-cli --help)\n";
        return kExitUsage;
    }
    RegisterFormatUnits();
    try {
        return command->second(std::vector<std::string>(args.begin() + 1, args.end()));
    } catch (const UsageError& e) {
        std::cerr << "vorlix-cli " << args[0] << ": " << e.what() << " (see vorlix-cli --help)\n";
        return kExitUsage;
    } catch (const FileError& e) {
        std::cerr << "vorlix-cli: " << e.File() << ": " << e.what() << "\n";
        return kExitFile;
    } catch (const std::exception& e) {
        std::cerr << "vorlix-cli " << args[0] << ": " << e.what() << "\n";
        return kExitFailure;
    }
}
