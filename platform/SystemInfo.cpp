#include "platform/SystemInfo.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/SysUtils.h"

namespace {
std::mutex gMutex;
std::optional<uint32_t> gLocaleOverride;
std::optional<int> gOsOverride;
std::optional<int> gDepth;
std::optional<std::string> gProgramOverride;
}  // namespace

uint32_t GetTickMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

uint32_t GetDefaultLocaleId() {
    {
        std::lock_guard lock(gMutex);
        if (gLocaleOverride) return *gLocaleOverride;
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return (value[0] == 'j' && value[1] == 'a') ? 1041 : 1033;
    }
    return 1033;
}

void SetDefaultLocaleIdOverride(std::optional<uint32_t> localeId) {
    std::lock_guard lock(gMutex);
    gLocaleOverride = localeId;
}

int GetOsMajorVersion() {
    std::lock_guard lock(gMutex);
    return gOsOverride.value_or(10);
}

void SetOsMajorVersionOverride(std::optional<int> version) {
    std::lock_guard lock(gMutex);
    gOsOverride = version;
}

int GetDisplayColourDepth() {
    std::lock_guard lock(gMutex);
    return gDepth.value_or(24);
}

void SetDisplayColourDepth(std::optional<int> bitsPerPixel) {
    std::lock_guard lock(gMutex);
    gDepth = bitsPerPixel;
}

std::string ProgramPath() {
    {
        std::lock_guard lock(gMutex);
        if (gProgramOverride) return *gProgramOverride;
    }
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string ProgramFolder() { return ExtractFilePath(ProgramPath()); }

void SetProgramPathOverride(std::optional<std::string> path) {
    std::lock_guard lock(gMutex);
    gProgramOverride = std::move(path);
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

bool DirectoryExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}
