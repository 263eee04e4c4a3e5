#include "platform/IniService.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/SafeFileWriter.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

namespace {

// A settings file is a few hundred bytes; anything far larger is not one of
// ours and is neither read nor rewritten.
constexpr long kMaxFileBytes = 16L * 1024 * 1024;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct IniText {
    bool exists = false;    // the file is there
    bool readable = false;  // and its bytes were read
    bool bom = false;
    std::string newline = "\n";
    std::vector<std::string> lines;  // without their line ends
};

IniText LoadText(const std::string& fileName) {
    IniText text;
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) {
        text.exists = errno != ENOENT && errno != ENOTDIR;
        return text;
    }
    text.exists = true;
    std::string bytes;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = ok && size >= 0 && size <= kMaxFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    if (!ok) return text;
    text.readable = true;

    std::string_view rest(bytes);
    if (rest.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.bom = true;
        rest.remove_prefix(kUtf8Bom.size());
    }
    const size_t firstEnd = rest.find('\n');
    if (firstEnd != std::string_view::npos && firstEnd > 0 && rest[firstEnd - 1] == '\r') text.newline = "\r\n";
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        text.lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return text;
}

// The section name of a header line, or nothing for any other line.
std::optional<std::string> SectionName(const std::string& line) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
    const size_t close = trimmed.find(']');
    return Trim(std::string_view(trimmed).substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// The key of a key line, or nothing for comments and lines without "=".
std::optional<std::string> KeyName(const std::string& line) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    const size_t equals = trimmed.find('=');
    if (equals == std::string::npos) return std::nullopt;
    return Trim(std::string_view(trimmed).substr(0, equals));
}

std::string ValueOf(const std::string& line) {
    std::string value = Trim(std::string_view(line).substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

struct SectionRange {
    size_t header;  // index of the header line
    size_t end;     // one past the last line of the section
};

std::optional<SectionRange> FindSection(const IniText& text, const std::string& section) {
    for (size_t i = 0; i < text.lines.size(); ++i) {
        const auto name = SectionName(text.lines[i]);
        if (!name || !SameText(*name, section)) continue;
        size_t end = i + 1;
        while (end < text.lines.size() && !SectionName(text.lines[end])) ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> FindKey(const IniText& text, const SectionRange& range, const std::string& key) {
    for (size_t i = range.header + 1; i < range.end; ++i) {
        const auto name = KeyName(text.lines[i]);
        if (name && SameText(*name, key)) return i;
    }
    return std::nullopt;
}

[[noreturn]] void WriteFailed(const std::string& fileName) {
    throw EIniFileException(Format(IniWriteErrorMessage, fileName.c_str()));
}

// Loads the file for a change; a file that is there but cannot be read or
// written is refused before anything is touched.
IniText LoadForChange(const std::string& fileName) {
    IniText text = LoadText(fileName);
    if (text.exists && (!text.readable || access(fileName.c_str(), W_OK) != 0)) WriteFailed(fileName);
    return text;
}

void Store(const std::string& fileName, const IniText& text) {
    std::string bytes;
    if (text.bom) bytes += kUtf8Bom;
    for (const std::string& line : text.lines) {
        bytes += line;
        bytes += text.newline;
    }
    try {
        WriteFileSafely(fileName, [&bytes](TStream& stream) { stream.WriteString(bytes); });
    } catch (const EStreamError&) {
        WriteFailed(fileName);
    }
}

}  // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    const IniText text = LoadText(fileName_);
    const auto range = FindSection(text, section);
    if (!range) return defaultValue;
    const auto line = FindKey(text, *range, key);
    return line ? ValueOf(text.lines[*line]) : defaultValue;
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const {
    int32_t value = 0;
    return TryStrToInt(ReadString(section, key, std::string()), value) ? value : defaultValue;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(const std::string& section) const {
    return FindSection(LoadText(fileName_), section).has_value();
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) const {
    IniText text = LoadForChange(fileName_);
    const std::string entry = key + "=" + value;
    if (const auto range = FindSection(text, section)) {
        if (const auto line = FindKey(text, *range, key)) {
            text.lines[*line] = entry;
        } else {
            // After the section's last non-blank line, so blank lines that
            // separate it from the next section stay where they are.
            size_t at = range->end;
            while (at > range->header + 1 && Trim(text.lines[at - 1]).empty()) --at;
            text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
        }
    } else {
        text.lines.push_back("[" + section + "]");
        text.lines.push_back(entry);
    }
    Store(fileName_, text);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) const {
    WriteString(section, key, IntToStr(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) const {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(const std::string& section) const {
    if (!SectionExists(section)) return;
    IniText text = LoadForChange(fileName_);
    while (const auto range = FindSection(text, section))
        text.lines.erase(text.lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                         text.lines.begin() + static_cast<std::ptrdiff_t>(range->end));
    Store(fileName_, text);
}
