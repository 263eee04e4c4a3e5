#pragma once
// Per-key access to an INI file, as the settings file needs it: every call
// reads the file anew, so there is no copy in memory to go stale. Section
// and key names compare without regard to ASCII case; a missing file,
// section or key gives the default. Writes create the file and the section
// when needed and go through WriteFileSafely, so a write that fails leaves
// the file as it was. Text is kept as the bytes it is (UTF-8 here).

#include <cstdint>
#include <string>

// The message of EIniFileException; %s is the file's path.
inline constexpr const char* IniWriteErrorMessage = "%s に書き込めません";

class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    // The value with blanks around it removed, and one pair of matching
    // quotes around it removed.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    // A value that is not a decimal integer gives the default.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const;
    // Read as an integer; any value but 0 is true.
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    bool SectionExists(const std::string& section) const;

    // Each write raises EIniFileException when the file cannot be written.
    void WriteString(const std::string& section, const std::string& key, const std::string& value) const;
    void WriteInteger(const std::string& section, const std::string& key, int32_t value) const;
    void WriteBool(const std::string& section, const std::string& key, bool value) const;  // "1" / "0"
    // Removes the section and all its keys; a section that is not there
    // leaves the file untouched.
    void EraseSection(const std::string& section) const;

private:
    std::string fileName_;
};
