#include "records/log.h"

#include "text/convert.h"

namespace records {

std::string headerLine(const text::DateTime& when) {
    return "》》》》》》" + text::dateTimeToText(when);
}

void resetLog(Session& s) { s.main.编辑框1->setText(headerLine(s.desktop.now())); }

}  // namespace records
