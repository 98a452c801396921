#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "clock/timing_buttons.h"
#include "fake_program.h"

using fake::Program;
using std::chrono::milliseconds;

namespace {

// What the user sees of the timing state.
struct Seen {
    const char* caption1;
    bool enabled1;
    const char* caption2;
    bool enabled2;
    bool enabled5;
    const char* running;  // "", "时钟1" or "时钟2"
    const char* box;
    const char* clock;
};

Seen look(Program& p) {
    static std::string box, clock, c1, c2;
    MainWindow& w = p.w;
    box = w.编辑框2->text();
    clock = p.clockText();
    c1 = w.按钮1->caption();
    c2 = w.按钮2->caption();
    const char* running = w.时钟1->period() ? "时钟1" : w.时钟2->period() ? "时钟2" : "";
    return {c1.c_str(),           w.按钮1->isEnabled(), c2.c_str(),
            w.按钮2->isEnabled(), w.按钮5->isEnabled(), running,
            box.c_str(),          clock.c_str()};
}

void expectSeen(Program& p, const Seen& e, const std::string& where) {
    Seen s = look(p);
    EXPECT_STREQ(s.caption1, e.caption1) << where;
    EXPECT_EQ(s.enabled1, e.enabled1) << where;
    EXPECT_STREQ(s.caption2, e.caption2) << where;
    EXPECT_EQ(s.enabled2, e.enabled2) << where;
    EXPECT_EQ(s.enabled5, e.enabled5) << where;
    EXPECT_STREQ(s.running, e.running) << where;
    EXPECT_STREQ(s.box, e.box) << where;
    EXPECT_STREQ(s.clock, e.clock) << where;
}

using Action = std::function<void(Program&)>;

Action click(ui::Button* MainWindow::*b) {
    return [b](Program& p) { p.click(p.w.*b); };
}
Action type(const char* t) {
    return [t](Program& p) { p.type(p.w.编辑框2, t); };
}
Action wait(int ms) {
    return [ms](Program& p) { p.toolkit.advance(milliseconds(ms)); };
}
Action all(std::initializer_list<Action> as) {
    std::vector<Action> v(as);
    return [v](Program& p) {
        for (const Action& a : v) a(p);
    };
}

const Action ready = [](Program&) {};
const Action countingUp = all({click(&MainWindow::按钮1), wait(65'500)});  // 00:01:05, mid-second
const Action countUpPaused = all({countingUp, click(&MainWindow::按钮4)});
const Action countingDown = all({type("25"), click(&MainWindow::按钮2), wait(3'500)});  // 00:24:57
const Action countDownPaused = all({countingDown, click(&MainWindow::按钮4)});
const Action countDownEnded = all({type("1"), click(&MainWindow::按钮2), wait(60'000)});

struct Transition {
    const char* name;
    Action from;
    Action event;
    Seen expected;
};

}  // namespace

// Every transition of the timing buttons, as a user meets it: from a state,
// one event, and everything the window then shows.
TEST(TimingButtons, StateTable) {
    // Kept as written: one transition per entry reads as a table.
    // clang-format off
    const Transition table[] = {
        {"ready, 按钮1", ready, click(&MainWindow::按钮1),
         {"正计时", true, "倒计时", false, false, "时钟1", "", "00:00:00"}},
        {"ready, 按钮2 with 25", ready, all({type("25"), click(&MainWindow::按钮2)}),
         {"正计时", false, "倒计时", true, false, "时钟2", "25", "00:25:00"}},
        {"ready, 按钮2 with nothing", ready, click(&MainWindow::按钮2),
         {"正计时", false, "倒计时", true, false, "", "", "00:00:00"}},
        {"ready, 按钮4", ready, click(&MainWindow::按钮4),
         {"继续", true, "倒计时", true, false, "", "0", "00:00:00"}},
        {"counting up, 1 s later", countingUp, wait(1000),
         {"正计时", true, "倒计时", false, false, "时钟1", "", "00:01:06"}},
        {"counting up, 按钮4", countingUp, click(&MainWindow::按钮4),
         {"继续", true, "倒计时", false, true, "", "1", "00:01:05"}},
        {"counting up, 按钮1 changes nothing", countingUp,
         all({click(&MainWindow::按钮1), wait(500)}),
         {"正计时", true, "倒计时", false, false, "时钟1", "", "00:01:06"}},
        {"count-up paused, 继续 keeps the seconds", countUpPaused,
         all({click(&MainWindow::按钮1), wait(999)}),
         {"正计时", true, "倒计时", false, true, "时钟1", "1", "00:01:05"}},
        {"count-up paused, 继续 then a second", countUpPaused,
         all({click(&MainWindow::按钮1), wait(1000)}),
         {"正计时", true, "倒计时", false, true, "时钟1", "1", "00:01:06"}},
        {"count-up paused, paused again after 继续", countUpPaused,
         all({click(&MainWindow::按钮1), wait(2000), click(&MainWindow::按钮4)}),
         {"继续", true, "倒计时", false, true, "", "1", "00:01:07"}},
        {"counting down, 按钮4", countingDown, click(&MainWindow::按钮4),
         {"正计时", false, "继续", true, false, "", "24", "00:24:57"}},
        {"counting down, 40 typed, 按钮2 keeps seconds and phase", countingDown,
         all({type("40"), click(&MainWindow::按钮2), wait(500)}),
         {"正计时", false, "倒计时", true, false, "时钟2", "40", "00:40:56"}},
        {"count-down paused, 继续", countDownPaused,
         all({click(&MainWindow::按钮2), wait(1000)}),
         {"正计时", false, "倒计时", true, false, "时钟2", "24", "00:24:56"}},
        {"count-down paused, 45 typed, 继续", countDownPaused,
         all({type("45"), click(&MainWindow::按钮2)}),
         {"正计时", false, "倒计时", true, false, "时钟2", "45", "00:45:57"}},
        {"count-down paused, box emptied, 继续 refused", countDownPaused,
         all({type(""), click(&MainWindow::按钮2), wait(3000)}),
         {"正计时", false, "倒计时", true, false, "", "", "00:00:00"}},
        {"count-down ended", countDownEnded, wait(0),
         {"正计时", false, "倒计时", true, false, "", "1", "00:00:00"}},
        {"count-down ended, 按钮2 again", countDownEnded, click(&MainWindow::按钮2),
         {"正计时", false, "倒计时", true, false, "时钟2", "1", "00:01:00"}},
        {"count-down ended, 按钮4", countDownEnded, click(&MainWindow::按钮4),
         {"正计时", false, "继续", true, false, "", "0", "00:00:00"}},
        {"counting up, reset", countingUp, all({click(&MainWindow::按钮3), wait(5000)}),
         {"正计时", true, "倒计时", true, false, "", "", "00:00:00"}},
        {"count-up paused, reset", countUpPaused, click(&MainWindow::按钮3),
         {"正计时", true, "倒计时", true, false, "", "", "00:00:00"}},
        {"counting down, reset", countingDown, all({click(&MainWindow::按钮3), wait(5000)}),
         {"正计时", true, "倒计时", true, false, "", "", "00:00:00"}},
        {"count-down paused, reset", countDownPaused, click(&MainWindow::按钮3),
         {"正计时", true, "倒计时", true, false, "", "", "00:00:00"}},
    };
    // clang-format on
    for (const Transition& t : table) {
        Program p;
        p.start();
        t.from(p);
        t.event(p);
        expectSeen(p, t.expected, t.name);
    }
}

TEST(TimingButtons, MinutesBoxReadsFreeText) {
    const std::pair<const char*, const char*> cases[] = {
        {"90", "01:30:00"},
        {"6000", "100:00:00"},
        {"２５", "00:25:00"},
        {"３０", "00:30:00"},
        {"1.5", "00:01:00"},
        {"25分钟", "00:25:00"},
        {"2147483647", "35791394:07:00"},  // the hours are shown in full
    };
    for (auto [typed, shown] : cases) {
        Program p;
        p.start();
        p.type(p.w.编辑框2, typed);
        p.click(p.w.按钮2);
        EXPECT_EQ(p.clockText(), shown) << typed;
        EXPECT_EQ(p.w.时钟2->period(), 1000) << typed;
        EXPECT_EQ(p.desktop.messages.size(), 1u) << typed;
    }
}

TEST(TimingButtons, NonPositiveMinutesAreRefused) {
    for (const char* typed : {"", "0", "-5", "abc", "2147483648", "０", "- 5"}) {
        Program p;
        p.start();
        p.type(p.w.编辑框2, typed);
        p.click(p.w.按钮2);
        ASSERT_EQ(p.desktop.messages.size(), 2u) << typed;
        EXPECT_EQ(p.desktop.messages[1].title, "信息：");
        EXPECT_EQ(p.desktop.messages[1].text, timing::kNeedMinutes);
        expectSeen(p, {"正计时", false, "倒计时", true, false, "", typed, "00:00:00"}, typed);
    }
}

// A refusal while a countdown runs: the clock counts on behind the box,
// shows zero once it closes, and the running time again at the next tick.
TEST(TimingButtons, RefusalWhileCountingDown) {
    Program p;
    p.start();
    p.type(p.w.编辑框2, "25");
    p.click(p.w.按钮2);
    p.toolkit.advance(milliseconds(10'400));  // 00:24:50
    p.type(p.w.编辑框2, "abc");
    std::string shownInBox;
    p.desktop.whileMessageOpen = [&](const fake::Message&) {
        p.toolkit.advanceSeconds(3);
        shownInBox = p.clockText();
    };
    p.click(p.w.按钮2);
    EXPECT_EQ(shownInBox, "00:24:47");
    EXPECT_EQ(p.clockText(), "00:00:00");
    EXPECT_EQ(p.clock.hoursText + p.clock.minutesText + p.clock.secondsText, "000000");
    EXPECT_EQ(p.clock.minutes, 24);
    EXPECT_EQ(p.clock.seconds, 47);
    EXPECT_EQ(p.w.时钟2->period(), 1000);
    p.toolkit.advance(milliseconds(599));  // the old phase: ticks at …400 ms
    EXPECT_EQ(p.clockText(), "00:00:00");
    p.toolkit.advance(milliseconds(1));
    EXPECT_EQ(p.clockText(), "00:24:46");
}

TEST(TimingButtons, RefusedContinueThenTypedMinutesKeepTheSeconds) {
    Program p;
    p.start();
    p.type(p.w.编辑框2, "1");
    p.click(p.w.按钮2);
    p.toolkit.advanceSeconds(20);  // 00:00:40
    p.click(p.w.按钮4);
    EXPECT_EQ(p.w.编辑框2->text(), "0");
    EXPECT_EQ(p.w.按钮2->caption(), "继续");
    p.click(p.w.按钮2);  // 0: refused
    EXPECT_EQ(p.clockText(), "00:00:00");
    EXPECT_EQ(p.w.按钮2->caption(), "倒计时");
    p.type(p.w.编辑框2, "2");
    p.click(p.w.按钮2);
    EXPECT_EQ(p.clockText(), "00:02:40");
}

TEST(TimingButtons, PauseContinueRoundTripsKeepTheSeconds) {
    {  // countdown from 01:05:20
        Program p;
        p.start();
        p.type(p.w.编辑框2, "66");
        p.click(p.w.按钮2);
        p.toolkit.advanceSeconds(40);
        p.click(p.w.按钮4);
        EXPECT_EQ(p.w.编辑框2->text(), "65");
        p.toolkit.advanceSeconds(30);
        p.click(p.w.按钮2);
        EXPECT_EQ(p.clockText(), "01:05:20");
        p.toolkit.advanceSeconds(20 + 65 * 60);
        EXPECT_EQ(p.clockText(), "00:00:00");
        EXPECT_EQ(p.desktop.messages.back().text, "时间已结束");
    }
    {  // count-up at 01:12:30
        Program p;
        p.start();
        p.click(p.w.按钮1);
        p.toolkit.advanceSeconds(72 * 60 + 30);
        p.click(p.w.按钮4);
        EXPECT_EQ(p.w.编辑框2->text(), "72");
        EXPECT_EQ(p.w.按钮1->caption(), "继续");
        EXPECT_TRUE(p.w.按钮5->isEnabled());
        p.toolkit.advanceSeconds(30);
        p.click(p.w.按钮1);
        p.toolkit.advanceSeconds(1);
        EXPECT_EQ(p.clockText(), "01:12:31");
        EXPECT_TRUE(p.w.按钮5->isEnabled());
    }
}

TEST(TimingButtons, ResetLeavesRecordsAlone) {
    Program p;
    p.start();
    p.clock.recordNo = 3;
    p.w.按钮6->setEnabled(true);
    p.w.编辑框1->appendText("\r\nNo.1：x");
    std::string log = p.w.编辑框1->text();
    p.click(p.w.按钮1);
    p.toolkit.advanceSeconds(5);
    p.click(p.w.按钮3);
    EXPECT_EQ(p.clock.recordNo, 3);
    EXPECT_TRUE(p.w.按钮6->isEnabled());
    EXPECT_EQ(p.w.编辑框1->text(), log);
}
