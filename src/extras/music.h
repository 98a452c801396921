#pragma once

#include "clock/session.h"

namespace extras {

// 按钮8 to 按钮11.
void bindMusic(Session& s);

}  // namespace extras
