#include <gtest/gtest.h>

#include "fake_program.h"

using fake::Program;

namespace {

constexpr const char* kHeader = "》》》》》》2016年2月24日9时5分3秒";

fake::CheckList& sections(Program& p) {
    return fake::as<fake::CheckList>(p.w.选择列表框1);
}
fake::ComboBox& counts(Program& p) {
    return fake::as<fake::ComboBox>(p.w.组合框2);
}

// Counts up for the given time and pauses, which makes 按钮5 available.
void countUpAndPause(Program& p, int seconds) {
    p.click(p.w.按钮1);
    p.toolkit.advanceSeconds(seconds);
    p.click(p.w.按钮4);
}

struct LineCase {
    const char* name;
    int seconds;        // counted up before the pause
    int section;        // highlighted item, -1: none
    int pickedCount;    // item picked in 组合框2, -1: untouched
    const char* typed;  // typed into 组合框2 after that, nullptr: nothing
    const char* expected;
};

}  // namespace

// What one click on 按钮5 adds to a fresh log, for the fields that vary.
TEST(RecordLine, Table) {
    const LineCase table[] = {
        {"seconds are dropped", 25 * 60 + 40, 2, 2, nullptr, "\r\nNo.1：常识判断-25分钟-题量：10"},
        {"under a minute", 40, 0, -1, nullptr, "\r\nNo.1：常规计时（单项）-0分钟-题量：未选"},
        {"hours become minutes", 3600 + 5 * 60 + 30, 4, -1, "二十",
         "\r\nNo.1：数量关系-65分钟-题量：二十"},
        {"over two hours, count emptied", 2 * 3600 + 5 * 60, 12, 3, "",
         "\r\nNo.1：申论大作文-125分钟-题量："},
        {"no current section", 25 * 60, -1, 8, nullptr, "\r\nNo.1：-25分钟-题量：40"},
        {"a full-width section name", 60, 1, -1, "１５",
         "\r\nNo.1：常规计时（套卷）-1分钟-题量：１５"},
    };
    for (const LineCase& c : table) {
        Program p;
        p.start();
        countUpAndPause(p, c.seconds);
        sections(p).select(c.section);
        if (c.pickedCount >= 0) counts(p).pick(c.pickedCount);
        if (c.typed != nullptr) counts(p).type(c.typed);

        ASSERT_TRUE(p.click(p.w.按钮5)) << c.name;
        EXPECT_EQ(p.w.编辑框1->text(), std::string(kHeader) + c.expected) << c.name;
        EXPECT_EQ(p.clock.recordNo, 2) << c.name;
    }
}

// The click adds a line, counts on and enables saving; nothing else moves.
TEST(RecordLine, AppendsAndChangesNothingElse) {
    Program p;
    p.start();
    countUpAndPause(p, 18 * 60 + 5);
    sections(p).select(6);
    counts(p).pick(4);
    EXPECT_FALSE(p.w.按钮6->isEnabled());

    p.click(p.w.按钮5);
    p.click(p.w.按钮5);

    EXPECT_EQ(p.w.编辑框1->text(), std::string(kHeader) +
                                       "\r\nNo.1：资料分析-18分钟-题量：20"
                                       "\r\nNo.2：资料分析-18分钟-题量：20");
    EXPECT_EQ(p.clock.recordNo, 3);
    EXPECT_TRUE(p.w.按钮5->isEnabled());
    EXPECT_TRUE(p.w.按钮6->isEnabled());
    EXPECT_EQ(p.clockText(), "00:18:05");
    EXPECT_EQ(p.w.时钟1->period(), 0);
    EXPECT_EQ(p.w.按钮1->caption(), "继续");
    EXPECT_EQ(sections(p).currentIndex(), 6);
    EXPECT_EQ(counts(p).text(), "20");
    EXPECT_TRUE(p.desktop.messages.size() == 1) << "only the greeting";
}

// A check mark is not the current item: the highlighted line is recorded.
TEST(RecordLine, TakesTheHighlightedSectionNotTheChecked) {
    Program p;
    p.start();
    countUpAndPause(p, 60);
    sections(p).check(2);   // 常识判断
    sections(p).select(4);  // then a click on the text of 数量关系
    p.click(p.w.按钮5);
    EXPECT_EQ(p.w.编辑框1->text(), std::string(kHeader) + "\r\nNo.1：数量关系-1分钟-题量：未选");
}

// The minutes are read at the click, running clock or not; a reset does not
// restart the numbering.
TEST(RecordLine, MinutesAtTheClickAndNumberingAcrossAReset) {
    Program p;
    p.start();
    countUpAndPause(p, 10 * 60);
    p.click(p.w.按钮5);
    p.click(p.w.按钮1);  // 继续
    p.toolkit.advanceSeconds(5 * 60);
    p.click(p.w.按钮5);  // still enabled while counting on
    p.click(p.w.按钮3);  // reset
    EXPECT_FALSE(p.click(p.w.按钮5));
    countUpAndPause(p, 3 * 60);
    p.click(p.w.按钮5);

    EXPECT_EQ(p.w.编辑框1->text(), std::string(kHeader) +
                                       "\r\nNo.1：常规计时（单项）-10分钟-题量：未选"
                                       "\r\nNo.2：常规计时（单项）-15分钟-题量：未选"
                                       "\r\nNo.3：常规计时（单项）-3分钟-题量：未选");
    EXPECT_EQ(p.clock.recordNo, 4);
}
