#include "fake_toolkit.h"

namespace fake {

void Timer::setPeriod(int ms) { schedule.setPeriod(ms, tk_.now); }

template <class T, class... A>
T& Toolkit::keep(A&&... a) {
    T* p = new T(std::forward<A>(a)...);
    owned_.emplace_back(p, [](void* q) { delete static_cast<T*>(q); });
    return *p;
}

ui::Window& Toolkit::createWindow(const ui::WindowDesign& d) { return keep<Window>(d); }
ui::Button& Toolkit::createButton(ui::Window&, const ui::ControlDesign& d) {
    return keep<Button>(d);
}
ui::Label& Toolkit::createLabel(ui::Window&, const ui::ControlDesign& d) { return keep<Label>(d); }
ui::EditBox& Toolkit::createEditBox(ui::Window&, const ui::ControlDesign& d) {
    return keep<EditBox>(d);
}
ui::ComboBox& Toolkit::createComboBox(ui::Window&, const ui::ControlDesign& d) {
    return keep<ComboBox>(d);
}
ui::CheckList& Toolkit::createCheckList(ui::Window&, const ui::ControlDesign& d) {
    return keep<CheckList>(d);
}
ui::Control& Toolkit::createGroupBox(ui::Window&, const ui::ControlDesign& d) {
    return keep<Plain>(d);
}
ui::Control& Toolkit::createCalendar(ui::Window&, const ui::ControlDesign& d) {
    return keep<Plain>(d);
}
ui::Timer& Toolkit::createTimer(ui::Window&, const ui::ControlDesign&) {
    Timer& t = keep<Timer>(*this);
    timers_.push_back(&t);
    return t;
}

void Toolkit::advance(std::chrono::milliseconds by) {
    const auto target = now + by;
    for (;;) {
        Timer* next = nullptr;
        for (Timer* t : timers_) {
            if (t->schedule.running() && t->schedule.nextDue() <= target &&
                (!next || t->schedule.nextDue() < next->schedule.nextDue())) {
                next = t;
            }
        }
        if (!next) break;
        if (next->schedule.nextDue() > now) now = next->schedule.nextDue();
        next->schedule.delivered();
        if (next->onTick) next->onTick();
    }
    if (now < target) now = target;
}

}  // namespace fake
