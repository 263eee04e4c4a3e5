#pragma once
// The main window's own messages, put together from the texts of the
// current language (MainWindowTexts).

#include <string>

// text with its first "%s" replaced by value; a text without one gets
// value after it, a blank between. The texts come from language files, so no other "%"
// sequence means anything here.
std::string FillMessage(const std::string& text, const std::string& value);

// The box text for a picture that opened with a reader's warning: the
// warning in the interface language (known warnings have their own text,
// others are quoted), then the file on its own line.
std::string LoadWarningMessage(const std::string& warning, const std::string& path);

// A menu caption as running text: without its mnemonic ("&x", or "(&X)"
// after Japanese captions) and without a trailing full-width remark
// ("Bi&cubic （双３次補間）" gives "Bicubic").
std::string PlainMenuCaption(const std::string& caption);
