#pragma once
// A second window loaded while the program runs (the radio panel), and the
// browser box it holds. Unlike the main window it can come and go: the
// handlers must learn when it is gone, however it went.

#include <functional>
#include <string>

#include "ui/controls.h"

namespace ui {

// An embedded browser. Every call returns at once; the page loads and plays
// its sound on its own.
class WebBox : public Control {
  public:
    // Place inside the panel; the box may reach beyond the panel's edges,
    // where it is clipped.
    virtual void setBounds(int left, int top, int width, int height) = 0;
    virtual void navigate(const std::string& url) = 0;
    // The plain reload of whatever page the box shows now.
    virtual void reload() = 0;
};

// A borderless window without a frame or a task-bar button. It is loaded as
// a top-level window of its owner and then embedded in it.
class Panel : public Window {
  public:
    // A screen place while top-level; a place in the owner's client area
    // once embedded.
    virtual void setBounds(int left, int top, int width, int height) = 0;

    // Makes the panel a child of `owner`: it keeps its coordinates, now
    // counted from the owner's client area, lies above every control of the
    // owner and moves with it.
    virtual void embedIn(Window& owner) = 0;

    // The controls made from the designs the panel was loaded with, by name;
    // null for a name it does not have.
    virtual WebBox* webBox(const char* name) = 0;
    virtual Timer* timer(const char* name) = 0;

    // Runs once when the panel is gone: after close(), after the user closed
    // it (Esc), or with its owner at the end of the program. From then on
    // neither the panel nor its controls may be used; the panel object itself
    // stays valid until the handler has returned.
    virtual void setOnGone(std::function<void()> handler) = 0;

    // close() destroys the panel with its controls and its page; the
    // destruction takes place once the running handler has returned.
};

// The outcome of loading a panel: the panel, or in plain words for the user
// why it could not be loaded (then nothing was created).
struct PanelLoad {
    Panel* panel = nullptr;
    std::string failure;
};

}  // namespace ui
