#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "ui/controls.h"
#include "ui/tick_schedule.h"

namespace qtui {

// A timer that keeps its phase: each tick is armed for its own due instant on
// the monotonic clock, so handling time never accumulates, and ticks that fell
// due while the thread was blocked follow one by one.
class Timer final : public QObject, public ui::Timer {
  public:
    explicit Timer(QObject* parent = nullptr);
    int period() const override { return schedule_.period(); }
    void setPeriod(int milliseconds) override;
    void setOnTick(std::function<void()> handler) override { onTick_ = std::move(handler); }

  private:
    void arm();
    void fire();
    static ui::TickSchedule::Duration now();

    QTimer timer_;
    ui::TickSchedule schedule_;
    std::function<void()> onTick_;
};

}  // namespace qtui
