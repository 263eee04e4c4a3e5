#include "lang/MemIniFile.h"

#include "platform/CodePages.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

TMemIniFile::TMemIniFile(const std::string& fileName, const char* codePage) : fileName_(fileName) {
    TMemoryStream stream;
    stream.LoadFromFile(fileName);
    const std::string bytes(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
    Parse(CodePageToUtf8(bytes, codePage));
}

TMemIniFile TMemIniFile::FromText(const std::string& text) {
    TMemIniFile file;
    file.Parse(text);
    return file;
}

void TMemIniFile::Parse(const std::string& text) {
    Section* current = nullptr;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            sections_.push_back({Trim(line.substr(1, line.size() - 2)), {}});
            current = &sections_.back();
            continue;
        }
        const size_t equals = line.find('=');
        if (!current || equals == std::string::npos) continue;
        current->Values.emplace_back(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }
}

const std::string* TMemIniFile::Find(const std::string& section, const std::string& key) const {
    for (const Section& s : sections_) {
        if (!SameText(s.Name, section)) continue;
        for (const auto& [name, value] : s.Values)
            if (SameText(name, key)) return &value;
    }
    return nullptr;
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) const {
    const std::string* value = Find(section, key);
    return value ? *value : defaultValue;
}

bool TMemIniFile::SectionExists(const std::string& section) const {
    for (const Section& s : sections_)
        if (SameText(s.Name, section)) return true;
    return false;
}

bool TMemIniFile::ValueExists(const std::string& section, const std::string& key) const {
    return Find(section, key) != nullptr;
}

std::vector<std::string> TMemIniFile::ReadSections() const {
    std::vector<std::string> names;
    for (const Section& s : sections_) names.push_back(s.Name);
    return names;
}

std::vector<std::string> TMemIniFile::ReadSection(const std::string& section) const {
    std::vector<std::string> keys;
    for (const Section& s : sections_) {
        if (!SameText(s.Name, section)) continue;
        for (const auto& value : s.Values) keys.push_back(value.first);
    }
    return keys;
}
