#pragma once
// The program-wide clock record, and what every handler works on.

#include <cstdint>
#include <string>

#include "form/main_window.h"
#include "ui/desktop.h"
#include "ui/toolkit.h"

struct ClockState {
    std::int32_t recordNo = 0;
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    std::int32_t seconds = 0;
    std::string hoursText;
    std::string minutesText;
    std::string secondsText;
};

// Handlers are plain functions over this: the form, the clock record and the
// desktop services.
struct Session {
    MainWindow& main;
    ClockState& clock;
    ui::Desktop& desktop;
    ui::Toolkit& toolkit;  // for windows made after start-up
};
