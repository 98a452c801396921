#pragma once
// The four timing buttons. There is no mode variable: which timer runs, the
// captions and enabled states of 按钮1/按钮2 and the minutes box are the state.

#include "clock/session.h"

namespace timing {

inline constexpr const char* kCountUp = "正计时";
inline constexpr const char* kCountDown = "倒计时";
inline constexpr const char* kContinue = "继续";
inline constexpr const char* kNeedMinutes = "请在框内输入需要倒计时的分钟数（不能输入字母）";

void clickCountUp(Session& s);    // 按钮1
void clickCountDown(Session& s);  // 按钮2
void clickPause(Session& s);      // 按钮4
void clickReset(Session& s);      // 按钮3

void bindButtons(Session& s);

}  // namespace timing
