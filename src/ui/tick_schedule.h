#pragma once
// The phase of a periodic timer on a monotonic clock: tick k of a timer
// started at t0 is due at t0 + k·period, whatever the handlers cost. Both the
// real timer and the tests' virtual one use it.

#include <chrono>
#include <cstdint>

namespace ui {

class TickSchedule {
  public:
    using Clock = std::chrono::steady_clock;
    using Duration = std::chrono::nanoseconds;

    int period() const { return period_; }

    // False when nothing changed: the same period keeps the phase.
    bool setPeriod(int milliseconds, Duration now) {
        if (milliseconds < 0) milliseconds = 0;
        if (milliseconds == period_) return false;
        period_ = milliseconds;
        start_ = now;
        delivered_ = 0;
        return true;
    }

    bool running() const { return period_ > 0; }

    Duration nextDue() const {
        return start_ + std::chrono::milliseconds(period_) * (delivered_ + 1);
    }

    // Marks the next tick as handed out; ticks overdue after a busy spell are
    // handed out one at a time, none is skipped.
    void delivered() { ++delivered_; }

  private:
    int period_ = 0;
    Duration start_{};
    std::int64_t delivered_ = 0;
};

}  // namespace ui
