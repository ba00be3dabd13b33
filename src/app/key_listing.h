// What the key tree reads from the registry: a key's subkeys and whether each has subkeys of its own.
#pragma once

#include "platform/platform_facts.h"

#include <optional>
#include <string>
#include <vector>

namespace hw::app {

struct SubKeyEntry {
    std::string name;
    // The key opens for reading and reports at least one subkey.
    bool hasSubKeys = false;
};

// The subkeys of the key at path in the tree's order; nothing when the key cannot be opened for reading.
// Names are sorted without regard to case unless the platform already lists them that way. Each child's
// mark costs one open (relative to the open parent) and one information query.
std::optional<std::vector<SubKeyEntry>> ReadSubKeys(const std::string& path,
                                                    const platform::PlatformFacts& facts);

// Whether the key at path opens for reading and reports at least one subkey.
bool KeyHasSubKeys(const std::string& path);

// Whether the key at path no longer exists (deleted behind the window's back). A key that only refuses to
// be read is not gone.
bool KeyGone(const std::string& path);

} // namespace hw::app
