#pragma once
// 8-bit text in the code pages of language files, to and from the UTF-8
// used everywhere inside the program.

#include <string>
#include <string_view>

// "CP932" when the default locale is Japanese (1041), otherwise "CP1252".
const char* SystemAnsiCodePage();

// Converts text in codePage (an iconv name such as "CP932") to UTF-8.
// Bytes that are not valid in the code page become U+FFFD; an unknown code
// page raises EConvertError.
std::string CodePageToUtf8(std::string_view text, const char* codePage);
// The reverse; characters the code page lacks become "?".
std::string Utf8ToCodePage(std::string_view text, const char* codePage);
