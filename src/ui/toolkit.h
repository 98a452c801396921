#pragma once
// Builds controls from their design. Every backend implements this once; the
// form calls it in stacking order, topmost first.

#include "ui/controls.h"
#include "ui/design.h"

namespace ui {

class Toolkit {
public:
    virtual ~Toolkit() = default;
    virtual Window& createWindow(const WindowDesign& design) = 0;
    virtual Button& createButton(Window& parent, const ControlDesign& design) = 0;
    // Labels and transparent labels alike; the design says which.
    virtual Label& createLabel(Window& parent, const ControlDesign& design) = 0;
    virtual EditBox& createEditBox(Window& parent, const ControlDesign& design) = 0;
    virtual ComboBox& createComboBox(Window& parent, const ControlDesign& design) = 0;
    virtual CheckList& createCheckList(Window& parent, const ControlDesign& design) = 0;
    virtual Control& createGroupBox(Window& parent, const ControlDesign& design) = 0;
    virtual Control& createCalendar(Window& parent, const ControlDesign& design) = 0;
    virtual Timer& createTimer(Window& parent, const ControlDesign& design) = 0;
};

}  // namespace ui
