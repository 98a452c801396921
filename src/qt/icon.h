#pragma once

#include <QIcon>

namespace qtui {

// The program's icon, drawn at 48, 32, 24 and 16 pixels.
QIcon programIcon();

}  // namespace qtui
