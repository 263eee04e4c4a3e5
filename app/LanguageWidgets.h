#pragma once
// The language engine's view of Qt windows: the published text and font
// properties of a component ("Caption", "Hint", "Font") mapped onto the Qt
// property each widget class has for them, and the windows with their
// component lists adapted to TLanguageWindow.

#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "app/Components.h"
#include "lang/IniLangEx.h"

class QFont;
class QObject;
class QWidget;

// Where a published text property lands on a Qt object.
enum class TQtTextSlot {
    None,         // the class has no such property
    WindowTitle,  // windows (main windows and dialogs)
    Title,        // menus, group boxes
    Text,         // actions (menu items), labels, buttons, check boxes, radio buttons
    TabText,      // pages of a tab widget
    ToolTip,      // "Hint" of every control and menu item
};

// "Caption" or "Hint" of the object's class; any other name has no slot.
// Common dialogs (file dialogs) publish neither, as the platform's dialog
// components have no caption of their own.
TQtTextSlot QtTextSlot(const QObject& object, std::string_view property);
// The property's text, or none when the class has no such property.
std::optional<QString> QtText(const QObject& object, std::string_view property);
// Sets it; false (and nothing changes) when the class has no such property.
bool SetQtText(QObject& object, std::string_view property, const QString& value);

// Whether the object publishes "Font" (controls and menu items do, common
// dialogs do not).
bool HasQtFont(const QObject& object);
// Sets face and character set of the object's font and, when the language
// font says so, its height; false when the object has no font.
bool SetQtFont(QObject& object, const TLanguageFont& font);
// The character set last set through SetQtFont (Qt has no counterpart; it
// is kept as a value), or none.
std::optional<int> QtFontCharset(const QObject& object);
// The Qt font of a language font's face: the substitutions below resolve the
// face names to installed fonts. Negative heights are pixel heights.
void ApplyLanguageFontTo(QFont& target, const TLanguageFont& font);

// Maps the designed and language face names ("ＭＳ Ｐゴシック", "メイリオ",
// "Times New Roman") to installed fonts that can show their texts. Call once
// after the application object exists.
void InsertLanguageFontSubstitutions();

// The platform's own texts (those of the file dialogs, for one) in the
// system's language: Qt's translations on a Japanese system. Call once
// after the application object exists.
void InstallPlatformTranslations();

// One Qt window and its components in creation order.
class TQtLanguageWindow : public TLanguageWindow {
public:
    TQtLanguageWindow(QWidget& window, const TComponentList& components);
    ~TQtLanguageWindow() override;

    std::string Name() const override;
    void SetTextProperty(const std::string& property, const std::string& value) override;
    void SetFont(const TLanguageFont& font) override;
    std::vector<TLanguageComponent*> Components() override;

private:
    class TComponent;
    QPointer<QWidget> window_;
    std::vector<std::unique_ptr<TComponent>> components_;
};

// ApplyLanguage (fonts, then the file of LanguageNumber) on one window.
void ApplyLanguageToWindow(QWidget& window, const TComponentList& components);
