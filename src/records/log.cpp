#include "records/log.h"

#include <cstdint>

#include "text/convert.h"

namespace records {

std::string headerLine(const text::DateTime& when) {
    return "》》》》》》" + text::dateTimeToText(when);
}

void resetLog(Session& s) {
    s.main.编辑框1->setText(headerLine(s.desktop.now()));
}

std::string recordLine(const Session& s) {
    const MainWindow& w = s.main;
    const ClockState& c = s.clock;
    int current = w.选择列表框1->currentIndex();
    std::string section;
    if (current >= 0 && current < w.选择列表框1->count())
        section = w.选择列表框1->itemText(current);
    double minutes = c.hours * 60.0 + c.minutes;
    return "\r\nNo." + text::intToText(c.recordNo) + "：" + section + "-" +
           text::realToText(minutes) + "分钟-题量：" + w.组合框2->text();
}

void appendRecordLine(Session& s) {
    s.main.编辑框1->appendText(recordLine(s));
    // Wraps rather than overflowing; nobody records two billion lines.
    s.clock.recordNo = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.clock.recordNo) + 1u);
    s.main.按钮6->setEnabled(true);
}

}  // namespace records
