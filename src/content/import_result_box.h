// The message after a registration file import: success, or which lines failed.
#pragma once

#include "regfile/reg_import.h"

namespace hw::content {

// Text 43 in a notice box for success; otherwise texts 44 or 45 in an error box, followed by the failed
// lines (line number and section, the first ten, then how many more).
void ShowImportResult(const regfile::ImportReport& report);

} // namespace hw::content
