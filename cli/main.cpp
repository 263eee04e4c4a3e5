// vorlix-cli: the engine, filters and file formats without a display.

#include <iostream>
#include <map>
#include <string_view>

#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "app/StartUp.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

// Messages quote text from the files they are about; control characters
// from a hostile file must neither break the one-line message nor reach the
// terminal as escape sequences.
std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) out += Format("\\x%02X", byte);
        else out += c;
    }
    return out;
}

std::string UsageText() {
    return R"(Usage: vorlix-cli COMMAND [ARGUMENTS]

Commands:
  resample INPUT OUTPUT --algorithm NAME [--width W] [--height H] [--scale P]
           [--prefilter none|dct7|dct6|dct5|median] [--repeat N] [--time]
           [--threads N]
      Resamples INPUT into OUTPUT. The sizes are coupled as in the main
      window: --width alone sets the height and scale, --height alone the
      width and scale, --scale alone both; --width and --height together are
      taken as given. Without a size the picture keeps its size.
      --prefilter runs before the algorithm when the scale is above 100, as
      the main window's upscale option does (not for test1, test2 and
      lifting-bilinear, whose commands take none).
      --time prints the time of the pre-filter and the resampling as
      "N[ms]"; --repeat N runs them N times on fresh copies and prints the
      fastest and the median time. --threads N spreads the resampling
      over N threads (default: every core); the bytes are the same.
  filter INPUT OUTPUT (--dct-cut N | --median | --named NAME)
      Applies the DCT high-frequency cut (N = 1..7, the menu offers 7, 6
      and 5), the edge-preserving median (the result is 32-bit), or a named
      3x3/5x5 filter (--named list prints the names).
  sample INPUT [--width W | --height H | --scale P] [--columns N]
         [--format jpeg420|jpeg444|png] [--quality Q] [--prefix P]
         [--suffix S] [--prefilter none|dct7|dct6|dct5|median]
         [--language 1|2] [--out DIR]
      Builds the sample page: INPUT resampled by every algorithm (the
      average-pixel method only up to 100 %), each image written into
      DIR/samples/ and DIR/sample.html showing them in N columns (1..5,
      default 2) with their times, which are printed as each completes.
      --format png (default) keeps a PNG's alpha plane; --quality (default
      90) is kept within 0..100; --prefix/--suffix name the images;
      --language 2 gives the Japanese labels. DIR defaults to the desktop
      program's place for the page. Status 2 when an image could not be
      written (the page is still written and marks it).
  info INPUT
      The class that reads INPUT, its size, pixel format and alpha plane
      (and, for JPEG, the stored size, whether it is progressive, and
      whether it has an Exif block and a thumbnail in it that can be
      replaced: "exif: yes|no", "exif thumbnail: yes WxH|no").
  convert INPUT OUTPUT
      Writes INPUT into OUTPUT (see the options of every command that
      writes a picture).

Options of every command that reads a picture, for JPEG input:
  --jpeg-scale 1|2|4|8   decode at 1/1, 1/2, 1/4 or 1/8 of the size
  --jpeg-grayscale       decode to grey levels
  --jpeg-palette         decode to 236 colours (two-pass quantiser, dithered)
  --jpeg-fast            the fast, less exact decoding
  --jpeg-no-smoothing    no block smoothing of unfinished progressive scans
Options of every command that writes a picture (resample, convert), as the
save dialog offers them:
  --type bmp|png|jpg|gif|tga|sgi|pcx|ppm|pgm|pbm|mag|dcr
      the type written, whatever OUTPUT's extension; without it the
      extension decides: .bmp .png .jpg .jpeg .jpe .gif .tga .sgi .rgb .pcx
      .ppm .pgm .pbm .mag .dcr .res
  --quality Q (1..100, default 90)   --progressive   JPEG
  --subsampling 420|444  JPEG chroma sampling (default 420)
  --exif-copy            JPEG: copy the Exif block of INPUT into the output
  --exif-from SRC        JPEG: copy the Exif block of SRC instead
  --update-thumbnail     with either: replace the block's thumbnail by one
                         of the picture written (at most 160x160)
                         A source without an Exif block, or without a
                         thumbnail that can be replaced, is noted on stderr
                         and the output written without it.
  --grayscale            grey JPEG or PNG
  --interlaced           Adam7 PNG
  --reduce256            256 colours first, for every type (exactly when the
                         picture has at most 256; PNG then drops the alpha
                         plane)
  --transparent          PNG and GIF: the bottom-left pixel's colour is
                         transparent (a PNG becomes a 256-colour file)
  --rle                  run-length Targa
  --resource-name NAME   the resource name of a DCR file
GIF, MAG and DCR are always reduced to 256 colours. A PNG input's alpha
plane is written into PNG output unless --reduce256 or --transparent.
  algorithms [--all]
      Lists the algorithm names (--all adds the hidden test variants).
  demo [FOLDER] [--threads N]
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
        {"algorithms", AlgorithmsCommand}, {"demo", DemoCommand},   {"filter", FilterCommand},
        {"sample", SampleCommand},
    };
    const auto command = kCommands.find(args[0]);
    if (command == kCommands.end()) {
        std::cerr << "vorlix-cli: unknown command '" << args[0] << "' (see vorlix-cli --help)\n";
        return kExitUsage;
    }
    SetEnglishPlatformTexts(true);
    InitializeProgramUnits();
    try {
        return command->second(std::vector<std::string>(args.begin() + 1, args.end()));
    } catch (const UsageError& e) {
        std::cerr << "vorlix-cli " << args[0] << ": " << Printable(e.what()) << " (see vorlix-cli --help)\n";
        return kExitUsage;
    } catch (const FileError& e) {
        std::cerr << "vorlix-cli: " << Printable(e.File()) << ": " << Printable(e.what()) << "\n";
        return kExitFile;
    } catch (const std::exception& e) {
        std::cerr << "vorlix-cli " << args[0] << ": " << Printable(e.what()) << "\n";
        return kExitFailure;
    }
}
