#pragma once

namespace text {

// Local date and time in whole seconds; no zone, no weekday.
struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

}  // namespace text
