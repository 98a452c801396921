#pragma once
// The control kinds that the behaviour may touch, independent of any toolkit.
// A backend (Qt, or the in-memory fake of the tests) implements them; the
// handlers never see anything else of the screen.

#include <functional>
#include <string>

namespace ui {

class Control {
  public:
    virtual ~Control() = default;
    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
};

class Button : public Control {
  public:
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& text) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual void setOnClicked(std::function<void()> handler) = 0;
};

class Label : public Control {
  public:
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& text) = 0;
};

class EditBox : public Control {
  public:
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    // Caret to the end, selection dropped, text inserted there, last line in view.
    virtual void appendText(const std::string& text) = 0;
};

class ComboBox : public Control {
  public:
    // What the edit field shows: a picked item or anything typed.
    virtual std::string text() const = 0;
    virtual int currentIndex() const = 0;  // -1: none
    virtual int count() const = 0;
    virtual std::string itemText(int index) const = 0;  // empty outside the list
};

class CheckList : public Control {
  public:
    virtual int currentIndex() const = 0;  // the highlighted line, -1: none
    virtual int count() const = 0;
    virtual std::string itemText(int index) const = 0;
};

// Period rules: setting the period a timer already has changes nothing (its
// phase is kept); any other value restarts it, first tick one period later;
// 0 stops it.
class Timer {
  public:
    virtual ~Timer() = default;
    virtual int period() const = 0;
    virtual void setPeriod(int milliseconds) = 0;
    virtual void setOnTick(std::function<void()> handler) = 0;
};

class Window : public Control {
  public:
    virtual std::string title() const = 0;
    virtual void setTitle(const std::string& text) = 0;
    virtual void close() = 0;
};

}  // namespace ui
