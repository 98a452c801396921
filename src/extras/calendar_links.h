#pragma once

#include "clock/session.h"

namespace extras {

// 按钮7 and 按钮12.
void bindCalendarAndLinks(Session& s);

}  // namespace extras
