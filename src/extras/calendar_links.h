#pragma once

#include <array>

#include "clock/session.h"

namespace extras {

// A question-bank site as the chooser 组合框1 names it, and the page that opens for it.
struct QuestionBankLink {
    const char* item;
    const char* url;
};

extern const std::array<QuestionBankLink, 3> kQuestionBankLinks;

// 按钮7: shows the lunar calendar over the clock or hides it again; the caption names what the
// next click will do.
void toggleCalendar(Session& s);

// 按钮12: opens the site of the item picked in 组合框1 in the default browser.
void openQuestionBank(Session& s);

// 按钮7 and 按钮12.
void bindCalendarAndLinks(Session& s);

}  // namespace extras
