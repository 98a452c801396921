#pragma once

#include <string>

#include "clock/session.h"
#include "text/datetime.h"

namespace records {

// "》》》》》》" and the date-time: the first line of every log and every block.
std::string headerLine(const text::DateTime& when);

// The log becomes one fresh header line; recordNo is the caller's business.
void resetLog(Session& s);

}  // namespace records
