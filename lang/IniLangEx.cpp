#include "lang/IniLangEx.h"

#include "platform/CodePages.h"
#include "platform/ProgramPlaces.h"
#include "platform/SystemInfo.h"

uint8_t LanguageNumber = 0;
std::string LanguageFolder;
std::unique_ptr<TMemIniFile> LanguageFile;

namespace {

struct LanguageRow {
    const char* BaseName;
    const char* CodePage;  // nullptr: the system's ANSI code page
};

constexpr LanguageRow kLanguages[] = {
    {"English", "CP1252"},   {"Japanese", "CP932"},  {"Spanish", "CP1252"},   {"Custom", nullptr},
    {"Italian", "CP1252"},   {"French", "CP1252"},   {"German", "CP1252"},    {"Russian", "CP1251"},
    {"Portuguese", "CP1252"}, {"Nederlands", "CP1252"}, {"Hungarian", "CP1250"}, {"Serbian_C", "CP1251"},
    {"Serbian_L", "CP1250"}, {"Polish", "CP1250"},
};

const LanguageRow* Row(int number) {
    if (number < 1 || number > static_cast<int>(std::size(kLanguages))) return nullptr;
    return &kLanguages[number - 1];
}

std::string WindowPrefix(const std::string& name) { return name.substr(0, name.find('_')); }

TLanguageFont FontFor(bool japanese) {
    if (!japanese) return {"Times New Roman", 1, false, 0};
    if (IsVistaOrLater()) return {"メイリオ", 128, true, -11};
    return {"ＭＳ Ｐゴシック", 128, false, 0};
}

void ApplyFonts(TLanguageWindow& window, bool japanese) {
    TLanguageFont font = FontFor(japanese);
    TLanguageFont windowFont = font;
    windowFont.SetHeight = false;  // the window keeps its own height
    window.SetFont(windowFont);
    for (TLanguageComponent* component : window.Components())
        if (component) component->SetFont(font);
}

}  // namespace

std::string LanguageBaseName(int number) {
    const LanguageRow* row = Row(number);
    return row ? row->BaseName : "";
}

const char* LanguageCodePage(int number) {
    const LanguageRow* row = Row(number);
    return row && row->CodePage ? row->CodePage : SystemAnsiCodePage();
}

std::string LanguageFileName(int number) {
    return LanguageBaseFolder() + LanguageFolder + LanguageBaseName(number) + ".ini";
}

std::unique_ptr<TMemIniFile> OpenLanguageFile(int number) {
    const std::string fileName = LanguageFileName(number);
    if (!FileExists(fileName)) return nullptr;
    return std::make_unique<TMemIniFile>(fileName, LanguageCodePage(number));
}

std::string DropComment(const std::string& value) { return value.substr(0, value.find("//")); }

std::string LookupMessage(const std::string& defaultText, const std::string& key) {
    if (!LanguageFile) return defaultText;
    std::string text = DropComment(LanguageFile->ReadString("Misc", key, defaultText));
    static const std::string kBreak = "*|*";
    if (text.find(kBreak) == std::string::npos) return text;
    // An empty piece met while nothing is collected yet adds no line.
    std::string out;
    size_t at;
    while ((at = text.find(kBreak)) != std::string::npos) {
        const std::string piece = text.substr(0, at);
        out = out.empty() ? piece : out + "\r\n" + piece;
        text = text.substr(at + kBreak.size());
    }
    return out + "\r\n" + text;
}

bool IsVistaOrLater() { return GetOsMajorVersion() > 5; }

void SetTextProperty(TLanguageComponent& component, const std::string& property, const std::string& value) {
    if (!value.empty()) component.SetTextProperty(property, value);
}

void ApplyLanguageFile(const std::vector<TLanguageWindow*>& windows, const TMemIniFile& file) {
    for (TLanguageWindow* window : windows) {
        if (!window) continue;
        const std::string name = WindowPrefix(window->Name());
        SetTextProperty(*window, "Caption", DropComment(file.ReadString(name, name + ".Caption", "")));
        for (TLanguageComponent* component : window->Components()) {
            if (!component) continue;
            const std::string prefix = name + "." + component->Name();
            SetTextProperty(*component, "Caption", DropComment(file.ReadString(name, prefix + ".Caption", "")));
            SetTextProperty(*component, "Hint", DropComment(file.ReadString(name, prefix + ".Hint", "")));
        }
    }
}

void ApplyLanguageFonts(const std::vector<TLanguageWindow*>& windows) {
    if (!windows.empty() && windows.front()) ApplyFonts(*windows.front(), LanguageNumber == 2);
}

void ApplyJapaneseFonts(TLanguageWindow& window) { ApplyFonts(window, true); }

void ApplyLanguage(const std::vector<TLanguageWindow*>& windows) {
    ApplyLanguageFonts(windows);
    LanguageFile = OpenLanguageFile(LanguageNumber);
    if (LanguageFile) ApplyLanguageFile(windows, *LanguageFile);
    LanguageFile.reset();
}
