#include "app/LanguageWidgets.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QFont>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMainWindow>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTranslator>
#include <QVariant>

#include "platform/SystemInfo.h"

namespace {

// Dynamic property that keeps the character set a language chose.
constexpr const char* kCharsetProperty = "vorlixFontCharset";

bool IsCommonDialog(const QObject& object) { return qobject_cast<const QFileDialog*>(&object) != nullptr; }

// The tab widget that shows widget as one of its pages, if any.
QTabWidget* TabOf(const QWidget& widget) {
    QWidget* stack = widget.parentWidget();
    if (!qobject_cast<QStackedWidget*>(stack)) return nullptr;
    auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
    return tabs && tabs->indexOf(const_cast<QWidget*>(&widget)) >= 0 ? tabs : nullptr;
}

// An action without a tool tip of its own shows its text as one; that is
// no hint.
QString ActionHint(const QAction& action) {
    QAction plain;
    plain.setText(action.text());
    plain.setIconText(action.iconText());
    return action.toolTip() == plain.toolTip() ? QString() : action.toolTip();
}

TQtTextSlot CaptionSlot(const QObject& object) {
    if (qobject_cast<const QAction*>(&object)) return TQtTextSlot::Text;
    const auto* widget = qobject_cast<const QWidget*>(&object);
    if (!widget || IsCommonDialog(object)) return TQtTextSlot::None;
    // Menus are popup windows, so they are told apart before windows.
    if (qobject_cast<const QMenu*>(widget) || qobject_cast<const QGroupBox*>(widget)) return TQtTextSlot::Title;
    if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget)) return TQtTextSlot::Text;
    if (TabOf(*widget)) return TQtTextSlot::TabText;
    if (qobject_cast<const QMainWindow*>(widget) || qobject_cast<const QDialog*>(widget))
        return TQtTextSlot::WindowTitle;
    return TQtTextSlot::None;
}

}  // namespace

TQtTextSlot QtTextSlot(const QObject& object, std::string_view property) {
    if (property == "Caption") return CaptionSlot(object);
    if (property == "Hint") {
        if (qobject_cast<const QAction*>(&object)) return TQtTextSlot::ToolTip;
        if (object.isWidgetType() && !IsCommonDialog(object)) return TQtTextSlot::ToolTip;
    }
    return TQtTextSlot::None;
}

std::optional<QString> QtText(const QObject& object, std::string_view property) {
    auto* self = const_cast<QObject*>(&object);
    switch (QtTextSlot(object, property)) {
        case TQtTextSlot::None: return std::nullopt;
        case TQtTextSlot::WindowTitle: return static_cast<QWidget*>(self)->windowTitle();
        case TQtTextSlot::Title:
            if (auto* menu = qobject_cast<QMenu*>(self)) return menu->title();
            return static_cast<QGroupBox*>(self)->title();
        case TQtTextSlot::Text:
            if (auto* action = qobject_cast<QAction*>(self)) return action->text();
            if (auto* label = qobject_cast<QLabel*>(self)) return label->text();
            return static_cast<QAbstractButton*>(self)->text();
        case TQtTextSlot::TabText: {
            auto* page = static_cast<QWidget*>(self);
            QTabWidget* tabs = TabOf(*page);
            return tabs->tabText(tabs->indexOf(page));
        }
        case TQtTextSlot::ToolTip:
            if (auto* action = qobject_cast<QAction*>(self)) return ActionHint(*action);
            return static_cast<QWidget*>(self)->toolTip();
    }
    return std::nullopt;
}

bool SetQtText(QObject& object, std::string_view property, const QString& value) {
    switch (QtTextSlot(object, property)) {
        case TQtTextSlot::None: return false;
        case TQtTextSlot::WindowTitle: static_cast<QWidget&>(object).setWindowTitle(value); return true;
        case TQtTextSlot::Title:
            if (auto* menu = qobject_cast<QMenu*>(&object))
                menu->setTitle(value);
            else
                static_cast<QGroupBox&>(object).setTitle(value);
            return true;
        case TQtTextSlot::Text:
            if (auto* action = qobject_cast<QAction*>(&object))
                action->setText(value);
            else if (auto* label = qobject_cast<QLabel*>(&object))
                label->setText(value);
            else
                static_cast<QAbstractButton&>(object).setText(value);
            return true;
        case TQtTextSlot::TabText: {
            auto& page = static_cast<QWidget&>(object);
            QTabWidget* tabs = TabOf(page);
            tabs->setTabText(tabs->indexOf(&page), value);
            return true;
        }
        case TQtTextSlot::ToolTip:
            if (auto* action = qobject_cast<QAction*>(&object))
                action->setToolTip(value);
            else
                static_cast<QWidget&>(object).setToolTip(value);
            return true;
    }
    return false;
}

bool HasQtFont(const QObject& object) {
    return qobject_cast<const QAction*>(&object) || (object.isWidgetType() && !IsCommonDialog(object));
}

void ApplyLanguageFontTo(QFont& target, const TLanguageFont& font) {
    target.setFamily(QString::fromStdString(font.Face));
    // The platform's heights: negative is the character height in pixels,
    // positive the cell height, taken here as the pixel size as well.
    if (font.SetHeight && font.Height != 0) target.setPixelSize(font.Height < 0 ? -font.Height : font.Height);
}

bool SetQtFont(QObject& object, const TLanguageFont& font) {
    if (!HasQtFont(object)) return false;
    if (auto* action = qobject_cast<QAction*>(&object)) {
        QFont f = action->font();
        ApplyLanguageFontTo(f, font);
        action->setFont(f);
    } else {
        auto& widget = static_cast<QWidget&>(object);
        QFont f = widget.font();
        ApplyLanguageFontTo(f, font);
        widget.setFont(f);
    }
    object.setProperty(kCharsetProperty, font.Charset);
    return true;
}

std::optional<int> QtFontCharset(const QObject& object) {
    const QVariant value = object.property(kCharsetProperty);
    if (!value.isValid()) return std::nullopt;
    return value.toInt();
}

void InsertLanguageFontSubstitutions() {
    const QStringList japanese = {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                                  QStringLiteral("IPAGothic")};
    for (const char* face : {"ＭＳ Ｐゴシック", "メイリオ", "ＭＳ ゴシック", "MS UI Gothic"})
        QFont::insertSubstitutions(QString::fromUtf8(face), japanese);
    // Liberation Serif has the metrics of Times New Roman, so the English
    // texts fit the label widths laid out for it.
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"),
                                QStringLiteral("Noto Serif")});
    // The platform's dialog face; Liberation Sans is narrow enough for the
    // widths the save dialogs' controls were laid out with.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

void InstallPlatformTranslations() {
    if (GetDefaultLocaleId() != 1041) return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

// ---------------------------------------------------------------------------

class TQtLanguageWindow::TComponent : public TLanguageComponent {
public:
    explicit TComponent(QObject* object) : object_(object) {}
    std::string Name() const override { return object_ ? object_->objectName().toStdString() : std::string(); }
    void SetTextProperty(const std::string& property, const std::string& value) override {
        if (object_) SetQtText(*object_, property, QString::fromStdString(value));
    }
    void SetFont(const TLanguageFont& font) override {
        if (object_) SetQtFont(*object_, font);
    }

private:
    QPointer<QObject> object_;
};

TQtLanguageWindow::TQtLanguageWindow(QWidget& window, const TComponentList& components) : window_(&window) {
    for (QObject* component : components.Components()) components_.push_back(std::make_unique<TComponent>(component));
}

TQtLanguageWindow::~TQtLanguageWindow() = default;

std::string TQtLanguageWindow::Name() const { return window_ ? window_->objectName().toStdString() : std::string(); }

void TQtLanguageWindow::SetTextProperty(const std::string& property, const std::string& value) {
    if (window_) SetQtText(*window_, property, QString::fromStdString(value));
}

void TQtLanguageWindow::SetFont(const TLanguageFont& font) {
    if (window_) SetQtFont(*window_, font);
}

std::vector<TLanguageComponent*> TQtLanguageWindow::Components() {
    std::vector<TLanguageComponent*> list;
    for (const auto& component : components_) list.push_back(component.get());
    return list;
}

void ApplyLanguageToWindow(QWidget& window, const TComponentList& components) {
    TQtLanguageWindow adapted(window, components);
    ApplyLanguage({&adapted});
}
