// Usage: clock_bench [ticks]   (default 120; runs one second per tick)
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/startup.h"
#include "clock/timing_buttons.h"
#include "form/main_window.h"
#include "qt/qt_timer.h"
#include "qt/qt_toolkit.h"

namespace {

struct Lateness {
    std::vector<double> ms;
    void print(const char* what) const {
        std::vector<double> s = ms;
        std::sort(s.begin(), s.end());
        double median = s[s.size() / 2];
        double worst = std::max(std::abs(s.front()), std::abs(s.back()));
        std::size_t half = ms.size() / 2;
        double first = 0, second = 0;
        for (std::size_t i = 0; i < half; ++i) first += ms[i];
        for (std::size_t i = half; i < ms.size(); ++i) second += ms[i];
        first /= static_cast<double>(half);
        second /= static_cast<double>(ms.size() - half);
        std::printf("%-28s median %+7.2f ms  worst |%6.2f| ms  early %+6.2f  late half %+6.2f ms\n",
                    what, median, worst, first, second);
    }
};

// Desktop stand-in: the bench needs no boxes and no sound.
struct QuietDesktop final : ui::Desktop {
    void showMessage(const std::string&, const std::string&) override {}
    void playSound(std::span<const std::uint8_t>) override {}
    void openUrl(const std::string&) override {}
    text::DateTime now() const override { return {}; }
    std::string programFilePath() const override { return {}; }
};

}  // namespace

int main(int argc, char** argv) {
    int ticks = argc > 1 ? std::atoi(argv[1]) : 120;
    QApplication app(argc, argv);

    // 1. Lateness of every tick against start + k·1000 ms.
    QElapsedTimer clock;
    Lateness ours, plain;
    qtui::Timer timer;
    QTimer baseline;  // Qt's default: a coarse timer
    baseline.setInterval(1000);
    timer.setOnTick([&] {
        double k = static_cast<double>(ours.ms.size() + 1);
        ours.ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6 - k * 1000.0);
    });
    QObject::connect(&baseline, &QTimer::timeout, [&] {
        double k = static_cast<double>(plain.ms.size() + 1);
        plain.ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6 - k * 1000.0);
        if (static_cast<int>(plain.ms.size()) >= ticks &&
            static_cast<int>(ours.ms.size()) >= ticks) {
            app.quit();
        }
    });
    clock.start();
    timer.setPeriod(1000);
    baseline.start();
    app.exec();
    timer.setPeriod(0);
    baseline.stop();
    std::printf(
        "tick lateness over %d ticks of 1000 ms (goal: median <= 2, worst <= 10, no growth)\n",
        ticks);
    ours.print("kestrune timer");
    plain.print("default QTimer (baseline)");

    // 2. A handler that blocks the thread for 3.5 s costs the clock no second.
    ClockState state;
    QuietDesktop desktop;
    qtui::Toolkit toolkit;
    MainWindow w = form::createMainWindow(toolkit);
    Session s{w, state, desktop, toolkit};
    app::bindEvents(s);
    clock.restart();
    timing::clickCountUp(s);
    QTimer::singleShot(2500, [] { QThread::msleep(3500); });
    QTimer::singleShot(10500, [&] { app.quit(); });
    app.exec();
    timing::clickPause(s);
    long long whole = clock.elapsed() / 1000;
    int shown = state.hours * 3600 + state.minutes * 60 + state.seconds;
    std::printf("after a 3.5 s block: clock %d s, whole seconds elapsed %lld: %s\n", shown, whole,
                shown == whole ? "no second lost" : "SECONDS LOST");
    return 0;
}
