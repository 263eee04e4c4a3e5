#pragma once
// An INI file read whole into memory, as language files are read: every
// line trimmed, ";" comments and lines before the first section ignored,
// section and key names compared without regard to letter case.

#include <string>
#include <vector>

class TMemIniFile {
public:
    // Reads fileName, converting its 8-bit text from codePage (an iconv name)
    // to UTF-8. Raises EFOpenError when the file cannot be read.
    TMemIniFile(const std::string& fileName, const char* codePage);
    // Parses UTF-8 text (tests, and files already converted).
    static TMemIniFile FromText(const std::string& text);

    const std::string& FileName() const { return fileName_; }
    // The raw value (comments are the caller's business), or defaultValue
    // when the section or key is missing. The first of duplicates wins.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    // The section names, and the key names of one section, in file order.
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSection(const std::string& section) const;

private:
    TMemIniFile() = default;
    void Parse(const std::string& text);
    const std::string* Find(const std::string& section, const std::string& key) const;

    struct Section {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Values;
    };
    std::string fileName_;
    std::vector<Section> sections_;
};
