#include <gtest/gtest.h>

#include <algorithm>

#include "app/FormatType.h"

TEST(FormatType, FilterNamesEveryReadableFormatAndFollowsTheLanguage) {
    const std::string english = BuildOpenFilter(1);
    EXPECT_EQ(english.rfind("Image files|*.bmp;*.rle;*.dib;*.jpg;", 0), 0u);
    EXPECT_NE(english.find(";*.mag;*.pic;*.raw;|JPEG (*.jpg;*.jpeg;*.jpe)|*.jpg;*.jpeg;*.jpe|"), std::string::npos);
    const std::string tail = "Delphi resource (*.dcr)|*.dcr|";
    EXPECT_EQ(english.substr(english.size() - tail.size()), tail);
    // 19 entries of two parts, each part followed by "|".
    EXPECT_EQ(std::count(english.begin(), english.end(), '|'), 38);
    EXPECT_EQ(BuildOpenFilter(2).rfind("画像ファイル|*.bmp;", 0), 0u);
    EXPECT_EQ(BuildOpenFilter(7).rfind("Image files|", 0), 0u);
    EXPECT_EQ(BuildOpenFilter(2).substr(BuildOpenFilter(2).find('|')), english.substr(english.find('|')));
}
