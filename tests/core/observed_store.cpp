#include "observed_store.h"

#include "core/ascii_case.h"

#include <stdexcept>
#include <string_view>

namespace hw::test {

bool ObservedStore::Refuses(LPCSTR subKey) const {
    if (refusedName.empty() || subKey == nullptr) return false;
    const std::string_view path(subKey);
    const auto separator = path.rfind('\\');
    return core::EqualsIgnoringCase(separator == std::string_view::npos ? path : path.substr(separator + 1),
                                    refusedName);
}

LONG ObservedStore::OpenKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result) {
    if (Refuses(subKey)) return ERROR_ACCESS_DENIED;
    return inner_->OpenKey(parent, subKey, access, result);
}

LONG ObservedStore::OpenKeyMaximum(HKEY parent, LPCSTR subKey, PHKEY result) {
    if (Refuses(subKey)) return ERROR_ACCESS_DENIED;
    return inner_->OpenKeyMaximum(parent, subKey, result);
}

LONG ObservedStore::DeleteKey(HKEY parent, LPCSTR subKey) {
    const LONG result = inner_->DeleteKey(parent, subKey);
    if (result == ERROR_SUCCESS) deletedKeys.emplace_back(subKey);
    return result;
}

ObservedRegistry::ObservedRegistry() {
    std::string error;
    auto inner = platform::OpenSqliteStore(dir_.file("registry.db"), &error);
    if (!inner) throw std::runtime_error("cannot open the test registry: " + error);
    auto store = std::make_unique<ObservedStore>(std::move(inner));
    store_ = store.get();
    platform::UseRegistry(std::move(store));
}

ObservedRegistry::~ObservedRegistry() {
    platform::UseRegistry(nullptr);
}

} // namespace hw::test
