#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace {
// Language numbers and the locales of the translations Qt ships for them.
constexpr struct {
    int Number;
    const char* Locale;
} kQtLocales[] = {
    {2, "ja"}, {3, "es"},    {5, "it"},  {6, "fr"},  {7, "de"},  {8, "ru"},
    {9, "pt_BR"}, {10, "nl"}, {11, "hu"}, {12, "sr"}, {13, "sr@latin"}, {14, "pl"},
};

std::unique_ptr<QTranslator>& Installed() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

// The locale of Qt's translation files for a language number, empty for none.
const char* QtTranslationLocale(int languageNumber) {
    for (const auto& row : kQtLocales)
        if (row.Number == languageNumber) return row.Locale;
    return "";
}
}  // namespace

bool ApplyQtTranslations(int languageNumber) {
    std::unique_ptr<QTranslator>& installed = Installed();
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    const QString locale = QString::fromLatin1(QtTranslationLocale(languageNumber));
    if (locale.isEmpty()) return false;
    auto translator = std::make_unique<QTranslator>();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // "qt_" is the catalogue that pulls in the module files (qtbase_ and
    // the rest); some installations carry only the module file.
    if (!translator->load(QStringLiteral("qt_") + locale, folder) &&
        !translator->load(QStringLiteral("qtbase_") + locale, folder))
        return false;
    if (!QCoreApplication::installTranslator(translator.get())) return false;
    installed = std::move(translator);
    return true;
}
