#include "qt/style.h"

#include <QApplication>
#include <QFont>

namespace qtui {

void useDesktopMetrics() {
    QFont f = QApplication::font();
    f.setPixelSize(12);
    QApplication::setFont(f);
}

}  // namespace qtui
