#include <gtest/gtest.h>

#include "clock/clock.h"
#include "fake_program.h"
#include "resources/alarm_sound.h"

using fake::Program;

namespace {

struct Hms {
    int h, m, s;
};

class ClockTest : public ::testing::Test {
  protected:
    void SetUp() override { p.start(); }
    void set(Hms t) {
        p.clock.hours = t.h;
        p.clock.minutes = t.m;
        p.clock.seconds = t.s;
    }
    Program p;
};

}  // namespace

TEST(TwoDigitText, PadsBelowTenAndNeverCuts) {
    const std::pair<int, const char*> cases[] = {
        {0, "00"}, {9, "09"}, {10, "10"}, {100, "100"}, {123, "123"}, {-1, "0-1"},
    };
    for (auto [v, text] : cases) EXPECT_EQ(timing::twoDigitText(v), text);
}

TEST_F(ClockTest, CountUpCarriesIntoMinutesAndHours) {
    const std::pair<Hms, const char*> cases[] = {
        {{0, 0, 0}, "00:00:01"},   {{0, 0, 59}, "00:01:00"},    {{0, 59, 59}, "01:00:00"},
        {{9, 59, 59}, "10:00:00"}, {{99, 59, 59}, "100:00:00"}, {{1, 2, 3}, "01:02:04"},
    };
    for (auto [from, shown] : cases) {
        set(from);
        timing::countUpTick(p.session);
        EXPECT_EQ(p.clockText(), shown);
    }
}

TEST_F(ClockTest, CountDownBorrowsFromMinutesAndHours) {
    const std::pair<Hms, const char*> cases[] = {
        {{1, 0, 0}, "00:59:59"},   {{0, 10, 0}, "00:09:59"},  {{0, 1, 0}, "00:00:59"},
        {{100, 0, 0}, "99:59:59"}, {{0, 29, 35}, "00:29:34"}, {{2, 0, 1}, "02:00:00"},
    };
    for (auto [from, shown] : cases) {
        set(from);
        timing::countDownTick(p.session);
        EXPECT_EQ(p.clockText(), shown);
        EXPECT_TRUE(p.desktop.messages.size() == 1);  // the greeting only
    }
}

TEST_F(ClockTest, FirstTickAfterStartShowsOneSecond) {
    EXPECT_EQ(p.clockText(), "00:00:00");
    EXPECT_TRUE(p.clock.hoursText.empty());
    p.w.时钟1->setPeriod(1000);
    p.toolkit.advance(std::chrono::milliseconds(999));
    EXPECT_EQ(p.clockText(), "00:00:00");
    p.toolkit.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(p.clockText(), "00:00:01");
    EXPECT_EQ(p.clock.secondsText, "01");
}

// The end of a countdown: timer stopped, alarm started, the message shown
// while the clock still reads 00:00:01, then 00:00:00.
TEST_F(ClockTest, CountdownEndsWithAlarmAndMessage) {
    set({0, 0, 3});
    p.w.时钟2->setPeriod(1000);
    std::string shownWhileOpen;
    int periodWhileOpen = -1;
    std::size_t soundsWhileOpen = 0;
    p.desktop.whileMessageOpen = [&](const fake::Message&) {
        shownWhileOpen = p.clockText();
        periodWhileOpen = p.w.时钟2->period();
        soundsWhileOpen = p.desktop.sounds.size();
        p.toolkit.advanceSeconds(5);  // nothing ticks behind this box
    };
    p.toolkit.advanceSeconds(3);
    ASSERT_EQ(p.desktop.messages.size(), 2u);
    EXPECT_EQ(p.desktop.messages.back().title, "信息：");
    EXPECT_EQ(p.desktop.messages.back().text, "时间已结束");
    EXPECT_EQ(shownWhileOpen, "00:00:01");
    EXPECT_EQ(periodWhileOpen, 0);
    EXPECT_EQ(soundsWhileOpen, 1u);
    EXPECT_EQ(p.clockText(), "00:00:00");
    auto alarm = resources::alarmSound();
    EXPECT_TRUE(std::equal(alarm.begin(), alarm.end(), p.desktop.sounds[0].begin()));
    p.toolkit.advanceSeconds(10);
    EXPECT_EQ(p.clockText(), "00:00:00");
    EXPECT_EQ(p.desktop.messages.size(), 2u);
}

// A box opened by another handler does not stop a running count: the ticks
// go on behind it.
TEST_F(ClockTest, TicksGoOnWhileAMessageIsOpen) {
    p.w.时钟1->setPeriod(1000);
    p.toolkit.advanceSeconds(2);
    p.desktop.whileMessageOpen = [&](const fake::Message&) { p.toolkit.advanceSeconds(3); };
    p.desktop.showMessage("信息：", "x");
    EXPECT_EQ(p.clockText(), "00:00:05");
}

TEST_F(ClockTest, TimersKeepTheirPhase) {
    p.w.时钟1->setPeriod(1000);
    p.toolkit.advance(std::chrono::milliseconds(1500));
    EXPECT_EQ(p.clockText(), "00:00:01");
    p.w.时钟1->setPeriod(1000);  // the same period: the next tick stays at 2000 ms
    p.toolkit.advance(std::chrono::milliseconds(500));
    EXPECT_EQ(p.clockText(), "00:00:02");
    p.toolkit.advance(std::chrono::milliseconds(300));
    p.w.时钟1->setPeriod(500);  // another period: a fresh phase
    p.w.时钟1->setPeriod(1000);
    p.toolkit.advance(std::chrono::milliseconds(999));
    EXPECT_EQ(p.clockText(), "00:00:02");
    p.toolkit.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(p.clockText(), "00:00:03");
    p.w.时钟1->setPeriod(0);
    p.toolkit.advanceSeconds(10);
    EXPECT_EQ(p.clockText(), "00:00:03");
}
