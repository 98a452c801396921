#include "extras/music.h"

namespace extras {

void bindMusic(Session&) {}

}  // namespace extras
