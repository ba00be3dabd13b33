// Finding a search text in the byte text of a byte sequence, character for character, without building
// the whole text.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace hw::editors {

// The byte text position of the first occurrence of pattern starting at or after from; nothing for an
// empty pattern or none found.
std::optional<std::size_t> FindInByteText(std::string_view bytes, std::string_view pattern, std::size_t from);

} // namespace hw::editors
