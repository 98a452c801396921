#pragma once
// In-memory controls and virtual time: the whole behaviour runs under
// GoogleTest in microseconds, with no display.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/desktop.h"
#include "ui/music_panel.h"
#include "ui/tick_schedule.h"
#include "ui/toolkit.h"

namespace fake {

class Toolkit;

class Designed {
  public:
    explicit Designed(const ui::ControlDesign& d) : design(d), visible_(d.visible) {}
    virtual ~Designed() = default;
    ui::ControlDesign design;

  protected:
    bool visible_;
};

#define FAKE_VISIBILITY                \
    bool isVisible() const override {  \
        return visible_;               \
    }                                  \
    void setVisible(bool v) override { \
        visible_ = v;                  \
    }

class Button final : public ui::Button, public Designed {
  public:
    explicit Button(const ui::ControlDesign& d) : Designed(d), caption_(d.text) {}
    FAKE_VISIBILITY
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& t) override { caption_ = t; }
    bool isEnabled() const override { return enabled_; }
    void setEnabled(bool e) override { enabled_ = e; }
    void setOnClicked(std::function<void()> h) override { onClicked_ = std::move(h); }
    // A user's click: reaches the handler only when the button can take it.
    bool click() {
        if (!enabled_ || !visible_ || !onClicked_) return false;
        onClicked_();
        return true;
    }

  private:
    std::string caption_;
    bool enabled_ = true;
    std::function<void()> onClicked_;
};

class Label final : public ui::Label, public Designed {
  public:
    explicit Label(const ui::ControlDesign& d) : Designed(d), caption_(d.text) {}
    FAKE_VISIBILITY
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& t) override { caption_ = t; }

  private:
    std::string caption_;
};

class EditBox final : public ui::EditBox, public Designed {
  public:
    explicit EditBox(const ui::ControlDesign& d) : Designed(d), text_(d.text) {}
    FAKE_VISIBILITY
    std::string text() const override { return text_; }
    void setText(const std::string& t) override { text_ = t; }
    void appendText(const std::string& t) override { text_ += t; }
    // The user typing into the box; a read-only log takes nothing.
    void type(const std::string& t) {
        if (design.kind != ui::Kind::LogBox) text_ = t;
    }

  private:
    std::string text_;
};

class ComboBox final : public ui::ComboBox, public Designed {
  public:
    explicit ComboBox(const ui::ControlDesign& d)
        : Designed(d),
          items_(d.items.begin(), d.items.end()),
          text_(d.text),
          current_(d.currentIndex) {}
    FAKE_VISIBILITY
    std::string text() const override { return text_; }
    int currentIndex() const override { return current_; }
    int count() const override { return static_cast<int>(items_.size()); }
    std::string itemText(int i) const override {
        return i >= 0 && i < count() ? items_[static_cast<std::size_t>(i)] : std::string();
    }
    void pick(int i) {
        current_ = i;
        text_ = itemText(i);
    }
    void type(const std::string& t) { text_ = t; }

  private:
    std::vector<std::string> items_;
    std::string text_;
    int current_;
};

class CheckList final : public ui::CheckList, public Designed {
  public:
    explicit CheckList(const ui::ControlDesign& d)
        : Designed(d), items_(d.items.begin(), d.items.end()), current_(d.currentIndex) {}
    FAKE_VISIBILITY
    int currentIndex() const override { return current_; }
    int count() const override { return static_cast<int>(items_.size()); }
    std::string itemText(int i) const override {
        return i >= 0 && i < count() ? items_[static_cast<std::size_t>(i)] : std::string();
    }
    void select(int i) { current_ = i; }
    // A click on a line's check box: makes it current and moves the one mark.
    void check(int i) {
        current_ = i;
        checked_ = i;
    }
    int checked() const { return checked_; }

  private:
    std::vector<std::string> items_;
    int current_;
    int checked_ = -1;
};

class Plain final : public ui::Control, public Designed {
  public:
    explicit Plain(const ui::ControlDesign& d) : Designed(d) {}
    FAKE_VISIBILITY
};

class Window final : public ui::Window {
  public:
    explicit Window(const ui::WindowDesign& d) : design(d), title_(d.title) {}
    ui::WindowDesign design;
    bool isVisible() const override { return visible_; }
    void setVisible(bool v) override { visible_ = v; }
    std::string title() const override { return title_; }
    void setTitle(const std::string& t) override { title_ = t; }
    void close() override {
        visible_ = false;
        closed = true;
    }
    bool closed = false;

  private:
    std::string title_;
    bool visible_ = false;
};

class Timer final : public ui::Timer {
  public:
    explicit Timer(Toolkit& tk) : tk_(tk) {}
    int period() const override { return schedule.period(); }
    void setPeriod(int ms) override;
    void setOnTick(std::function<void()> h) override { onTick = std::move(h); }
    ui::TickSchedule schedule;
    std::function<void()> onTick;

  private:
    Toolkit& tk_;
};

struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

class Panel;

// A browser box: remembers where it was sent and how often it reloaded.
class WebBox final : public ui::WebBox, public Designed {
  public:
    WebBox(const ui::ControlDesign& d, Panel& panel)
        : Designed(d), bounds{d.x, d.y, d.width, d.height}, panel_(panel) {}
    bool isVisible() const override;
    void setVisible(bool v) override;
    void setBounds(int left, int top, int width, int height) override;
    void navigate(const std::string& url) override;
    void reload() override;
    Bounds bounds;
    std::vector<std::string> navigations;
    int reloads = 0;

  private:
    Panel& panel_;
};

// A loaded panel. close() destroys it only when the toolkit runs its queued
// work (Toolkit::runQueued), as a real event loop would after the handler.
class Panel final : public ui::Panel {
  public:
    Panel(Toolkit& tk, const ui::WindowDesign& d, ui::Window& owner);
    ui::WindowDesign design;
    ui::Window& owner;
    bool isVisible() const override;
    void setVisible(bool v) override;
    std::string title() const override;
    void setTitle(const std::string& t) override;
    void close() override;
    void setBounds(int left, int top, int width, int height) override;
    void embedIn(ui::Window& owner) override;
    ui::WebBox* webBox(const char* name) override;
    ui::Timer* timer(const char* name) override;
    void setOnGone(std::function<void()> handler) override;

    // The user pressing Esc in the panel: gone at once, without "停止".
    void pressEsc() { destroy(); }
    void destroy();
    // Every use after the panel is gone is counted here: none may happen.
    void use() const;

    Bounds bounds;
    ui::Window* embeddedIn = nullptr;
    bool gone = false;
    std::vector<std::unique_ptr<WebBox>> webBoxes;
    std::vector<std::pair<std::string, Timer*>> timers;

  private:
    Toolkit& tk_;
    std::string title_;
    bool visible_ = true;
    std::function<void()> onGone_;
};

struct Message {
    std::string title;
    std::string text;
};

class Desktop final : public ui::Desktop {
  public:
    void showMessage(const std::string& title, const std::string& text) override {
        messages.push_back({title, text});
        // The box is open now: a test may let time pass or look at the screen.
        if (whileMessageOpen) whileMessageOpen(messages.back());
    }
    void playSound(std::span<const std::uint8_t> wave) override {
        sounds.emplace_back(wave.begin(), wave.end());
    }
    void openUrl(const std::string& url) override { urls.push_back(url); }
    text::DateTime now() const override { return clock; }
    std::string programFilePath() const override { return programFile; }

    std::vector<Message> messages;
    std::function<void(const Message&)> whileMessageOpen;
    std::vector<std::vector<std::uint8_t>> sounds;
    std::vector<std::string> urls;
    text::DateTime clock{2016, 2, 24, 9, 5, 3};
    std::string programFile = "/nonexistent/kestrune";
};

class Toolkit final : public ui::Toolkit {
  public:
    ui::Window& createWindow(const ui::WindowDesign& d) override;
    ui::Button& createButton(ui::Window&, const ui::ControlDesign& d) override;
    ui::Label& createLabel(ui::Window&, const ui::ControlDesign& d) override;
    ui::EditBox& createEditBox(ui::Window&, const ui::ControlDesign& d) override;
    ui::ComboBox& createComboBox(ui::Window&, const ui::ControlDesign& d) override;
    ui::CheckList& createCheckList(ui::Window&, const ui::ControlDesign& d) override;
    ui::Control& createGroupBox(ui::Window&, const ui::ControlDesign& d) override;
    ui::Control& createCalendar(ui::Window&, const ui::ControlDesign& d) override;
    ui::Timer& createTimer(ui::Window&, const ui::ControlDesign& d) override;
    ui::PanelLoad loadPanel(ui::Window& owner, const ui::WindowDesign& d,
                            std::span<const ui::ControlDesign> controls) override;

    // Set to make every panel load fail with this reason.
    std::string panelFailure;
    // Every panel loaded, in order; they stay here after they are gone.
    std::vector<Panel*> panels;
    // Uses of a panel or its controls after it was gone.
    mutable int usesAfterGone = 0;
    // What the event loop would do once the running handler has returned.
    void runQueued();
    std::vector<std::function<void()>> queued;

    // Virtual monotonic time. advance() hands out every tick that falls due,
    // in order, each at its own instant.
    std::chrono::nanoseconds now{std::chrono::seconds(1000)};
    void advance(std::chrono::milliseconds by);
    void advanceSeconds(int s) { advance(std::chrono::seconds(s)); }

  private:
    template <class T, class... A>
    T& keep(A&&... a);
    std::deque<std::unique_ptr<void, void (*)(void*)>> owned_;
    std::vector<Timer*> timers_;
};

}  // namespace fake
