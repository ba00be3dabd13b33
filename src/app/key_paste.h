// The copy behind Paste Key, telling a complete copy from one that skipped entries.
#pragma once

#include <string>

namespace hw::app {

enum class KeyCopyOutcome { Complete, Partial, Failed };

// Copies the key at sourcePath with its subtree into destinationPath (created or merged into). Failed when
// the paths are nested, the source cannot be opened or the destination cannot be created.
KeyCopyOutcome CopyKeyForPaste(const std::string& sourcePath, const std::string& destinationPath);

} // namespace hw::app
