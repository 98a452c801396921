#include "records/records.h"

#include "records/diary.h"
#include "records/log.h"

namespace records {

void bindButtons(Session& s) {
    s.main.按钮5->setOnClicked([&s] { appendRecordLine(s); });
    s.main.按钮6->setOnClicked([&s] { saveLog(s); });
}

}  // namespace records
