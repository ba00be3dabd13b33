#include "app/window/favorites_file.h"

#include "util/program_dir.h"

#include <fstream>

namespace hw::window {

std::string FavoritesFilePath(const std::string& windowsDir) {
    const std::string dir = windowsDir.empty() ? util::ProgramDir() : windowsDir;
    return dir + "/" + kFavoritesFileName;
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

} // namespace hw::window
