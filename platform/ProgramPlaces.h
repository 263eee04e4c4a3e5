#pragma once
// Where the program's own files live. A portable program (run from its
// build folder, or unpacked anywhere with Lang/ beside it) keeps everything
// beside itself; an installed one (under a prefix, with its data in
// share/vorlix/) keeps its shipped files there and the user's files in the
// XDG places of the user's home.

#include <optional>
#include <string>

// <prefix>/share/vorlix/ for the running program, found from its folder
// (<prefix>/bin/), with a trailing '/'.
std::string InstalledDataFolder();

// True when the program runs from an installation: no Lang/ beside it, but
// the installed data folder holds one. The program folder is then a system
// folder (writable for root), which must never receive the user's files.
bool IsInstalledProgram();

// $XDG_CONFIG_HOME/vorlix/ (default ~/.config/vorlix/) and
// $XDG_DATA_HOME/vorlix/ (default ~/.local/share/vorlix/), trailing '/'.
// Relative XDG values are ignored, as the XDG rules require.
std::string UserConfigFolder();
std::string UserDataFolder();

// The folder that holds Lang/ (trailing '/'): the program folder when it
// has Lang/, otherwise the installed data folder when that has one,
// otherwise the program folder (where a missing file means the defaults).
std::string LanguageBaseFolder();

// The settings file: the program path with ".ini" for a portable program
// whose folder is writable; otherwise vorlix.ini in the user's config
// folder.
std::string SettingsFilePath();

// Where the sample page and its images go: the program folder for a
// portable program whose folder is writable, otherwise the user's data
// folder.
std::string SampleOutputFolder();

// Makes the folder (and its parents) if missing; false when it cannot.
bool EnsureFolder(const std::string& folder);
