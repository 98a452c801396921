#pragma once

#include "clock/session.h"

namespace records {

// 按钮5 and 按钮6.
void bindButtons(Session& s);

}  // namespace records
