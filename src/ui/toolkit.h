#pragma once
// Builds controls from their design. Every backend implements this once; the
// form calls it in stacking order, topmost first.

#include <span>

#include "ui/controls.h"
#include "ui/design.h"
#include "ui/music_panel.h"

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

    // Loads a panel for `owner` with all its controls, still top-level and
    // shown on the screen only once embedded. A browser box needs an engine
    // that may be missing or unable to start here: then nothing is created and
    // the failure says why.
    virtual PanelLoad loadPanel(Window& owner, const WindowDesign& design,
                                std::span<const ControlDesign> controls) = 0;
};

}  // namespace ui
