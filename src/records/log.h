#pragma once

#include <string>

#include "clock/session.h"
#include "text/datetime.h"

namespace records {

// "》》》》》》" and the date-time: the first line of every log and every block.
std::string headerLine(const text::DateTime& when);

// The log becomes one fresh header line; recordNo is the caller's business.
void resetLog(Session& s);

// "\r\nNo.<recordNo>：<section>-<minutes>分钟-题量：<count>" from the screen and
// the clock as they are now. The section is the highlighted item of
// 选择列表框1, not the checked one; whole minutes, seconds dropped.
std::string recordLine(const Session& s);

// 按钮5: one more numbered line at the end of the log.
void appendRecordLine(Session& s);

}  // namespace records
