#include "clock/timing_buttons.h"

#include "clock/clock.h"
#include "text/convert.h"

namespace timing {

void clickCountUp(Session& s) {
    MainWindow& w = s.main;
    w.按钮2->setEnabled(false);
    w.时钟1->setPeriod(1000);  // already running: the phase is kept
    if (w.按钮1->caption() == kContinue) w.按钮1->setCaption(kCountUp);
}

void clickCountDown(Session& s) {
    MainWindow& w = s.main;
    ClockState& c = s.clock;
    w.按钮1->setEnabled(false);
    if (w.按钮2->caption() == kContinue) w.按钮2->setCaption(kCountDown);
    std::int32_t n = text::textToInt(w.编辑框2->text());
    if (n <= 0) {
        // A running countdown goes on behind the box; the clock shows zero
        // until its next tick.
        s.desktop.showMessage("信息：", kNeedMinutes);
        c.hoursText = "00";
        c.minutesText = "00";
        c.secondsText = "00";
        w.标签2->setCaption("00:00:00");
        return;
    }
    w.时钟2->setPeriod(1000);
    c.hours = n / 60;
    c.minutes = n % 60;
    refreshClock(s);
}

void clickPause(Session& s) {
    MainWindow& w = s.main;
    ClockState& c = s.clock;
    w.时钟1->setPeriod(0);
    w.时钟2->setPeriod(0);
    // Widened: no reachable clock overflows, but a wrap must not be undefined.
    auto total = static_cast<std::int64_t>(c.hours) * 60 + c.minutes;
    w.编辑框2->setText(text::intToText(static_cast<std::int32_t>(total)));
    if (!w.按钮1->isEnabled()) {
        w.按钮2->setCaption(kContinue);
    } else {
        w.按钮1->setCaption(kContinue);
    }
    if (!w.按钮2->isEnabled()) w.按钮5->setEnabled(true);
}

void clickReset(Session& s) {
    MainWindow& w = s.main;
    ClockState& c = s.clock;
    c.hours = 0;
    c.minutes = 0;
    c.seconds = 0;
    c.hoursText = "00";
    c.minutesText = "00";
    c.secondsText = "00";
    w.编辑框2->setText("");
    w.时钟1->setPeriod(0);
    w.时钟2->setPeriod(0);
    w.按钮1->setEnabled(true);
    w.按钮2->setEnabled(true);
    w.按钮5->setEnabled(false);
    w.标签2->setCaption("00:00:00");
    w.按钮1->setCaption(kCountUp);
    w.按钮2->setCaption(kCountDown);
}

void bindButtons(Session& s) {
    MainWindow& w = s.main;
    w.按钮1->setOnClicked([&s] { clickCountUp(s); });
    w.按钮2->setOnClicked([&s] { clickCountDown(s); });
    w.按钮3->setOnClicked([&s] { clickReset(s); });
    w.按钮4->setOnClicked([&s] { clickPause(s); });
}

}  // namespace timing
