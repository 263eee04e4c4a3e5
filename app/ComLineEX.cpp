#include "app/ComLineEX.h"

#include <sys/stat.h>

#include <filesystem>

#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "platform/SystemInfo.h"

namespace {

constexpr std::string_view kDrivePlaceholder = "$(DRV):";
// A list file names a few paths; a much larger file is not one.
constexpr int64_t kMaxListFileBytes = 16 * 1024 * 1024;

bool StartsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }
bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

bool IsMusic(const std::string& entry) {
    const std::string extension = LowerCase(ExtractFileExt(entry));
    for (const char* music : {".wav", ".cda", ".mid", ".mp3", ".ogg"})
        if (extension == music) return true;
    return false;
}
bool IsListFile(const std::string& entry) { return LowerCase(ExtractFileExt(entry)) == ".kls"; }
bool IsOption(const std::string& entry) { return StartsWith(entry, "-"); }
bool IsOptionOrColour(const std::string& entry) { return IsOption(entry) || StartsWith(entry, "#"); }
// An argument that starts a path which later pieces may continue.
bool StartsPath(const std::string& entry) { return StartsWith(entry, "/") || Contains(entry, kDrivePlaceholder); }

std::string ReplaceAll(std::string text, std::string_view what, const std::string& with) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

}  // namespace

std::string MountPointOf(const std::string& path) {
    std::error_code error;
    std::filesystem::path current = std::filesystem::weakly_canonical(path, error);
    if (error || current.empty()) return {};
    struct stat own {};
    if (stat(current.c_str(), &own) != 0) return {};
    while (current.has_relative_path()) {
        const std::filesystem::path parent = current.parent_path();
        struct stat above {};
        if (stat(parent.c_str(), &above) != 0 || above.st_dev != own.st_dev) break;
        current = parent;
    }
    const std::string mountPoint = current.string();
    return mountPoint == "/" ? std::string() : mountPoint;
}

int32_t LenientHexValue(const std::string& text) {
    int32_t value = 0;
    for (const char raw : text) {
        int c = static_cast<unsigned char>(raw);
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
        const int digit = c < 'a' ? c - '0' : c - 87;
        value = static_cast<int32_t>(static_cast<uint32_t>(value) * 16u + static_cast<uint32_t>(digit));
    }
    return value;
}

TComLineEX::TComLineEX(const std::string& programPath, const std::vector<std::string>& arguments,
                       std::optional<std::string> programDrive)
    : ProgramDrive(programDrive ? *programDrive : MountPointOf(programPath)),
      ProgramFolder(ExtractFilePath(programPath)) {
    if (arguments.empty()) return;
    CollectParams(arguments);
    Classify();
    ReadListFile();
}

void TComLineEX::CollectParams(const std::vector<std::string>& arguments) {
    if (arguments.size() == 1) {
        const std::string& a = arguments.front();
        if (!IsListFile(a)) {
            Params.push_back(a);
        } else if (FileExists(ProgramDrive + "/" + a)) {
            Params.push_back(ProgramDrive + "/" + a);
        } else if (!StartsWith(a, "/") && !StartsWith(a, kDrivePlaceholder)) {
            Params.push_back(ProgramFolder + a);
        } else {
            Params.push_back(a);
        }
        return;
    }

    // Rebuild paths that were cut at blanks: pieces after the start of a
    // path belong to it until an option or the start of another path;
    // pieces before any path start form one relative path.
    std::string cur;
    std::string pending;
    bool inPath = false;
    auto flush = [&] {
        if (cur.empty()) return;
        const std::string atDriveRoot = ProgramDrive + "/" + cur;
        Params.push_back(FileExists(atDriveRoot) ? atDriveRoot : ProgramFolder + cur);
        cur.clear();
    };
    for (const std::string& r : arguments) {
        if (inPath && (IsOptionOrColour(r) || StartsPath(r))) {
            Params.push_back(pending);
            inPath = false;
            if (IsOptionOrColour(r)) {
                Params.push_back(r);
            } else {
                pending = r;
                inPath = true;
            }
        } else if (inPath) {
            pending += " " + r;
        } else if (IsOptionOrColour(r)) {
            flush();
            Params.push_back(r);
        } else if (StartsPath(r)) {
            flush();
            pending = r;
            inPath = true;
        } else {
            cur = cur.empty() ? r : cur + " " + r;
        }
    }
    flush();
    if (inPath) Params.push_back(pending);
}

std::string TComLineEX::ResolveDrive(const std::string& entry) const {
    return ReplaceAll(entry, kDrivePlaceholder, ProgramDrive);
}

void TComLineEX::Classify() {
    for (const std::string& entry : Params) {
        if (IsMusic(entry)) {
            MusicFiles.push_back(ResolveDrive(entry));
        } else if (IsListFile(entry)) {
            ListFile = ResolveDrive(entry);
        } else if (StartsWith(entry, "#")) {
            if (entry.size() == 7) {
                ColorGiven = true;
                Color = LenientHexValue(entry.substr(1));
            }
        } else if (!IsOption(entry)) {
            Files.push_back(ResolveDrive(entry));
        }
    }
}

// Paths in a list file are relative to the program's folder unless they
// name the program's file system with "$(DRV):" or are absolute.
std::string TComLineEX::RelativeToProgram(const std::string& line) const {
    if (Contains(line, kDrivePlaceholder)) return ResolveDrive(line);
    if (StartsWith(line, "/")) return line;
    return ProgramFolder + line;
}

void TComLineEX::ReadListFile() {
    if (ListFile.empty() || !FileExists(ListFile)) return;
    TFileStream file(ListFile, fmOpenRead);
    if (file.Size() > kMaxListFileBytes)
        throw EReadError(Format("%s: a list file of %lld bytes is too large", ListFile.c_str(),
                                static_cast<long long>(file.Size())));
    std::string text(static_cast<size_t>(file.Size()), '\0');
    file.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));

    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (line.empty() || StartsWith(line, "#")) continue;
        if (IsMusic(line)) {
            MusicFiles.push_back(RelativeToProgram(line));
        } else if (IsOption(line)) {
            const size_t hash = line.find('#');
            if (hash == std::string::npos) {
                Params.push_back(line);
            } else {
                ColorGiven = true;
                Color = LenientHexValue(line.substr(hash + 1, 6));
                Params.push_back(line.substr(0, hash));
            }
        } else {
            Files.push_back(RelativeToProgram(line));
        }
    }
}
