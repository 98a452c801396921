#include "records/records.h"

namespace records {

void bindButtons(Session&) {}

}  // namespace records
