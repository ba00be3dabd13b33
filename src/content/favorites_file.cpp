#include "content/favorites_file.h"

#include "util/file_io.h"

#include <filesystem>
#include <fstream>

namespace hw::content {

std::string FavoritesFilePath(const std::string& windowsDir) {
    return windowsDir + "/" + kFavoritesFileName;
}

std::vector<std::string> ReadFavoritesFile(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool WriteFavoritesFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    return util::ReplaceFileAtomically(path, bytes);
}

} // namespace hw::content
