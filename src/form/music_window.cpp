#include "form/music_window.h"

#include <cstring>
#include <stdexcept>

namespace form {
namespace {

using ui::ControlDesign;
using ui::Kind;

constexpr ControlDesign make(ControlDesign d) {
    return d;
}

}  // namespace

const ui::WindowDesign kMusicWindow{"MusicWindow", "", 285, 160, false};

const std::array<ControlDesign, 2> kMusicWindowControls{
    // Never started and bound to nothing.
    make({.name = "时钟1", .kind = Kind::Timer, .visible = false}),
    // Larger than the window and shifted up and left: only a cut-out of the
    // radio page shows.
    make({.name = "超文本浏览框1",
          .kind = Kind::WebBox,
          .x = -336,
          .y = -160,
          .width = 773,
          .height = 600,
          .accessibleName = "电台"}),
};

const ControlDesign& musicWindowControl(const char* name) {
    for (const ControlDesign& d : kMusicWindowControls) {
        if (std::strcmp(d.name, name) == 0) return d;
    }
    throw std::out_of_range(name);
}

MusicWindowLoad loadMusicWindow(ui::Toolkit& tk, ui::Window& owner,
                                const std::function<void(MusicWindow&)>& created) {
    ui::PanelLoad load = tk.loadPanel(owner, kMusicWindow, kMusicWindowControls);
    if (!load.panel) return {std::nullopt, load.failure};
    MusicWindow m;
    m.window = load.panel;
    m.时钟1 = load.panel->timer("时钟1");
    m.超文本浏览框1 = load.panel->webBox("超文本浏览框1");
    created(m);
    return {m, ""};
}

}  // namespace form
