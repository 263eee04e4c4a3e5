#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"
#include "platform/SystemInfo.h"

TEST(SysUtils, StrToIntAcceptsDecimalIntegersOnly) {
    const struct {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {{"42", true, 42},           {"  -7", true, -7},         {"+3", true, 3},
                 {"2147483647", true, 2147483647}, {"-2147483648", true, INT32_MIN},
                 {"2147483648", false, 0},   {"", false, 0},             {"12a", false, 0},
                 {"1 ", false, 0},           {"-", false, 0},            {"0x10", false, 0}};
    for (const auto& c : cases) {
        int32_t value = 0;
        EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
    try {
        StrToInt("abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' は整数ではありません");
    }
}

TEST(SysUtils, FileNameParts) {
    EXPECT_EQ(ExtractFileExt("/a.b/c"), "");
    EXPECT_EQ(ExtractFileExt("/a/photo.TGA"), ".TGA");
    EXPECT_EQ(ExtractFileName("/a/photo.tga"), "photo.tga");
    EXPECT_EQ(ExtractFilePath("/a/photo.tga"), "/a/");
    EXPECT_EQ(ChangeFileExt("/a.d/photo", ".ini"), "/a.d/photo.ini");
    EXPECT_EQ(ChangeFileExt("/a/vorlix.bin", ".ini"), "/a/vorlix.ini");
}

TEST(SystemInfo, LocaleFollowsTheEnvironmentUnlessOverridden) {
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(GetDefaultLocaleId(), 1041u);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(GetDefaultLocaleId(), 1033u);
    SetDefaultLocaleIdOverride(1041);
    EXPECT_EQ(GetDefaultLocaleId(), 1041u);
    SetDefaultLocaleIdOverride(std::nullopt);
    unsetenv("LC_ALL");
    EXPECT_FALSE(ProgramPath().empty());
    EXPECT_EQ(ProgramFolder().back(), '/');
}
