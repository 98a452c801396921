#pragma once
// The design of a window and its controls as data: place, size, texts, font,
// colours. Backends build their widgets from it; tests compare against it.

#include <cstdint>
#include <optional>
#include <span>

namespace ui {

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class Kind {
    Button,
    Label,             // fills its box with the button face, then draws its text
    TransparentLabel,  // draws straight onto whatever lies behind it
    LineEdit,          // single line, editable
    LogBox,            // multi-line, read-only, wraps, vertical scroll bar
    ComboBox,          // editable field with a drop-down list
    CheckList,         // one check mark at most once any is set
    GroupBox,
    Calendar,
    Timer,
    WebBox,  // an embedded browser view
};

enum class Align { Left, Center };

struct ControlDesign {
    const char* name;
    Kind kind;
    int x = 0, y = 0, width = 0, height = 0;
    const char* text = "";                 // caption, field text or design text
    std::span<const char* const> items{};  // combo boxes and the check list
    int currentIndex = -1;
    int fontPixels = 0;  // 0: the desktop's default UI font
    bool bold = false;
    std::optional<Rgb> foreground{};
    std::optional<Rgb> background{};  // unset: the button face
    Align align = Align::Left;
    bool wrap = false;  // word-wrapped from the top instead of one centred line
    bool visible = true;
    int dropHeight = 0;       // total height of a combo box's list
    int extraLineHeight = 0;  // list lines this many pixels above the default
    const char* accessibleName = "";
};

struct WindowDesign {
    const char* name;
    const char* title;
    int width, height;  // outer size, frame included
    bool framed;
};

}  // namespace ui
