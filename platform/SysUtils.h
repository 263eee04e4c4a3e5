#pragma once
// Small text helpers shared by every unit.

#include <cstdint>
#include <string>
#include <string_view>

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Decimal text to a signed 32-bit integer: optional leading blanks, an
// optional sign, digits, nothing after. Anything else raises EConvertError
// with the built-in "'%s' は整数ではありません".
int32_t StrToInt(std::string_view text);
// The same without raising: false for text StrToInt would refuse.
bool TryStrToInt(std::string_view text, int32_t& value);

std::string IntToStr(int64_t value);
std::string LowerCase(std::string_view text);    // ASCII letters only
std::string UpperCase(std::string_view text);    // ASCII letters only
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive
std::string Trim(std::string_view text);         // drops blanks and control characters

// The extension of a file name including the dot ("" when there is none), as
// the last dot after the last path separator.
std::string ExtractFileExt(std::string_view path);
std::string ExtractFileName(std::string_view path);
std::string ExtractFilePath(std::string_view path);  // with the trailing '/'
std::string ChangeFileExt(std::string_view path, std::string_view extension);
