#pragma once
// Language files: which file a language number names, reading it, applying
// its captions and hints to a window's components by name, message
// look-ups and the fonts that suit the language.
//
// Windows reach this unit through TLanguageWindow, so the rules stay free
// of any widget toolkit; the GUI adapts its widgets to it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lang/MemIniFile.h"

extern uint8_t LanguageNumber;    // 0: not chosen yet
extern std::string LanguageFolder;  // relative to the program's folder, e.g. "Lang/"
// The file open for one batch of message look-ups, or none.
extern std::unique_ptr<TMemIniFile> LanguageFile;

// The file base name of a language number ("English", "Japanese", ...;
// empty for numbers without one).
std::string LanguageBaseName(int number);
// The code page its files are written in.
const char* LanguageCodePage(int number);

std::string LanguageFileName(int number);
// The language file if it exists, otherwise none.
std::unique_ptr<TMemIniFile> OpenLanguageFile(int number);

// The value with everything from the first "//" dropped.
std::string DropComment(const std::string& value);

// A message of section "Misc": the default when no file is open or the key
// is missing; "*|*" splits the text into lines joined by CR LF.
std::string LookupMessage(const std::string& defaultText, const std::string& key);

bool IsVistaOrLater();

// A font as the language sets it: face, character set and (optional)
// height in the platform's units (-11: 11 pixels).
struct TLanguageFont {
    std::string Face;
    int Charset = 1;
    bool SetHeight = false;
    int Height = 0;
};

// A component as the language engine sees it.
class TLanguageComponent {
public:
    virtual ~TLanguageComponent() = default;
    virtual std::string Name() const = 0;
    // Sets a published text property ("Caption", "Hint") when the component
    // has it; does nothing otherwise.
    virtual void SetTextProperty(const std::string& property, const std::string& value) = 0;
    // Sets the font when the component has one.
    virtual void SetFont(const TLanguageFont& font) = 0;
};

class TLanguageWindow : public TLanguageComponent {
public:
    // Owned components in creation order.
    virtual std::vector<TLanguageComponent*> Components() = 0;
};

// Sets value through SetTextProperty unless it is empty.
void SetTextProperty(TLanguageComponent& component, const std::string& property, const std::string& value);

void ApplyLanguageFile(const std::vector<TLanguageWindow*>& windows, const TMemIniFile& file);
void ApplyLanguageFonts(const std::vector<TLanguageWindow*>& windows);
void ApplyJapaneseFonts(TLanguageWindow& window);
// Fonts, then the file of LanguageNumber when it exists.
void ApplyLanguage(const std::vector<TLanguageWindow*>& windows);
