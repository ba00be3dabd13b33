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

namespace {

class RefusingStream final : public platform::SubtreeStream, private platform::SubtreeVisitor {
  public:
    RefusingStream(std::unique_ptr<platform::SubtreeStream> inner, const ObservedStore& store)
        : inner_(std::move(inner)), store_(store) {}
    LONG Next(platform::SubtreeVisitor& visitor) override {
        visitor_ = &visitor;
        return inner_->Next(*this);
    }

  private:
    bool Key(std::string_view name, DWORD depth) override {
        if (depth == 0 || !store_.Refuses(std::string(name).c_str())) return visitor_->Key(name, depth);
        visitor_->Unopened(name, depth);
        return false;
    }
    void Unopened(std::string_view name, DWORD depth) override { visitor_->Unopened(name, depth); }
    void Value(std::string_view name, DWORD type, std::string_view data) override {
        visitor_->Value(name, type, data);
    }
    bool Pause() override { return visitor_->Pause(); }

    std::unique_ptr<platform::SubtreeStream> inner_;
    const ObservedStore& store_;
    platform::SubtreeVisitor* visitor_ = nullptr;
};

} // namespace

LONG ObservedStore::OpenSubtree(HKEY parent, LPCSTR subKey,
                                std::unique_ptr<platform::SubtreeStream>& stream) {
    if (Refuses(subKey)) return ERROR_ACCESS_DENIED;
    std::unique_ptr<platform::SubtreeStream> inner;
    const LONG result = inner_->OpenSubtree(parent, subKey, inner);
    if (result == ERROR_SUCCESS) stream = std::make_unique<RefusingStream>(std::move(inner), *this);
    return result;
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
