#include <gtest/gtest.h>

#include "save/JPEGSession.h"

TEST(JPEGProgressPercent, PassesAndPartsOfPassesRoundedToNearestEven) {
    struct Case {
        int completed;
        long counter, limit;
        int total;
        int percent;
    };
    const Case cases[] = {
        {0, 0, 100, 1, 0},  {0, 50, 100, 1, 50}, {0, 1, 3, 1, 33}, {1, 1, 4, 2, 62},  // 62.5
        {1, 3, 4, 2, 88},  // 87.5
        {2, 0, 0, 3, 67},   {3, 0, 10, 3, 100},  {0, 5, 10, 0, 0},
    };
    for (const Case& c : cases) {
        jpeg_progress_mgr progress{};
        progress.completed_passes = c.completed;
        progress.pass_counter = c.counter;
        progress.pass_limit = c.limit;
        progress.total_passes = c.total;
        EXPECT_EQ(JPEGProgressPercent(progress), c.percent) << c.completed << " " << c.counter << "/" << c.limit;
    }
}

TEST(TProgressThrottle, AtMostOncePerIntervalAndOnlyOnChange) {
    TProgressThrottle throttle(1000);
    EXPECT_FALSE(throttle.Due(1499, 10));
    EXPECT_TRUE(throttle.Due(1500, 10));
    EXPECT_FALSE(throttle.Due(2100, 10));  // unchanged
    EXPECT_TRUE(throttle.Due(2100, 11));
    EXPECT_FALSE(throttle.Due(2300, 12));  // too soon after the last report
    EXPECT_TRUE(throttle.Due(2600, 12));
    TProgressThrottle fromStart(0, 0);
    EXPECT_FALSE(fromStart.Due(5, 0));  // every operation starts at 0
    EXPECT_TRUE(fromStart.Due(5, 1));
    // The tick counter wraps like the platform's millisecond timer.
    TProgressThrottle wrapping(0xFFFFFF00u);
    EXPECT_TRUE(wrapping.Due(0x200u, 5));
}
