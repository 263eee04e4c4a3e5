// Shows the save dialogs as the main window would, for looking at them by
// hand (under Xvfb for the screenshots in docs/):
//   vorlix_save_dialog_preview [--legacy] [--japanese] [--type N] [--options] [--dir FOLDER]
// --legacy shows the older dialog (as on a system before major version 6),
// --japanese takes the Japanese texts and locale, --type selects the file
// type N (1-based) once the dialog is up, --options then clicks "Options...".
// Prints the confirmed path and type.

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/LanguageWidgets.h"
#include "lang/IniLangEx.h"
#include "platform/SystemInfo.h"
#include "save/ItemFileDialog.h"
#include "save/SaveDialogBackends.h"
#include "save/SaveDialogPassport.h"
#include "save/novFileSaveDialog.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    InsertLanguageFontSubstitutions();
    bool legacy = false, japanese = false, options = false;
    int type = 0;
    std::string folder = "/tmp";
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--legacy")) legacy = true;
        if (!std::strcmp(argv[i], "--japanese")) japanese = true;
        if (!std::strcmp(argv[i], "--options")) options = true;
        if (!std::strcmp(argv[i], "--type") && i + 1 < argc) type = std::atoi(argv[++i]);
        if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) folder = argv[++i];
    }
    SetOsMajorVersionOverride(legacy ? 5 : 10);
    SetDefaultLocaleIdOverride(japanese ? 1041 : 1033);
    InstallPlatformTranslations();
    // The shipped language files, read where they are made.
    SetProgramPathOverride(std::string(VORLIX_LANGUAGE_SOURCE_DIR) + "/../vorlix");
    LanguageFolder = "files/";
    LanguageNumber = japanese ? 2 : 1;
    InstallSaveDialogBackends();

    TSaveDialogPassport passport;
    for (const TKestruneFileTypeInfo& row : SaveFileTypeTable)
        passport.FileTypes.push_back({std::string(row.DisplayName), std::string(row.FileMask)});
    LoadSaveDialogCaptions(passport);
    passport.FileName = "shot";
    passport.InitialDir = folder;
    passport.JPEGQuality = 85;
    passport.ExifCopy = passport.ExifThumbUpdate = true;

    QTimer::singleShot(500, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        if (type > 0) SelectFileTypeCombo(*dialog, type);
        if (options)
            if (auto* item = qobject_cast<TItemFileDialog*>(dialog))
                if (QPushButton* button = item->AddedButton(kOptionButtonId)) button->click();
    });
    const bool confirmed = passport.Execute();
    std::printf("%s %s type %d quality %d rle %d\n", confirmed ? "confirmed" : "cancelled", passport.FileName.c_str(),
                static_cast<int>(passport.SelectedFileType()), passport.JPEGQuality, passport.TGARLECompression);
    return 0;
}
