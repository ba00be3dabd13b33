// The favourites file: one "name=key path" line per favourite, in the Windows directory.
#pragma once

#include <string>
#include <vector>

namespace hw::window {

inline constexpr const char* kFavoritesFileName = "HIVEWRIGHT_FAVORITES.INI";

// The file in windowsDir, or beside the program when no Windows directory is known.
std::string FavoritesFilePath(const std::string& windowsDir);

// The file's lines (CR LF or LF endings), or nothing when it does not exist.
std::vector<std::string> ReadFavoritesFile(const std::string& path);

} // namespace hw::window
