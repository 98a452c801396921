#pragma once

#include "clock/session.h"

namespace app {

inline constexpr const char* kGreetingTitle = "※寄语※";
// 14 spaces, the motto, CR LF, 42 spaces, the signature.
inline constexpr const char* kGreeting =
    "              莫要轻言做题苦,想想长征二万五！\r\n"
    "                                          --------fromDovrel";
inline constexpr const char* kTitle = "Kestrune公考计时器V1.2";

// The created event of MainWindow: runs once, before the window is shown.
void setUpMainWindow(Session& s);

// Binds every handler to its control.
void bindEvents(Session& s);

// Runs once after the message loop has ended.
void exitCleanUp(ClockState& clock);

}  // namespace app
