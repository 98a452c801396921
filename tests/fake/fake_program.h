#pragma once
// The whole program on the fake backend: the form, the clock record and the
// handlers bound as in the real program, with virtual time.

#include "app/startup.h"
#include "fake_toolkit.h"
#include "form/main_window.h"

namespace fake {

template <class F, class U>
F& as(U* control) {
    return dynamic_cast<F&>(*control);
}

struct Program {
    Toolkit toolkit;
    Desktop desktop;
    ClockState clock;
    MainWindow w = form::createMainWindow(toolkit);
    Session session{w, clock, desktop, toolkit};

    // Start-up as the program entry runs it, the greeting answered at once.
    void start() {
        app::bindEvents(session);
        app::setUpMainWindow(session);
        w.window->setVisible(true);
    }

    Button& button(ui::Button* b) { return as<Button>(b); }
    bool click(ui::Button* b) { return as<Button>(b).click(); }
    void type(ui::EditBox* e, const std::string& t) { as<EditBox>(e).type(t); }
    std::string clockText() const { return w.标签2->caption(); }
};

}  // namespace fake
