#include <gtest/gtest.h>

#include "fake_program.h"

using fake::Program;

TEST(Startup, GreetsBeforeTheWindowIsShown) {
    Program p;
    bool windowVisible = true;
    std::string titleDuringGreeting;
    p.desktop.whileMessageOpen = [&](const fake::Message&) {
        windowVisible = p.w.window->isVisible();
        titleDuringGreeting = p.w.window->title();
    };
    p.start();
    ASSERT_EQ(p.desktop.messages.size(), 1u);
    EXPECT_EQ(p.desktop.messages[0].title, "※寄语※");
    EXPECT_EQ(p.desktop.messages[0].text, std::string(14, ' ') +
                                              "莫要轻言做题苦,想想长征二万五！\r\n" +
                                              std::string(42, ' ') + "--------fromDovrel");
    EXPECT_FALSE(windowVisible);
    EXPECT_EQ(titleDuringGreeting, "Kestrune公考计时器");
    EXPECT_TRUE(p.w.window->isVisible());
}

TEST(Startup, WindowStateAfterSetUp) {
    Program p;
    p.desktop.clock = {2016, 2, 24, 9, 5, 3};
    p.start();
    MainWindow& w = p.w;
    EXPECT_EQ(w.window->title(), "Kestrune公考计时器V1.2");
    EXPECT_EQ(w.标签2->caption(), "00:00:00");
    EXPECT_EQ(w.编辑框1->text(), "》》》》》》2016年2月24日9时5分3秒");
    EXPECT_EQ(p.clock.recordNo, 1);
    EXPECT_EQ(p.clock.hours + p.clock.minutes + p.clock.seconds, 0);
    EXPECT_TRUE(p.clock.hoursText.empty() && p.clock.minutesText.empty() &&
                p.clock.secondsText.empty());

    for (ui::Button* b : {w.按钮5, w.按钮6, w.按钮9, w.按钮10, w.按钮11}) {
        EXPECT_FALSE(b->isEnabled()) << b->caption();
    }
    for (ui::Button* b : {w.按钮1, w.按钮2, w.按钮3, w.按钮4, w.按钮7, w.按钮8, w.按钮12}) {
        EXPECT_TRUE(b->isEnabled()) << b->caption();
    }
    EXPECT_EQ(w.按钮1->caption(), "正计时");
    EXPECT_EQ(w.按钮2->caption(), "倒计时");
    EXPECT_FALSE(w.农历月历1->isVisible());
    EXPECT_EQ(w.时钟1->period(), 0);
    EXPECT_EQ(w.时钟2->period(), 0);
    EXPECT_EQ(w.编辑框2->text(), "");
    EXPECT_EQ(w.组合框2->text(), "未选");
    EXPECT_EQ(w.组合框2->currentIndex(), 0);
    EXPECT_EQ(w.组合框1->text(), "");
    EXPECT_EQ(w.组合框1->currentIndex(), -1);
    EXPECT_EQ(w.选择列表框1->currentIndex(), 0);
    EXPECT_EQ(fake::as<fake::CheckList>(w.选择列表框1).checked(), -1);
    EXPECT_EQ(w.选择列表框1->count(), 13);
}

TEST(Startup, HeaderLineAtMidnightCarriesTheDateAlone) {
    Program p;
    p.desktop.clock = {2016, 2, 24, 0, 0, 0};
    p.start();
    EXPECT_EQ(p.w.编辑框1->text(), "》》》》》》2016年2月24日");
}

TEST(Startup, LogCannotBeTypedIntoMinutesBoxCan) {
    Program p;
    p.start();
    std::string header = p.w.编辑框1->text();
    p.type(p.w.编辑框1, "typed");
    EXPECT_EQ(p.w.编辑框1->text(), header);
    p.type(p.w.编辑框2, "任何 text 25");
    EXPECT_EQ(p.w.编辑框2->text(), "任何 text 25");
}

TEST(Startup, ExitCleanUpReleasesTheClockTexts) {
    Program p;
    p.start();
    p.w.时钟1->setPeriod(1000);
    p.toolkit.advanceSeconds(1);
    ASSERT_EQ(p.clock.secondsText, "01");
    app::exitCleanUp(p.clock);
    EXPECT_TRUE(p.clock.hoursText.empty() && p.clock.minutesText.empty() &&
                p.clock.secondsText.empty());
}
