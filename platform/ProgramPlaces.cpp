#include "platform/ProgramPlaces.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/SysUtils.h"
#include "platform/SystemInfo.h"

#ifndef VORLIX_DATA_FROM_BIN
#define VORLIX_DATA_FROM_BIN "../share/vorlix"
#endif

namespace {

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

std::string Normal(const std::string& path) {
    return WithSlash(std::filesystem::path(path).lexically_normal().string());
}

bool Writable(const std::string& folder) {
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string XdgFolder(const char* variable, const char* fallbackUnderHome) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return WithSlash(value) + "vorlix/";
    const char* home = std::getenv("HOME");
    const std::string base = home && home[0] == '/' ? std::string(home) : std::string("/tmp");
    return WithSlash(base) + fallbackUnderHome + "/vorlix/";
}

bool PortableAndWritable() { return !IsInstalledProgram() && Writable(ProgramFolder()); }

}  // namespace

std::string InstalledDataFolder() { return Normal(ProgramFolder() + VORLIX_DATA_FROM_BIN); }

bool IsInstalledProgram() {
    return !DirectoryExists(ProgramFolder() + "Lang") && DirectoryExists(InstalledDataFolder() + "Lang");
}

std::string UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }
std::string UserDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

std::string LanguageBaseFolder() { return IsInstalledProgram() ? InstalledDataFolder() : ProgramFolder(); }

std::string SettingsFilePath() {
    if (PortableAndWritable()) return ChangeFileExt(ProgramPath(), ".ini");
    return UserConfigFolder() + ExtractFileName(ChangeFileExt(ProgramPath(), ".ini"));
}

std::string SampleOutputFolder() { return PortableAndWritable() ? ProgramFolder() : UserDataFolder(); }

bool EnsureFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return DirectoryExists(folder);
}
