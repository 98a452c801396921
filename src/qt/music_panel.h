#pragma once
// The Qt side of a loaded panel (the radio's MusicWindow): a borderless
// widget, embedded in its owner, with a browser view from the web plugin.

#include <QWidget>
#include <span>

#include "ui/design.h"
#include "ui/music_panel.h"

namespace qtui {

// Loads a panel for `owner` as the toolkit's loadPanel describes. A browser
// box makes it check first that the engine can start here (not as root with
// its sandbox on, plugin present and loadable); otherwise nothing is created.
ui::PanelLoad loadPanel(QWidget* owner, const ui::WindowDesign& design,
                        std::span<const ui::ControlDesign> controls);

// Where the program looks for the web plugin: plugins/ beside the program.
QString webModulePath();

}  // namespace qtui
