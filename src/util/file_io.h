// Reading and writing whole files as bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hw::util {

// The file's bytes; nothing when it does not exist or cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& fileName);

// Creates or truncates the file and writes bytes; false when that fails.
bool WriteFileBytes(const std::string& fileName, std::string_view bytes);

// Writes a sibling temp file and renames it over the file, so that a crash leaves either the old or the
// new content, never a part. An existing file keeps its permissions; a symbolic link keeps pointing at
// the (replaced) target.
bool ReplaceFileAtomically(const std::string& fileName, std::string_view bytes);

} // namespace hw::util
