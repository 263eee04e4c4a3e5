#pragma once
// The open dialog's list of readable formats.

#include <string>

// "text|masks|text|masks|..." for the current LanguageNumber, ending with "|".
std::string BuildOpenFilter();

// The same list in Qt's name-filter syntax: "text (*.a *.b);;...", one
// entry per pair; a text that already ends with its masks in parentheses
// is not given them twice.
std::string OpenFilterToQt(const std::string& filter);
