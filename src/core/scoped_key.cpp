#include "core/scoped_key.h"

#include <utility>

namespace hw::core {

ScopedKey::~ScopedKey() {
    reset();
}

ScopedKey::ScopedKey(ScopedKey&& other) noexcept
    : handle_(std::exchange(other.handle_, 0)), owned_(std::exchange(other.owned_, false)) {}

ScopedKey& ScopedKey::operator=(ScopedKey&& other) noexcept {
    if (this != &other) {
        reset();
        handle_ = std::exchange(other.handle_, 0);
        owned_ = std::exchange(other.owned_, false);
    }
    return *this;
}

void ScopedKey::reset() {
    if (owned_ && handle_ != 0) RegCloseKey(handle_);
    handle_ = 0;
    owned_ = false;
}

ScopedKey OpenKey(HKEY parent, const std::string& subKey, REGSAM access) {
    HKEY key = 0;
    if (RegOpenKeyExA(parent, subKey.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return ScopedKey::Owning(key);
}

ScopedKey OpenKeyOrUseRoot(HKEY root, const std::string& subKey, REGSAM access) {
    if (subKey.empty()) return ScopedKey::Borrowing(root);
    return OpenKey(root, subKey, access);
}

ScopedKey OpenKeyDefault(HKEY parent, const std::string& subKey) {
    HKEY key = 0;
    if (RegOpenKeyA(parent, subKey.c_str(), &key) != ERROR_SUCCESS) return {};
    return ScopedKey::Owning(key);
}

ScopedKey CreateKey(HKEY parent, const std::string& subKey) {
    HKEY key = 0;
    if (RegCreateKeyA(parent, subKey.c_str(), &key) != ERROR_SUCCESS) return {};
    return ScopedKey::Owning(key);
}

ScopedKey CreateKeyForWriteOrUseRoot(HKEY root, const std::string& subKey, bool* created) {
    if (subKey.empty()) return ScopedKey::Borrowing(root);
    HKEY key = 0;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                        &disposition) != ERROR_SUCCESS) {
        return {};
    }
    if (created) *created = disposition == REG_CREATED_NEW_KEY;
    return ScopedKey::Owning(key);
}

} // namespace hw::core
