#include <gtest/gtest.h>

#include "FilterTestPictures.h"
#include "images/Effector/CustomFilter.h"
#include "images/Effector/DCTUtils.h"
#include "images/Effector/UpscalePrefilter.h"
#include "support/TestPictures.h"

using filter_tests::ExpectSamePicture;
using testing_support::RandomBitmap;

TEST(UpscalePrefilter, CommandNamesReportNamesAndFilters) {
    const struct {
        TUpscalePrefilter prefilter;
        const char* command;
        const char* report;
        int cut;  // 0: the median, -1: nothing
    } cases[] = {
        {TUpscalePrefilter::None, "none", "", -1},
        {TUpscalePrefilter::DCTCut7, "dct7", "DCT cut7", 7},
        {TUpscalePrefilter::DCTCut6, "dct6", "DCT cut6", 6},
        {TUpscalePrefilter::DCTCut5, "dct5", "DCT cut5", 5},
        {TUpscalePrefilter::Median, "median", "Median filter", 0},
    };
    const TBitmap original = RandomBitmap(21, 13, 6, pf8bit);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(ParseUpscalePrefilter(c.command), c.prefilter);
        EXPECT_STREQ(UpscalePrefilterCommandName(c.prefilter), c.command);
        EXPECT_STREQ(UpscalePrefilterReportName(c.prefilter), c.report);

        TBitmap expected = original, actual = original;
        if (c.cut > 0) DCTHighCut(expected, c.cut);
        else if (c.cut == 0) EdgePreservingMedian(expected);
        ApplyUpscalePrefilter(actual, c.prefilter);
        ExpectSamePicture(actual, expected);
    }
}

TEST(UpscalePrefilter, UnknownCommandNamesGiveNoValue) {
    for (const char* name : {"", "DCT7", "dct8", "dct", "Median", "median ", "cut7"})
        EXPECT_FALSE(ParseUpscalePrefilter(name).has_value()) << name;
    EXPECT_STREQ(UpscalePrefilterCommandNames, "none|dct7|dct6|dct5|median");
}

TEST(UpscalePrefilter, OnlyScalesAboveOneHundredPercentArePrefiltered) {
    EXPECT_FALSE(UpscalePrefilterApplies(100));
    EXPECT_FALSE(UpscalePrefilterApplies(50));
    EXPECT_FALSE(UpscalePrefilterApplies(-200));
    EXPECT_TRUE(UpscalePrefilterApplies(101));
    EXPECT_TRUE(UpscalePrefilterApplies(400));
}
