#pragma once
// The message table: every text that is not a component caption, with its
// built-in default and, for the save-dialog captions, its built-in Japanese
// text; and the loaders that fill the process-wide texts from the language
// file of the current language.

#include <array>
#include <span>
#include <string>

struct TMessageEntry {
    const char* Key;
    const char* Default;
    const char* Japanese;  // nullptr where the table has none
};

// Every key of section "Misc", in table order.
std::span<const TMessageEntry> MessageTable();
const TMessageEntry& Message(const char* key);

// The four message-box texts.
struct TMessageBoxTexts {
    std::string ConvertErrorTitle;
    std::string ConvertErrorText;
    std::string FileReplaceTitle;
    std::string FileReplaceText;
};
extern TMessageBoxTexts MessageBoxTexts;

// The four sample-page texts.
struct TPageTexts {
    std::string Title;
    std::string Charset;
    std::string Preprocess;
    std::string SelectedAlgorithm;
};
extern TPageTexts PageTexts;

void LoadMessageBoxTexts();
// LoadMessageBoxTexts, then the sample-page texts.
void LoadPageTexts();

// The seventeen save-dialog captions (GMOption ... GMExifThumbUpdate), in
// their published order: from the language file (or the English defaults)
// unless the system is Japanese and the language file does not declare
// MISC_LANGINI_ENABLED, in which case the built-in Japanese texts.
std::array<std::string, 17> LookupSaveDialogCaptions();
// The keys of those captions, in the same order.
const std::array<const char*, 17>& SaveDialogCaptionKeys();

// Where the size labels and edits of the main window's top panel stand in
// a language: the left edge, and the width for the labels (0: the control
// keeps its width).
struct TControlPlacement {
    const char* Control;
    int Left;
    int Width;
};
const std::array<TControlPlacement, 7>& LabelLayout(int languageNumber);

// The main window's own messages: the refused sizes, the warning of a
// picture that opened incomplete, and the status of a running command.
// "%s" in a text stands for the value it names.
struct TMainWindowTexts {
    std::string WidthTooSmall;
    std::string HeightTooSmall;
    std::string LoadWarning;  // %s: the reader's warning
    std::string EndsEarly;    // the warning of a file cut short
    std::string Running;      // %s: the command's menu caption
};
extern TMainWindowTexts MainWindowTexts;
void LoadMainWindowTexts();
