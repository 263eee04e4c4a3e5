#include <gtest/gtest.h>

#include "app/FormatType.h"
#include "lang/IniLangEx.h"

TEST(FormatType, OpenFilterByLanguage) {
    LanguageNumber = 2;
    const std::string japanese = BuildOpenFilter();
    EXPECT_EQ(japanese.rfind("画像ファイル|*.bmp;*.rle;*.dib;*.jpg;", 0), 0u);
    LanguageNumber = 1;
    const std::string english = BuildOpenFilter();
    EXPECT_EQ(english.rfind("Image files|*.bmp;", 0), 0u);
    EXPECT_NE(english.find(";*.mag;*.pic;*.raw;|JPEG (*.jpg;*.jpeg;*.jpe)|*.jpg;*.jpeg;*.jpe|Bitmap"), std::string::npos);
    const std::string tail = "Delphi resource (*.dcr)|*.dcr|";
    EXPECT_EQ(english.substr(english.size() - tail.size()), tail);
    EXPECT_EQ(std::count(english.begin(), english.end(), '|'), 38);
    LanguageNumber = 0;

    const std::string qt = OpenFilterToQt("Image files|*.bmp;*.png;|PNG (*.png)|*.png|");
    EXPECT_EQ(qt, "Image files (*.bmp *.png);;PNG (*.png)");
}
