// The GUI tests run on Qt's offscreen platform; the registration sets it,
// and so does this main when the program is started by hand or listed.
// Fonts are substituted as the program does.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "app/LanguageWidgets.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    InsertLanguageFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
