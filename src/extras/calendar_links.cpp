#include "extras/calendar_links.h"

#include "config/urls.h"

namespace extras {

const std::array<QuestionBankLink, 3> kQuestionBankLinks = {{
    {"中公题库", config::kQuestionBank1Url},
    {"华图题库", config::kQuestionBank2Url},
    {"粉笔题库", config::kQuestionBank3Url},
}};

void toggleCalendar(Session& s) {
    MainWindow& w = s.main;
    // The calendar's own visibility decides, so a caption out of step cannot invert the button.
    if (w.农历月历1->isVisible()) {
        w.农历月历1->setVisible(false);
        w.按钮7->setCaption("日历");
    } else {
        w.农历月历1->setVisible(true);
        w.按钮7->setCaption("隐藏");
    }
}

void openQuestionBank(Session& s) {
    // Only an item picked from the list counts; whatever was typed into the field does not.
    const ui::ComboBox& chooser = *s.main.组合框1;
    const std::string chosen = chooser.itemText(chooser.currentIndex());
    if (chosen.empty()) {
        s.desktop.showMessage("信息：", "请选择一个题库");
        return;
    }
    for (const QuestionBankLink& link : kQuestionBankLinks) {
        if (chosen == link.item) {
            s.desktop.openUrl(link.url);
            return;
        }
    }
}

void bindCalendarAndLinks(Session& s) {
    s.main.按钮7->setOnClicked([&s] { toggleCalendar(s); });
    s.main.按钮12->setOnClicked([&s] { openQuestionBank(s); });
}

}  // namespace extras
