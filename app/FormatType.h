#pragma once
// The open dialog's list of readable formats.

#include <string>

// "text|masks|text|masks|..." for the current LanguageNumber, ending with "|".
std::string BuildOpenFilter();

// The same list in Qt's name-filter syntax: "text (*.a *.b);;...", one
// entry per pair. Qt reads the masks from the last parentheses, blank
// separated, so each display text is kept whole and given its masks in
// that form; a dialog that hides the filter details shows the display texts
// exactly.
std::string OpenFilterToQt(const std::string& filter);
