#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/urls.h"
#include "extras/music.h"
#include "fake_program.h"

using fake::Program;

namespace {

// The four panel buttons as the user sees them, and the panel itself.
struct Seen {
    bool listen, next, background, stop;  // enabled: 按钮8, 按钮9, 按钮10, 按钮11
    const char* caption10;
    const char* panel;  // "closed", "shown" or "hidden"
};

std::string describe(const Seen& s) {
    return std::string(s.listen ? "8" : "-") + (s.next ? "9" : "-") + (s.background ? "10" : "-") +
           (s.stop ? "11" : "-") + " " + s.caption10 + " " + s.panel;
}

fake::Panel* openPanel(Program& p) {
    for (fake::Panel* panel : p.toolkit.panels) {
        if (!panel->gone) return panel;
    }
    return nullptr;
}

Seen look(Program& p) {
    static std::string caption;
    MainWindow& w = p.w;
    caption = w.按钮10->caption();
    fake::Panel* panel = openPanel(p);
    const char* state = !panel ? "closed" : panel->isVisible() ? "shown" : "hidden";
    return {w.按钮8->isEnabled(),  w.按钮9->isEnabled(), w.按钮10->isEnabled(),
            w.按钮11->isEnabled(), caption.c_str(),      state};
}

// A click as the user makes it, followed by what the event loop does once the
// handler has returned (a stopped panel is destroyed then).
bool click(Program& p, ui::Button* b) {
    bool taken = p.click(b);
    p.toolkit.runQueued();
    return taken;
}

fake::WebBox& browser(fake::Panel& panel) {
    return dynamic_cast<fake::WebBox&>(*panel.webBox("超文本浏览框1"));
}

constexpr Seen kClosed{true, false, false, false, "后台", "closed"};

}  // namespace

TEST(MusicPanel, OpensOverTheLogAndAsksForTheRadioPage) {
    Program p;
    p.start();
    ASSERT_TRUE(click(p, p.w.按钮8));
    ASSERT_EQ(p.toolkit.panels.size(), 1u);
    fake::Panel& panel = *p.toolkit.panels[0];
    EXPECT_EQ(&panel.owner, p.w.window);
    EXPECT_EQ(panel.embeddedIn, p.w.window);
    EXPECT_FALSE(panel.design.framed);
    EXPECT_EQ(panel.design.width, 285);
    EXPECT_EQ(panel.design.height, 160);
    EXPECT_EQ(panel.bounds, (fake::Bounds{225, 195, 281, 160}));
    EXPECT_TRUE(panel.isVisible());
    // Covers the record log (232,208 264×144) with room to spare on every side.
    const ui::ControlDesign& log = form::mainWindowControl("编辑框1");
    EXPECT_LE(panel.bounds.left, log.x);
    EXPECT_LE(panel.bounds.top, log.y);
    EXPECT_GE(panel.bounds.left + panel.bounds.width, log.x + log.width);
    EXPECT_GE(panel.bounds.top + panel.bounds.height, log.y + log.height);

    fake::WebBox& web = browser(panel);
    EXPECT_EQ(web.bounds, (fake::Bounds{-336, -160, 773, 600}));
    EXPECT_EQ(web.navigations, std::vector<std::string>{config::kRadioUrl});
    EXPECT_EQ(web.reloads, 0);
    // The window's own timer is made but never started.
    ASSERT_NE(panel.timer("时钟1"), nullptr);
    EXPECT_EQ(panel.timer("时钟1")->period(), 0);
    EXPECT_EQ(p.desktop.messages.size(), 1u) << "nothing but the greeting";
}

TEST(MusicPanel, RadioPageIsPlainHttpUnderRadio) {
    const std::string url = config::kRadioUrl;
    EXPECT_EQ(url.rfind("http://", 0), 0u) << url;
    EXPECT_NE(url.find("/radio/"), std::string::npos) << url;
    EXPECT_EQ(url.find('?'), std::string::npos) << url;
}

// The buttons' states and 按钮10's caption through whole cycles, including a
// stop while hidden: the caption is not reset, so the next panel opens shown
// with "前台" and the first click only turns the caption back.
TEST(MusicPanel, ButtonsAndCaptionThroughOpenHideStopOpen) {
    struct Step {
        ui::Button* MainWindow::*button;
        Seen expected;
    };
    const Step steps[] = {
        {&MainWindow::按钮8, {false, true, true, true, "后台", "shown"}},
        {&MainWindow::按钮10, {false, true, true, true, "前台", "hidden"}},
        {&MainWindow::按钮10, {false, true, true, true, "后台", "shown"}},
        {&MainWindow::按钮10, {false, true, true, true, "前台", "hidden"}},
        {&MainWindow::按钮11, {true, false, false, false, "前台", "closed"}},
        {&MainWindow::按钮8, {false, true, true, true, "前台", "shown"}},
        {&MainWindow::按钮10, {false, true, true, true, "后台", "shown"}},
        {&MainWindow::按钮10, {false, true, true, true, "前台", "hidden"}},
        {&MainWindow::按钮10, {false, true, true, true, "后台", "shown"}},
        {&MainWindow::按钮11, {true, false, false, false, "后台", "closed"}},
        {&MainWindow::按钮8, {false, true, true, true, "后台", "shown"}},
    };
    Program p;
    p.start();
    EXPECT_EQ(describe(look(p)), describe(kClosed)) << "at start";
    int n = 0;
    for (const Step& s : steps) {
        ++n;
        ui::Button* b = p.w.*s.button;
        std::string caption = b->caption();
        EXPECT_TRUE(click(p, b)) << "step " << n << " " << caption;
        EXPECT_EQ(describe(look(p)), describe(s.expected)) << "step " << n << " " << caption;
        // A disabled button takes no click.
        for (ui::Button* other : {p.w.按钮8, p.w.按钮9, p.w.按钮10, p.w.按钮11}) {
            if (!other->isEnabled()) {
                EXPECT_FALSE(p.click(other)) << "step " << n;
            }
        }
    }
    // Each open loaded a fresh window; the earlier ones are gone.
    ASSERT_EQ(p.toolkit.panels.size(), 3u);
    EXPECT_TRUE(p.toolkit.panels[0]->gone);
    EXPECT_TRUE(p.toolkit.panels[1]->gone);
    EXPECT_EQ(browser(*p.toolkit.panels[2]).navigations.size(), 1u);
    EXPECT_EQ(p.toolkit.usesAfterGone, 0);
}

TEST(MusicPanel, NextSongReloadsWhateverIsShownShownOrHidden) {
    Program p;
    p.start();
    click(p, p.w.按钮8);
    fake::WebBox& web = browser(*openPanel(p));
    click(p, p.w.按钮9);
    click(p, p.w.按钮9);
    EXPECT_EQ(web.reloads, 2);
    EXPECT_EQ(web.navigations.size(), 1u) << "a reload, not a new visit";
    EXPECT_EQ(describe(look(p)), describe({false, true, true, true, "后台", "shown"}));

    click(p, p.w.按钮10);
    click(p, p.w.按钮9);
    EXPECT_EQ(web.reloads, 3);
    EXPECT_EQ(describe(look(p)), describe({false, true, true, true, "前台", "hidden"}));
}

TEST(MusicPanel, HidingAndShowingLeaveThePageAlone) {
    Program p;
    p.start();
    click(p, p.w.按钮8);
    fake::Panel& panel = *openPanel(p);
    for (int i = 0; i < 4; ++i) click(p, p.w.按钮10);
    EXPECT_EQ(browser(panel).navigations.size(), 1u);
    EXPECT_EQ(browser(panel).reloads, 0);
    EXPECT_FALSE(panel.gone);
    EXPECT_EQ(p.toolkit.panels.size(), 1u);
}

TEST(MusicPanel, StopDestroysThePanelOnceTheHandlerHasReturned) {
    Program p;
    p.start();
    click(p, p.w.按钮8);
    fake::Panel& panel = *openPanel(p);
    ASSERT_TRUE(p.click(p.w.按钮11));
    EXPECT_FALSE(panel.gone) << "destroyed during the handler";
    EXPECT_EQ(describe(look(p)), describe({true, false, false, false, "后台", "shown"}));
    p.toolkit.runQueued();
    EXPECT_TRUE(panel.gone);
    EXPECT_EQ(describe(look(p)), describe(kClosed));
    EXPECT_EQ(p.toolkit.usesAfterGone, 0);
}

// A quick second click may reach "听歌" before the stopped panel's
// destruction: the old panel's going must not close the new one.
TEST(MusicPanel, ReopenedBeforeTheOldPanelIsDestroyed) {
    Program p;
    p.start();
    click(p, p.w.按钮8);
    fake::Panel& first = *p.toolkit.panels[0];
    p.click(p.w.按钮11);
    p.click(p.w.按钮8);
    p.toolkit.runQueued();
    EXPECT_TRUE(first.gone);
    ASSERT_EQ(p.toolkit.panels.size(), 2u);
    EXPECT_FALSE(p.toolkit.panels[1]->gone);
    EXPECT_EQ(describe(look(p)), describe({false, true, true, true, "后台", "shown"}));
    click(p, p.w.按钮9);
    EXPECT_EQ(browser(*p.toolkit.panels[1]).reloads, 1);
    EXPECT_EQ(p.toolkit.usesAfterGone, 0);
}

// Esc in the panel (or the end of the program) takes it away without "停止":
// the buttons go back to the closed state, none of them can reach the dead
// panel, and "听歌" opens a new one.
TEST(MusicPanel, ClosedWithoutStop) {
    struct Case {
        const char* name;
        int hideClicks;  // clicks on 按钮10 before the panel goes
        const char* caption10;
    };
    const Case cases[] = {{"shown", 0, "后台"}, {"hidden", 1, "前台"}, {"shown again", 2, "后台"}};
    for (const Case& c : cases) {
        Program p;
        p.start();
        click(p, p.w.按钮8);
        for (int i = 0; i < c.hideClicks; ++i) click(p, p.w.按钮10);
        openPanel(p)->pressEsc();
        EXPECT_EQ(describe(look(p)), describe({true, false, false, false, c.caption10, "closed"}))
            << c.name;
        for (ui::Button* b : {p.w.按钮9, p.w.按钮10, p.w.按钮11}) {
            EXPECT_FALSE(click(p, b)) << c.name << " " << b->caption();
        }
        // The handlers themselves do not touch a panel that is gone either.
        auto music = std::make_shared<extras::MusicPanel>();
        extras::nextSong(*music);
        extras::toggleMusicBackground(p.session, *music);
        extras::stopMusic(p.session, *music);
        EXPECT_EQ(p.toolkit.usesAfterGone, 0) << c.name;

        ASSERT_TRUE(click(p, p.w.按钮8)) << c.name;
        EXPECT_EQ(p.toolkit.panels.size(), 2u) << c.name;
        EXPECT_EQ(look(p).panel, std::string("shown")) << c.name;
    }
}

TEST(MusicPanel, LoadFailureSaysWhyAndChangesNothing) {
    Program p;
    p.start();
    p.desktop.messages.clear();
    click(p, p.w.按钮8);
    click(p, p.w.按钮10);
    click(p, p.w.按钮11);  // caption now "前台", panel closed
    p.toolkit.panelFailure = "内置浏览器无法启动。";
    EXPECT_TRUE(click(p, p.w.按钮8));
    ASSERT_EQ(p.desktop.messages.size(), 1u);
    EXPECT_EQ(p.desktop.messages[0].title, "信息：");
    EXPECT_EQ(p.desktop.messages[0].text, "内置浏览器无法启动。");
    EXPECT_EQ(describe(look(p)), describe({true, false, false, false, "前台", "closed"}));
    EXPECT_EQ(p.toolkit.panels.size(), 1u);

    // Once the cause is gone, the same button works.
    p.toolkit.panelFailure.clear();
    EXPECT_TRUE(click(p, p.w.按钮8));
    EXPECT_EQ(describe(look(p)), describe({false, true, true, true, "前台", "shown"}));
    EXPECT_EQ(p.desktop.messages.size(), 1u);
}

// The panel lies over the record log but does not take it away: lines still
// go into it, and "后台" shows them.
TEST(MusicPanel, LogStaysInUseUnderThePanel) {
    Program p;
    p.start();
    click(p, p.w.按钮8);
    p.click(p.w.按钮1);
    p.toolkit.advanceSeconds(125);
    p.click(p.w.按钮4);
    fake::as<fake::CheckList>(p.w.选择列表框1).select(2);
    std::string before = p.w.编辑框1->text();
    ASSERT_TRUE(p.click(p.w.按钮5));
    EXPECT_NE(p.w.编辑框1->text(), before);
    EXPECT_NE(p.w.编辑框1->text().find("常识判断-2分钟"), std::string::npos);
    click(p, p.w.按钮10);
    EXPECT_TRUE(p.w.编辑框1->isVisible());
    EXPECT_EQ(look(p).panel, std::string("hidden"));
}
