// Key tree steps that tell the change feed nothing: the public operations built on them tell it once, as
// one change (a rename is one rename, not an addition and a removal).
#pragma once

#include "platform/registry_store.h"
#include "platform/winreg.h"

#include <string>

namespace hw::core {

// DeleteKeyTree without telling.
bool RemoveKeyTree(HKEY parent, const std::string& subKey);

struct TreeCopy {
    bool destinationMade = false; // the destination key exists and may have received entries
    bool complete = false;        // nothing was skipped
};
// Copies what the stream hands over (a key's values and subtree) into destination, in parts between the
// stream's calls, without telling; true when nothing was skipped.
bool CopySubtree(platform::SubtreeStream& source, HKEY destination);
// Copies the source key's values and subkeys into the destination (created when missing), without telling.
TreeCopy CopyKeyTree(HKEY sourceRoot, const std::string& sourceSubKey, HKEY destinationRoot,
                     const std::string& destinationSubKey);

} // namespace hw::core
