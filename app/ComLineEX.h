#pragma once
// The program's command line turned into lists: pictures to open, music
// files, a list file with further entries, options and a colour.
//
// Paths may arrive cut at blanks (a launcher that does not quote); an
// argument that starts with "/" or names the program's file system as
// "$(DRV):" starts a path that the following pieces continue. Options start
// with "-", a colour with "#". "$(DRV):" stands for the mount point of the
// file system that holds the program, so a list file on removable media can
// name pictures beside it wherever the medium is mounted.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TComLineEX {
public:
    // Parses arguments (without the program itself). programDrive replaces
    // the mount point found for programPath (for tests).
    TComLineEX(const std::string& programPath, const std::vector<std::string>& arguments,
               std::optional<std::string> programDrive = std::nullopt);

    std::vector<std::string> Params;  // raw entries, in order
    bool UncMode = false;             // no network-path mode on this platform
    std::string ListFile;
    std::vector<std::string> MusicFiles;
    std::vector<std::string> Files;
    bool ColorGiven = false;
    int32_t Color = 0;
    std::string ProgramDrive;   // mount point of the program's file system, "" for "/"
    std::string ProgramFolder;  // with the trailing "/"

private:
    void CollectParams(const std::vector<std::string>& arguments);
    void Classify();
    void ReadListFile();
    std::string ResolveDrive(const std::string& entry) const;
    std::string RelativeToProgram(const std::string& line) const;
};

// The mount point of the file system that holds path ("" for "/").
std::string MountPointOf(const std::string& path);

// Hexadecimal text to a value, leniently: a character before "a" counts as a
// decimal digit, any other as its code minus 87 ("a" = 10 ... "f" = 15).
int32_t LenientHexValue(const std::string& text);
