#include "platform/SafeFileWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

namespace {

[[noreturn]] void CreateFailed(const std::string& fileName, int error) {
    throw EFCreateError(Format(PlatformMessages::FileCreate, fileName.c_str(), std::strerror(error)));
}

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// Writing through a link replaces what it points to, not the link.
std::string ResolveTarget(const std::string& fileName) {
    std::error_code error;
    if (std::filesystem::is_symlink(fileName, error)) {
        const auto target = std::filesystem::weakly_canonical(fileName, error);
        if (!error) return target.string();
    }
    return fileName;
}

}  // namespace

void WriteFileSafely(const std::string& fileName, const std::function<void(TStream&)>& write) {
    const std::string target = ResolveTarget(fileName);
    const std::string folder = ExtractFilePath(target);
    std::string pattern = folder + "." + ExtractFileName(target) + ".tmpXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) CreateFailed(fileName, errno);
    close(fd);
    const std::string temporary(name.data());
    try {
        {
            TFileStream stream(temporary, fmCreate);
            write(stream);
            stream.Close();
        }
        struct stat existing {};
        const mode_t mode = stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();
        chmod(temporary.c_str(), mode);
        if (std::rename(temporary.c_str(), target.c_str()) != 0) CreateFailed(fileName, errno);
    } catch (...) {
        std::remove(temporary.c_str());
        throw;
    }
}
