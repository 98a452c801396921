#pragma once

#include <cstdint>
#include <string>

#include "clock/session.h"

namespace timing {

// "0" in front of anything below 10, negative values included; never cut.
std::string twoDigitText(std::int32_t value);

// Rebuilds the three texts and writes HH:MM:SS into the clock label.
void refreshClock(Session& s);

void countUpTick(Session& s);    // 时钟1
void countDownTick(Session& s);  // 时钟2; ends the countdown at 00:00:00

}  // namespace timing
