#include "content/favorites_list.h"

#include "core/key_path.h"
#include "platform/winreg.h"
#include "util/text.h"

#include <algorithm>

namespace hw::content {

KeyPresence KeyPathPresence(const std::string& path) {
    const HKEY root = core::RootKeyOfPath(path);
    if (!root) return KeyPresence::Absent;
    const std::string subKey = core::SubKeyOrEmpty(path);
    if (subKey.empty()) return KeyPresence::Present;
    HKEY key = 0;
    switch (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key)) {
    case ERROR_SUCCESS:
        RegCloseKey(key);
        return KeyPresence::Present;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_KEY_DELETED:
        return KeyPresence::Absent;
    default:
        return KeyPresence::Unknown;
    }
}

std::string FavoritesList::NameOf(const std::string& line) {
    return line.substr(0, line.find('='));
}

std::string FavoritesList::PathOf(const std::string& line) {
    const std::size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : line.substr(equals + 1);
}

std::vector<std::string> FavoritesList::Names() const {
    std::vector<std::string> names;
    for (const std::string& line : lines_)
        names.push_back(NameOf(line));
    return names;
}

std::vector<std::string>::iterator FavoritesList::Find(const std::string& name) {
    const std::string wanted = util::UpperCaseAscii(name);
    return std::find_if(lines_.begin(), lines_.end(), [&wanted](const std::string& line) {
        return util::UpperCaseAscii(NameOf(line)) == wanted;
    });
}

std::vector<std::string>::const_iterator FavoritesList::Find(const std::string& name) const {
    return const_cast<FavoritesList*>(this)->Find(name);
}

bool FavoritesList::Contains(const std::string& name) const {
    return Find(name) != lines_.end();
}

std::optional<std::string> FavoritesList::PathOfName(const std::string& name) const {
    const auto line = Find(name);
    if (line == lines_.end()) return std::nullopt;
    return PathOf(*line);
}

bool FavoritesList::Put(const std::string& name, const std::string& keyPath) {
    const auto line = Find(name);
    if (line != lines_.end()) {
        *line = NameOf(*line) + "=" + keyPath;
        return false;
    }
    lines_.push_back(name + "=" + keyPath);
    return true;
}

void FavoritesList::Remove(const std::string& name) {
    const auto line = Find(name);
    if (line != lines_.end()) lines_.erase(line);
}

void FavoritesList::PruneAbsentKeys() {
    std::vector<std::string> kept;
    for (const std::string& line : lines_) {
        const KeyPresence presence = KeyPathPresence(PathOf(line));
        if (presence == KeyPresence::Unknown) return;
        if (presence == KeyPresence::Present) kept.push_back(line);
    }
    lines_ = std::move(kept);
}

} // namespace hw::content
