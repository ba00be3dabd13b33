// Key tree steps that tell the change feed nothing: the public operations built on them tell it once, as
// one change (a rename is one rename, not an addition and a removal).
#pragma once

#include "platform/winreg.h"

#include <string>

namespace hw::core {

// DeleteKeyTree without telling.
bool RemoveKeyTree(HKEY parent, const std::string& subKey);

struct TreeCopy {
    bool destinationMade = false; // the destination key exists and may have received entries
    bool complete = false;        // nothing was skipped
};
// Copies the source key's values and subkeys into the destination (created when missing), without telling.
TreeCopy CopyKeyTree(HKEY sourceRoot, const std::string& sourceSubKey, HKEY destinationRoot,
                     const std::string& destinationSubKey);

} // namespace hw::core
