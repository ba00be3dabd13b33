// The favourites file: one "name=key path" line per favourite, CR LF after each, in the Windows directory.
#pragma once

#include <string>
#include <vector>

namespace hw::content {

inline constexpr const char* kFavoritesFileName = "HIVEWRIGHT_FAVORITES.INI";

std::string FavoritesFilePath(const std::string& windowsDir);

// The file's lines (CR LF or LF endings), or nothing when it does not exist.
std::vector<std::string> ReadFavoritesFile(const std::string& path);

// Replaces the file atomically (creating its folder when needed); false when it cannot be written.
bool WriteFavoritesFile(const std::string& path, const std::vector<std::string>& lines);

} // namespace hw::content
