#pragma once
// The filter text of the open-picture dialog: pairs of display text and
// masks, every part followed by "|" (the first entry's masks end with ";").

#include <cstdint>
#include <string>

// The first entry reads "画像ファイル" for language 2, otherwise
// "Image files".
std::string BuildOpenFilter(uint8_t languageNumber);
