#include "app/startup.h"

#include "clock/clock.h"
#include "clock/timing_buttons.h"
#include "extras/calendar_links.h"
#include "extras/music.h"
#include "records/log.h"
#include "records/records.h"

namespace app {

void setUpMainWindow(Session& s) {
    MainWindow& w = s.main;
    s.desktop.showMessage(kGreetingTitle, kGreeting);
    w.window->setTitle(kTitle);
    s.clock.hours = 0;
    s.clock.minutes = 0;
    s.clock.seconds = 0;
    s.clock.recordNo = 1;
    w.标签2->setCaption("00:00:00");
    records::resetLog(s);
    w.按钮5->setEnabled(false);
    w.按钮6->setEnabled(false);
    w.按钮9->setEnabled(false);
    w.按钮10->setEnabled(false);
    w.按钮11->setEnabled(false);
}

void bindEvents(Session& s) {
    MainWindow& w = s.main;
    w.时钟1->setOnTick([&s] { timing::countUpTick(s); });
    w.时钟2->setOnTick([&s] { timing::countDownTick(s); });
    timing::bindButtons(s);
    records::bindButtons(s);
    extras::bindCalendarAndLinks(s);
    extras::bindMusic(s);
}

void exitCleanUp(ClockState& clock) {
    clock.hoursText.clear();
    clock.hoursText.shrink_to_fit();
    clock.minutesText.clear();
    clock.minutesText.shrink_to_fit();
    clock.secondsText.clear();
    clock.secondsText.shrink_to_fit();
}

}  // namespace app
