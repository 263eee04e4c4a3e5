#pragma once
// The algorithms by their command-line names.

#include <cstdint>
#include <string>
#include <vector>

class TBitmap;

struct CliAlgorithm {
    const char* Name;
    bool Hidden;          // a test command of the main window
    bool UsesPrefilter;   // runs the upscale pre-filter like the menu commands
    // Runs the algorithm as the main window's command does, given the
    // coupled scale and whether no pre-filter is chosen.
    void (*Run)(TBitmap& picture, int32_t width, int32_t height, int32_t scale, bool noPrefilter);
};

const std::vector<CliAlgorithm>& CliAlgorithms();
// nullptr when the name is unknown.
const CliAlgorithm* FindCliAlgorithm(const std::string& name);
