// What the key tree reads from the registry: a key's subkey names and whether a key has subkeys.
#pragma once

#include "core/key_ops.h"
#include "platform/platform_facts.h"

#include <optional>
#include <string>

namespace hw::window {

// The subkey names of the key at path in the tree's order; nothing when the key cannot be opened for reading.
// The names are sorted without regard to case unless the platform already lists them that way.
std::optional<core::NameList> ReadSubKeyNames(const std::string& path, const platform::PlatformFacts& facts);

// One open and one information query: true when the key opens for reading and reports a subkey.
bool KeyPathHasSubKeys(const std::string& path);

} // namespace hw::window
