#include "qt/qt_timer.h"

#include <chrono>

namespace qtui {

Timer::Timer(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { fire(); });
}

ui::TickSchedule::Duration Timer::now() {
    return std::chrono::duration_cast<ui::TickSchedule::Duration>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void Timer::setPeriod(int milliseconds) {
    if (!schedule_.setPeriod(milliseconds, now())) return;
    timer_.stop();
    if (schedule_.running()) arm();
}

void Timer::arm() {
    auto wait = schedule_.nextDue() - now();
    // Round up: a tick must never come before its instant.
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    timer_.start(static_cast<int>(ms < 0 ? 0 : ms));
}

void Timer::fire() {
    if (!schedule_.running()) return;
    if (schedule_.nextDue() > now()) {  // woken early: wait for the instant itself
        arm();
        return;
    }
    schedule_.delivered();
    arm();  // before the handler, which may stop or restart this timer
    if (onTick_) onTick_();
}

}  // namespace qtui
