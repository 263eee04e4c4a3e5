// The desktop program: the main window on the platform's event loop.

#include <QApplication>
#include <QScreen>
#include <string>
#include <vector>

#include "app/DesktopIcons.h"
#include "app/LanguageWidgets.h"
#include "app/Settings.h"
#include "app/Unit1.h"
#include "app/StartUp.h"
#include "platform/SystemInfo.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);  // takes its own options out of argv
    QApplication::setApplicationName(QStringLiteral("vorlix"));
    // The window and dialogs name the faces of the system they were
    // designed on; these map them to installed fonts.
    InsertLanguageFontSubstitutions();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) SetDisplayColourDepth(screen->depth());
    InitializeProgramUnits();
    InstallDesktopIconProviders();

    int result = 0;
    {
        TForm1Options options;
        options.ProgramPath = ProgramPath();
        options.Arguments.assign(argv + 1, argv + argc);
        options.SettingsFile = SettingsFileName();
        TForm1 form(options);
        form.show();
        result = QApplication::exec();
    }
    FinalizeProgramUnits();
    return result;
}
