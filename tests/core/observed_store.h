// The real SQLite store with two test hooks: it records the keys deleted, in order, and refuses to open keys
// with one chosen name, like a key the user has no access to.
#pragma once

#include "platform/registry_store.h"
#include "support/temp_registry.h"

#include <memory>
#include <string>
#include <vector>

namespace hw::test {

class ObservedStore : public platform::RegistryStore {
  public:
    explicit ObservedStore(std::unique_ptr<platform::RegistryStore> inner) : inner_(std::move(inner)) {}

    std::vector<std::string> deletedKeys;
    // Opening a key whose last name is this (any case) is refused; empty refuses nothing.
    std::string refusedName;

    LONG OpenKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result) override;
    LONG OpenKeyMaximum(HKEY parent, LPCSTR subKey, PHKEY result) override;
    LONG CreateKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition) override {
        return inner_->CreateKey(parent, subKey, access, result, disposition);
    }
    LONG QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                      LPDWORD maxValueNameLen, LPDWORD maxValueLen, FILETIME* lastWrite) override {
        return inner_->QueryInfoKey(key, subKeys, maxSubKeyLen, values, maxValueNameLen, maxValueLen,
                                    lastWrite);
    }
    LONG EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength) override {
        return inner_->EnumKey(key, index, name, nameLength);
    }
    LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD type, LPBYTE data,
                   LPDWORD dataLength) override {
        return inner_->EnumValue(key, index, name, nameLength, type, data, dataLength);
    }
    // Walks hand over refused keys as keys that cannot be opened.
    LONG OpenSubtree(HKEY parent, LPCSTR subKey, std::unique_ptr<platform::SubtreeStream>& stream) override;
    LONG QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD dataLength) override {
        return inner_->QueryValue(key, name, type, data, dataLength);
    }
    LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) override {
        return inner_->SetValue(key, name, type, data, size);
    }
    LONG DeleteValue(HKEY key, LPCSTR name) override { return inner_->DeleteValue(key, name); }
    LONG DeleteKey(HKEY parent, LPCSTR subKey) override;
    LONG CloseKey(HKEY key) override { return inner_->CloseKey(key); }
    void Flush() override { inner_->Flush(); }
    // Whether opening the key is refused.
    bool Refuses(LPCSTR subKey) const;

  private:
    std::unique_ptr<platform::RegistryStore> inner_;
};

// A fresh seeded store in a temp dir, installed as an ObservedStore for the object's lifetime.
class ObservedRegistry {
  public:
    ObservedRegistry();
    ~ObservedRegistry();
    ObservedRegistry(const ObservedRegistry&) = delete;
    ObservedRegistry& operator=(const ObservedRegistry&) = delete;
    ObservedStore& store() { return *store_; }

  private:
    TempDir dir_;
    ObservedStore* store_ = nullptr;
};

} // namespace hw::test
