#include "extras/calendar_links.h"

namespace extras {

void bindCalendarAndLinks(Session&) {}

}  // namespace extras
