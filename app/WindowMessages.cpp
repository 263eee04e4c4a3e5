#include "app/WindowMessages.h"

#include "lang/vorlixLangDefault.h"
#include "save/ZetJPEGImage.h"

std::string FillMessage(const std::string& text, const std::string& value) {
    const size_t at = text.find("%s");
    if (at == std::string::npos) return text + " " + value;
    return text.substr(0, at) + value + text.substr(at + 2);
}

std::string LoadWarningMessage(const std::string& warning, const std::string& path) {
    const std::string said =
        warning == TJPEGImage::EndsEarlyWarning ? MainWindowTexts.EndsEarly : FillMessage(MainWindowTexts.LoadWarning, warning);
    return said + "\n" + path;
}

std::string PlainMenuCaption(const std::string& caption) {
    std::string text = caption;
    // " （" with the full-width opening parenthesis U+FF08.
    if (const size_t remark = text.find(" \xEF\xBC\x88"); remark != std::string::npos && remark > 0) text.erase(remark);
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "(&") == 0 && i + 3 < text.size() && text[i + 3] == ')') {
            i += 3;  // "(&X)"
        } else if (text[i] != '&') {
            plain += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '&') {
            plain += '&';  // "&&" is a literal ampersand
            ++i;
        }
    }
    return plain;
}
