#include "clock/clock.h"

#include "resources/alarm_sound.h"
#include "text/convert.h"

namespace timing {

std::string twoDigitText(std::int32_t value) {
    if (value < 10) return "0" + text::intToText(value);
    return text::intToText(value);
}

void refreshClock(Session& s) {
    ClockState& c = s.clock;
    c.hoursText = twoDigitText(c.hours);
    c.minutesText = twoDigitText(c.minutes);
    c.secondsText = twoDigitText(c.seconds);
    s.main.标签2->setCaption(c.hoursText + ":" + c.minutesText + ":" + c.secondsText);
}

void countUpTick(Session& s) {
    ClockState& c = s.clock;
    c.seconds += 1;
    if (c.seconds > 59) {
        c.seconds = 0;
        c.minutes += 1;
        if (c.minutes > 59) {
            c.minutes = 0;
            c.hours += 1;
        }
    }
    refreshClock(s);
}

void countDownTick(Session& s) {
    ClockState& c = s.clock;
    c.seconds -= 1;
    if ((c.hours > 0 || c.minutes > 0) && c.seconds == -1) {
        c.seconds = 59;
        c.minutes -= 1;
        if (c.hours > 0 && c.minutes == -1) {
            c.minutes = 59;
            c.hours -= 1;
        }
    }
    if (c.hours == 0 && c.minutes == 0 && c.seconds == 0) {
        s.main.时钟2->setPeriod(0);
        s.desktop.playSound(resources::alarmSound());
        // The label still shows 00:00:01 while the box is open.
        s.desktop.showMessage("信息：", "时间已结束");
    }
    refreshClock(s);
}

}  // namespace timing
