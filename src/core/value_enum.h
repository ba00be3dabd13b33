// Reading every value of a key in one enumeration: each value's name, type and data together.
#pragma once

#include "core/key_info.h"

#include <functional>
#include <string_view>

namespace hw::core {

// Returns whether the value was dealt with. The name is followed by a NUL, as the store wrote it.
using ValueVisitor = std::function<bool(std::string_view name, DWORD type, const BYTE* data, DWORD size)>;

// Visits the values of a key open with KEY_QUERY_VALUE in the registry's order. The buffers are sized once
// from info and grow only for a value that outgrew it since; a value that cannot be read is skipped. True
// when every value was read and visited.
bool VisitValues(HKEY key, const KeyInfo& info, const ValueVisitor& visit);

} // namespace hw::core
