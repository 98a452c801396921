#include <gtest/gtest.h>

#include "ui/tick_schedule.h"

using namespace std::chrono;
using ui::TickSchedule;

TEST(TickSchedule, TickKIsDueAtStartPlusKPeriodsWhateverTheLateness) {
    TickSchedule s;
    ASSERT_TRUE(s.setPeriod(1000, seconds(10)));
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(s.nextDue(), seconds(10) + milliseconds(1000) * k);
        s.delivered();  // however late it was handed out
    }
}

TEST(TickSchedule, SamePeriodKeepsPhaseOtherRestartsZeroStops) {
    TickSchedule s;
    s.setPeriod(1000, seconds(0));
    s.delivered();
    EXPECT_FALSE(s.setPeriod(1000, milliseconds(1700)));
    EXPECT_EQ(s.nextDue(), seconds(2));
    EXPECT_TRUE(s.setPeriod(500, milliseconds(1700)));
    EXPECT_EQ(s.nextDue(), milliseconds(2200));
    EXPECT_TRUE(s.setPeriod(0, milliseconds(1800)));
    EXPECT_FALSE(s.running());
    EXPECT_FALSE(s.setPeriod(-5, milliseconds(1900)));  // negative is stopped too
}
