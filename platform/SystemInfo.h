#pragma once
// What the program asks of the system: time, locale, version and where it
// lives. Tests can override the locale, the version and the screen depth.

#include <cstdint>
#include <optional>
#include <string>

// Milliseconds of a steady clock, truncated to 32 bits (wraps like the
// multimedia timer).
uint32_t GetTickMs();

// 1041 when the POSIX locale (LC_ALL, else LC_MESSAGES, else LANG) starts
// with "ja", otherwise 1033.
uint32_t GetDefaultLocaleId();
void SetDefaultLocaleIdOverride(std::optional<uint32_t> localeId);

// 10: a current system.
int GetOsMajorVersion();
void SetOsMajorVersionOverride(std::optional<int> version);

// Bits per pixel of the display; 24 where there is no screen. The GUI sets
// the primary screen's depth at start-up.
int GetDisplayColourDepth();
void SetDisplayColourDepth(std::optional<int> bitsPerPixel);

// The running program's path (/proc/self/exe) and its folder with a
// trailing '/'.
std::string ProgramPath();
std::string ProgramFolder();
void SetProgramPathOverride(std::optional<std::string> path);

bool FileExists(const std::string& path);  // a regular file (or a link to one)
bool DirectoryExists(const std::string& path);
