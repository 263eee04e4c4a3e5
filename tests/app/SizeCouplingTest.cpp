#include <gtest/gtest.h>

#include "app/EvalThroughput.h"
#include "app/SizeCoupling.h"
#include "platform/Exceptions.h"

TEST(SizeCoupling, RoundsHalfUpFromTheDoubleRatio) {
    const struct {
        TSizeEdit own;
        int32_t value, sourceWidth, sourceHeight;
        int64_t width, height, ratio;
    } cases[] = {
        {TSizeEdit::Width, 100, 640, 480, 100, 75, 16},   // r = 0.15625: 75.5 -> 75, 16.125 -> 16
        {TSizeEdit::Ratio, 50, 641, 481, 321, 241, 50},   // 320.5 -> 321, 240.5 -> 241
        {TSizeEdit::Height, 480, 640, 480, 640, 480, 100},
        {TSizeEdit::Height, 1, 3, 3, 1, 1, 33},           // 33.33.. -> 33
        {TSizeEdit::Width, 2, 3, 3, 2, 2, 67},            // 66.66.. -> 67
        {TSizeEdit::Ratio, 1, 150, 149, 2, 1, 1},         // 1.5 -> 2, 1.49 -> 1
        {TSizeEdit::Ratio, -50, 100, 100, -49, -49, -50}, // Trunc(-49.5) is -49
        {TSizeEdit::Width, 2000000000, 1, 1, 2000000000, 2000000000, 200000000000},
    };
    for (const auto& c : cases) {
        const TCoupledValues v = CoupleSizes(c.own, c.value, c.sourceWidth, c.sourceHeight);
        EXPECT_EQ(v.Width, c.width) << c.value;
        EXPECT_EQ(v.Height, c.height) << c.value;
        EXPECT_EQ(v.Ratio, c.ratio) << c.value;
    }
    EXPECT_THROW(CoupleSizes(TSizeEdit::Width, 5, 0, 0), EZeroDivide);
}

TEST(EvalThroughput, FormatsElapsedMillisecondsAcrossTheTickWrap) {
    EXPECT_EQ(FormatThroughput(153), "153[ms]");
    EXPECT_EQ(FormatThroughput(0x10u - 0xFFFFFFF0u), "32[ms]");
    ResetThroughput();
    const std::string text = ThroughputText();
    ASSERT_GE(text.size(), 5u);
    EXPECT_EQ(text.substr(text.size() - 4), "[ms]");
    EXPECT_LT(std::stoi(text), 1000) << text;
}
