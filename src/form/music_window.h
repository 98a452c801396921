#pragma once
// MusicWindow: the radio panel's named controls and its design table. It
// exists only while the radio is open, so it is loaded, not created at
// start-up.

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "ui/design.h"
#include "ui/music_panel.h"
#include "ui/toolkit.h"

struct MusicWindow {
    ui::Panel* window = nullptr;
    ui::Timer* 时钟1 = nullptr;
    ui::WebBox* 超文本浏览框1 = nullptr;
};

namespace form {

extern const ui::WindowDesign kMusicWindow;

// Every control of MusicWindow in stacking order, topmost first.
extern const std::array<ui::ControlDesign, 2> kMusicWindowControls;

const ui::ControlDesign& musicWindowControl(const char* name);

// The loaded window, or why it could not be loaded.
struct MusicWindowLoad {
    std::optional<MusicWindow> window;
    std::string failure;
};

// Loads MusicWindow for `owner` with its controls and runs its created event
// before returning; nothing runs when the load fails.
MusicWindowLoad loadMusicWindow(ui::Toolkit& toolkit, ui::Window& owner,
                                const std::function<void(MusicWindow&)>& created);

}  // namespace form
