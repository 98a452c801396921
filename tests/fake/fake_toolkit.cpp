#include "fake_toolkit.h"

namespace fake {

void Timer::setPeriod(int ms) {
    schedule.setPeriod(ms, tk_.now);
}

template <class T, class... A>
T& Toolkit::keep(A&&... a) {
    T* p = new T(std::forward<A>(a)...);
    owned_.emplace_back(p, [](void* q) { delete static_cast<T*>(q); });
    return *p;
}

ui::Window& Toolkit::createWindow(const ui::WindowDesign& d) {
    return keep<Window>(d);
}
ui::Button& Toolkit::createButton(ui::Window&, const ui::ControlDesign& d) {
    return keep<Button>(d);
}
ui::Label& Toolkit::createLabel(ui::Window&, const ui::ControlDesign& d) {
    return keep<Label>(d);
}
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

bool WebBox::isVisible() const {
    panel_.use();
    return visible_;
}
void WebBox::setVisible(bool v) {
    panel_.use();
    visible_ = v;
}
void WebBox::setBounds(int left, int top, int width, int height) {
    panel_.use();
    bounds = {left, top, width, height};
}
void WebBox::navigate(const std::string& url) {
    panel_.use();
    navigations.push_back(url);
}
void WebBox::reload() {
    panel_.use();
    ++reloads;
}

// Designed without a place: a top-level window is centred on a screen the
// fake does not have, so it starts at 0,0 with its designed size.
Panel::Panel(Toolkit& tk, const ui::WindowDesign& d, ui::Window& o)
    : design(d), owner(o), bounds{0, 0, d.width, d.height}, tk_(tk), title_(d.title) {}

void Panel::use() const {
    if (gone) ++tk_.usesAfterGone;
}
bool Panel::isVisible() const {
    use();
    return visible_;
}
void Panel::setVisible(bool v) {
    use();
    visible_ = v;
}
std::string Panel::title() const {
    use();
    return title_;
}
void Panel::setTitle(const std::string& t) {
    use();
    title_ = t;
}
void Panel::close() {
    use();
    tk_.queued.push_back([this] { destroy(); });
}
void Panel::setBounds(int left, int top, int width, int height) {
    use();
    bounds = {left, top, width, height};
}
void Panel::embedIn(ui::Window& o) {
    use();
    embeddedIn = &o;
}
ui::WebBox* Panel::webBox(const char* name) {
    use();
    for (auto& b : webBoxes) {
        if (b->design.name == std::string(name)) return b.get();
    }
    return nullptr;
}
ui::Timer* Panel::timer(const char* name) {
    use();
    for (auto& [n, t] : timers) {
        if (n == name) return t;
    }
    return nullptr;
}
void Panel::setOnGone(std::function<void()> handler) {
    use();
    onGone_ = std::move(handler);
}
void Panel::destroy() {
    if (gone) return;
    gone = true;
    visible_ = false;
    if (onGone_) onGone_();
}

ui::PanelLoad Toolkit::loadPanel(ui::Window& owner, const ui::WindowDesign& d,
                                 std::span<const ui::ControlDesign> controls) {
    if (!panelFailure.empty()) return {nullptr, panelFailure};
    Panel& p = keep<Panel>(*this, d, owner);
    for (const ui::ControlDesign& c : controls) {
        if (c.kind == ui::Kind::WebBox) {
            p.webBoxes.push_back(std::make_unique<WebBox>(c, p));
        } else if (c.kind == ui::Kind::Timer) {
            p.timers.emplace_back(c.name, &static_cast<Timer&>(createTimer(p, c)));
        }
    }
    panels.push_back(&p);
    return {&p, ""};
}

void Toolkit::runQueued() {
    while (!queued.empty()) {
        auto work = std::move(queued.front());
        queued.erase(queued.begin());
        work();
    }
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
