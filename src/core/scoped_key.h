// A key handle that an operation holds for its own duration: opened keys are closed when it goes, a root
// used in place is not.
#pragma once

#include "platform/winreg.h"

#include <string>

namespace hw::core {

class ScopedKey {
  public:
    ScopedKey() = default;
    ~ScopedKey();
    ScopedKey(ScopedKey&& other) noexcept;
    ScopedKey& operator=(ScopedKey&& other) noexcept;
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    // A handle this object closes.
    static ScopedKey Owning(HKEY opened) { return ScopedKey(opened, true); }
    // A handle that stays open (a root, or a key some caller owns).
    static ScopedKey Borrowing(HKEY key) { return ScopedKey(key, false); }

    bool valid() const { return handle_ != 0; }
    explicit operator bool() const { return valid(); }
    HKEY get() const { return handle_; }
    // Closes an owned handle now.
    void reset();

  private:
    ScopedKey(HKEY handle, bool owned) : handle_(handle), owned_(owned) {}

    HKEY handle_ = 0;
    bool owned_ = false;
};

// RegOpenKeyExA; an empty path gives a new handle to the parent. Invalid on failure.
ScopedKey OpenKey(HKEY parent, const std::string& subKey, REGSAM access);
// As OpenKey, but an empty path uses the root itself instead of opening it.
ScopedKey OpenKeyOrUseRoot(HKEY root, const std::string& subKey, REGSAM access);
// RegOpenKeyA: the widest access the key grants.
ScopedKey OpenKeyDefault(HKEY parent, const std::string& subKey);
// RegCreateKeyA: opens or creates every key on the path.
ScopedKey CreateKey(HKEY parent, const std::string& subKey);
// RegCreateKeyExA with KEY_WRITE, creating missing keys; an empty path uses the root itself. created, when
// given, tells whether the key itself was made.
ScopedKey CreateKeyForWriteOrUseRoot(HKEY root, const std::string& subKey, bool* created = nullptr);

} // namespace hw::core
