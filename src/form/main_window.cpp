#include "form/main_window.h"

#include <cstring>
#include <stdexcept>

namespace form {
namespace {

using ui::Align;
using ui::ControlDesign;
using ui::Kind;
using ui::Rgb;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};

constexpr const char* kSections[] = {
    "常规计时（单项）", "常规计时（套卷）", "常识判断",     "言语理解与表达", "数量关系",
    "判断推理",         "资料分析",         "申论材料阅读", "申论题目一作答", "申论题目二作答",
    "申论题目三作答",   "申论题目四作答",   "申论大作文",
};
constexpr const char* kQuestionCounts[] = {"未选", "1", "10", "15", "20", "25", "30", "35", "40"};
constexpr const char* kQuestionBanks[] = {"中公题库", "华图题库", "粉笔题库"};

constexpr ControlDesign button(const char* name, int x, int y, int w, int h, const char* caption) {
    ControlDesign d{.name = name,
                    .kind = Kind::Button,
                    .x = x,
                    .y = y,
                    .width = w,
                    .height = h,
                    .text = caption};
    d.fontPixels = 12;
    d.bold = true;
    d.align = Align::Center;
    return d;
}

constexpr ControlDesign timer(const char* name) {
    ControlDesign d{.name = name, .kind = Kind::Timer};
    d.visible = false;
    return d;
}

constexpr ControlDesign make(ControlDesign d) {
    return d;
}

}  // namespace

const ui::WindowDesign kMainWindow{"MainWindow", "Kestrune公考计时器", 689, 386, true};

// The design table, one control per entry, as data.
// clang-format off
const std::array<ControlDesign, 26> kMainWindowControls{
    make({.name = "组合框2", .kind = Kind::ComboBox, .x = 616, .y = 170, .width = 56, .height = 20,
          .text = "未选", .items = kQuestionCounts, .currentIndex = 0, .foreground = kBlack,
          .background = kWhite, .dropHeight = 160, .extraLineHeight = 1,
          .accessibleName = "题目数"}),
    make({.name = "透明标签2", .kind = Kind::TransparentLabel, .x = 544, .y = 168, .width = 64,
          .height = 24, .text = "选择题目数", .foreground = kBlack}),
    make({.name = "透明标签1", .kind = Kind::TransparentLabel, .x = 520, .y = 200, .width = 144,
          .height = 40, .text = "免责声明：本软件所引用题库资源仅为学习交流，如产生法律纠纷与本人无关",
          .foreground = kBlue, .wrap = true}),
    make({.name = "组合框1", .kind = Kind::ComboBox, .x = 520, .y = 246, .width = 72, .height = 20,
          .text = "", .items = kQuestionBanks, .currentIndex = -1, .foreground = kBlack,
          .background = kWhite, .dropHeight = 160, .extraLineHeight = 1,
          .accessibleName = "题库"}),
    button("按钮12", 608, 242, 63, 25, "进入题库"),
    button("按钮11", 610, 325, 55, 25, "停止"),
    button("按钮10", 547, 325, 55, 25, "后台"),
    button("按钮9", 610, 300, 55, 25, "切歌"),
    button("按钮8", 547, 300, 55, 25, "听歌"),
    make({.name = "农历月历1", .kind = Kind::Calendar, .x = 0, .y = 0, .width = 365, .height = 262,
          .visible = false, .accessibleName = "农历月历"}),
    timer("时钟2"),
    timer("时钟1"),
    button("按钮7", 610, 275, 55, 25, "日历"),
    make({.name = "标签3", .kind = Kind::Label, .x = 69, .y = 317, .width = 40, .height = 16,
          .text = "分钟", .fontPixels = 12, .bold = true, .foreground = kBlack}),
    make({.name = "编辑框2", .kind = Kind::LineEdit, .x = 23, .y = 313, .width = 40, .height = 24,
          .foreground = kBlack, .background = kWhite, .accessibleName = "倒计时分钟数"}),
    make({.name = "选择列表框1", .kind = Kind::CheckList, .x = 544, .y = 15, .width = 136,
          .height = 145, .items = kSections, .currentIndex = 0, .extraLineHeight = 2,
          .accessibleName = "练习科目"}),
    button("按钮5", 120, 310, 80, 30, "临时记录"),
    make({.name = "编辑框1", .kind = Kind::LogBox, .x = 232, .y = 208, .width = 264, .height = 144,
          .text = "*******做  题  时  间  记  录  栏*******", .foreground = kGreen,
          .background = kBlack, .accessibleName = "做题时间记录"}),
    button("按钮4", 120, 260, 80, 30, "暂停"),
    make({.name = "标签2", .kind = Kind::Label, .x = 16, .y = 64, .width = 512, .height = 104,
          .text = "计时器", .fontPixels = 96, .bold = true, .foreground = kBlack,
          .align = Align::Center}),
    make({.name = "标签1", .kind = Kind::Label, .x = 16, .y = 16, .width = 512, .height = 60,
          .text = "强大内心方能无惧一切对手！", .fontPixels = 35, .bold = true,
          .foreground = kBlack, .align = Align::Center}),
    button("按钮3", 120, 206, 80, 30, "重置"),
    button("按钮2", 20, 260, 80, 30, "倒计时"),
    button("按钮1", 20, 206, 80, 30, "正计时"),
    make({.name = "分组框1", .kind = Kind::GroupBox, .x = 8, .y = 8, .width = 528, .height = 184}),
    button("按钮6", 547, 275, 55, 25, "保存"),
};
// clang-format on

const ControlDesign& mainWindowControl(const char* name) {
    for (const ControlDesign& d : kMainWindowControls) {
        if (std::strcmp(d.name, name) == 0) return d;
    }
    throw std::out_of_range(name);
}

MainWindow createMainWindow(ui::Toolkit& tk) {
    MainWindow w;
    w.window = &tk.createWindow(kMainWindow);
    ui::Window& p = *w.window;
    auto d = [](const char* name) -> const ControlDesign& { return mainWindowControl(name); };
    // Topmost first, as in the design table.
    w.组合框2 = &tk.createComboBox(p, d("组合框2"));
    w.透明标签2 = &tk.createLabel(p, d("透明标签2"));
    w.透明标签1 = &tk.createLabel(p, d("透明标签1"));
    w.组合框1 = &tk.createComboBox(p, d("组合框1"));
    w.按钮12 = &tk.createButton(p, d("按钮12"));
    w.按钮11 = &tk.createButton(p, d("按钮11"));
    w.按钮10 = &tk.createButton(p, d("按钮10"));
    w.按钮9 = &tk.createButton(p, d("按钮9"));
    w.按钮8 = &tk.createButton(p, d("按钮8"));
    w.农历月历1 = &tk.createCalendar(p, d("农历月历1"));
    w.时钟2 = &tk.createTimer(p, d("时钟2"));
    w.时钟1 = &tk.createTimer(p, d("时钟1"));
    w.按钮7 = &tk.createButton(p, d("按钮7"));
    w.标签3 = &tk.createLabel(p, d("标签3"));
    w.编辑框2 = &tk.createEditBox(p, d("编辑框2"));
    w.选择列表框1 = &tk.createCheckList(p, d("选择列表框1"));
    w.按钮5 = &tk.createButton(p, d("按钮5"));
    w.编辑框1 = &tk.createEditBox(p, d("编辑框1"));
    w.按钮4 = &tk.createButton(p, d("按钮4"));
    w.标签2 = &tk.createLabel(p, d("标签2"));
    w.标签1 = &tk.createLabel(p, d("标签1"));
    w.按钮3 = &tk.createButton(p, d("按钮3"));
    w.按钮2 = &tk.createButton(p, d("按钮2"));
    w.按钮1 = &tk.createButton(p, d("按钮1"));
    w.分组框1 = &tk.createGroupBox(p, d("分组框1"));
    w.按钮6 = &tk.createButton(p, d("按钮6"));
    return w;
}

}  // namespace form
