#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/urls.h"
#include "extras/calendar_links.h"
#include "fake_program.h"

using fake::Program;

namespace {

struct CalendarLinks : ::testing::Test {
    Program p;
    void SetUp() override {
        p.start();
        p.desktop.messages.clear();  // the greeting
    }
    fake::ComboBox& chooser() { return fake::as<fake::ComboBox>(p.w.组合框1); }
};

// ---- 按钮7 -----------------------------------------------------------------------------

TEST_F(CalendarLinks, EachClickTogglesTheCalendarAndNamesTheNextClick) {
    struct Step {
        bool visible;
        const char* caption;
    };
    const Step steps[] = {{true, "隐藏"}, {false, "日历"}, {true, "隐藏"}, {false, "日历"}};
    ASSERT_FALSE(p.w.农历月历1->isVisible());
    ASSERT_EQ(p.w.按钮7->caption(), "日历");
    int n = 0;
    for (const Step& step : steps) {
        ++n;
        ASSERT_TRUE(p.click(p.w.按钮7));
        EXPECT_EQ(p.w.农历月历1->isVisible(), step.visible) << "after click " << n;
        EXPECT_EQ(p.w.按钮7->caption(), step.caption) << "after click " << n;
    }
    EXPECT_TRUE(p.desktop.messages.empty());
}

TEST_F(CalendarLinks, VisibilityDecidesNotTheCaption) {
    struct Case {
        bool visibleBefore;
        const char* captionBefore;  // out of step with the calendar
        bool visibleAfter;
        const char* captionAfter;
    };
    const Case cases[] = {{false, "隐藏", true, "隐藏"}, {true, "日历", false, "日历"}};
    for (const Case& c : cases) {
        p.w.农历月历1->setVisible(c.visibleBefore);
        p.w.按钮7->setCaption(c.captionBefore);
        p.click(p.w.按钮7);
        EXPECT_EQ(p.w.农历月历1->isVisible(), c.visibleAfter) << c.captionBefore;
        EXPECT_EQ(p.w.按钮7->caption(), c.captionAfter) << c.captionBefore;
    }
}

TEST_F(CalendarLinks, ClockRunsOnUnderTheCalendar) {
    p.click(p.w.按钮1);  // count up
    p.click(p.w.按钮7);
    p.toolkit.advanceSeconds(3);
    EXPECT_EQ(p.clockText(), "00:00:03");
    p.click(p.w.按钮7);
    p.toolkit.advanceSeconds(2);
    EXPECT_EQ(p.clockText(), "00:00:05");
}

// ---- 按钮12 ----------------------------------------------------------------------------

struct BankCase {
    const char* name;
    std::function<void(fake::ComboBox&)> choose;
    const char* url;  // nullptr: asks to choose instead
};

TEST(QuestionBank, OpensOnlyAPickedItem) {
    const BankCase cases[] = {
        {"nothing chosen", [](fake::ComboBox&) {}, nullptr},
        {"typed, not picked", [](fake::ComboBox& c) { c.type("中公题库"); }, nullptr},
        {"typed another bank's name", [](fake::ComboBox& c) { c.type("粉笔"); }, nullptr},
        {"中公题库", [](fake::ComboBox& c) { c.pick(0); }, config::kQuestionBank1Url},
        {"华图题库", [](fake::ComboBox& c) { c.pick(1); }, config::kQuestionBank2Url},
        {"粉笔题库", [](fake::ComboBox& c) { c.pick(2); }, config::kQuestionBank3Url},
        {"picked, then other text typed",
         [](fake::ComboBox& c) {
             c.pick(1);
             c.type("中公题库");
         },
         config::kQuestionBank2Url},
    };
    for (const BankCase& c : cases) {
        Program fresh;
        fresh.start();
        fresh.desktop.messages.clear();
        c.choose(fake::as<fake::ComboBox>(fresh.w.组合框1));
        ASSERT_TRUE(fresh.click(fresh.w.按钮12)) << c.name;
        if (c.url) {
            EXPECT_TRUE(fresh.desktop.messages.empty()) << c.name;
            EXPECT_EQ(fresh.desktop.urls, std::vector<std::string>{c.url}) << c.name;
        } else {
            ASSERT_EQ(fresh.desktop.messages.size(), 1u) << c.name;
            EXPECT_EQ(fresh.desktop.messages[0].title, "信息：") << c.name;
            EXPECT_EQ(fresh.desktop.messages[0].text, "请选择一个题库") << c.name;
            EXPECT_TRUE(fresh.desktop.urls.empty()) << c.name;
        }
    }
}

TEST_F(CalendarLinks, SecondClickOpensAgainAndTheChooserKeepsItsItem) {
    chooser().pick(1);
    p.click(p.w.按钮12);
    p.click(p.w.按钮12);
    EXPECT_EQ(p.desktop.urls,
              (std::vector<std::string>{config::kQuestionBank2Url, config::kQuestionBank2Url}));
    EXPECT_EQ(p.w.组合框1->currentIndex(), 1);
    EXPECT_EQ(p.w.组合框1->text(), "华图题库");
    EXPECT_TRUE(p.desktop.messages.empty());
}

TEST_F(CalendarLinks, AskingToChooseOpensNothingAndChangesNothing) {
    chooser().type("中公题库");
    p.click(p.w.按钮12);
    p.click(p.w.按钮12);
    EXPECT_EQ(p.desktop.messages.size(), 2u);  // asks every time
    EXPECT_TRUE(p.desktop.urls.empty());
    EXPECT_EQ(p.w.组合框1->text(), "中公题库");
    EXPECT_EQ(p.w.组合框1->currentIndex(), -1);
}

// The addresses are build settings; a mistyped override should not slip through unnoticed.
TEST(QuestionBankLinks, EveryChooserItemHasAPlainHttpAddress) {
    ASSERT_EQ(extras::kQuestionBankLinks.size(), 3u);
    Program p;
    for (std::size_t i = 0; i < extras::kQuestionBankLinks.size(); ++i) {
        const extras::QuestionBankLink& link = extras::kQuestionBankLinks[i];
        EXPECT_EQ(link.item, p.w.组合框1->itemText(static_cast<int>(i)));
        const std::string_view url = link.url;
        ASSERT_TRUE(url.starts_with("http://")) << url;
        const std::string_view rest = url.substr(7);
        const std::size_t slash = rest.find('/');
        ASSERT_NE(slash, std::string_view::npos) << url;
        EXPECT_GT(slash, 0u) << "no host: " << url;
        EXPECT_EQ(rest.substr(slash), i == 0 ? "/type/" : "/") << url;
        EXPECT_EQ(url.find_first_of("?# "), std::string_view::npos) << url;
    }
}

}  // namespace
