#pragma once
// MainWindow: the named controls the handlers work on, and its design table.

#include <array>

#include "ui/controls.h"
#include "ui/design.h"
#include "ui/toolkit.h"

struct MainWindow {
    ui::Window* window = nullptr;
    ui::ComboBox* 组合框2 = nullptr;
    ui::Label* 透明标签2 = nullptr;
    ui::Label* 透明标签1 = nullptr;
    ui::ComboBox* 组合框1 = nullptr;
    ui::Button* 按钮12 = nullptr;
    ui::Button* 按钮11 = nullptr;
    ui::Button* 按钮10 = nullptr;
    ui::Button* 按钮9 = nullptr;
    ui::Button* 按钮8 = nullptr;
    ui::Control* 农历月历1 = nullptr;
    ui::Timer* 时钟2 = nullptr;
    ui::Timer* 时钟1 = nullptr;
    ui::Button* 按钮7 = nullptr;
    ui::Label* 标签3 = nullptr;
    ui::EditBox* 编辑框2 = nullptr;
    ui::CheckList* 选择列表框1 = nullptr;
    ui::Button* 按钮5 = nullptr;
    ui::EditBox* 编辑框1 = nullptr;
    ui::Button* 按钮4 = nullptr;
    ui::Label* 标签2 = nullptr;
    ui::Label* 标签1 = nullptr;
    ui::Button* 按钮3 = nullptr;
    ui::Button* 按钮2 = nullptr;
    ui::Button* 按钮1 = nullptr;
    ui::Control* 分组框1 = nullptr;
    ui::Button* 按钮6 = nullptr;
};

namespace form {

extern const ui::WindowDesign kMainWindow;

// Every control of MainWindow in stacking order, topmost first.
extern const std::array<ui::ControlDesign, 26> kMainWindowControls;

const ui::ControlDesign& mainWindowControl(const char* name);

// Creates the window (still hidden) and every control in stacking order.
MainWindow createMainWindow(ui::Toolkit& toolkit);

}  // namespace form
