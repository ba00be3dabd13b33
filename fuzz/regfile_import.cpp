// Registration file reader under arbitrary input: the line scanner alone, then the whole import into a real
// store in a temp dir. Keys the input created at the top of a root are deleted again after each input.
#include "core/key_ops.h"
#include "platform/registry_store.h"
#include "regfile/line_source.h"
#include "regfile/reg_import.h"
#include "regfile/reg_scanner.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                           HKEY_CURRENT_CONFIG};

std::set<std::string> SubKeysOf(HKEY root) {
    hw::core::NameList names;
    hw::core::ListSubKeys(root, names);
    return {names.begin(), names.end()};
}

class FuzzRegistry {
  public:
    FuzzRegistry() {
        std::string pattern = "/tmp/hivewright-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        folder_ = pattern;
        setenv("XDG_CONFIG_HOME", (folder_ + "/config").c_str(), 1);
        std::string error;
        auto store = hw::platform::OpenSqliteStore(folder_ + "/registry.db", &error);
        if (!store) throw std::runtime_error(error);
        hw::platform::UseRegistry(std::move(store));
        for (HKEY root : kRoots)
            seeded_.emplace_back(root, SubKeysOf(root));
    }

    std::string InputFile() const { return folder_ + "/input.reg"; }

    void RemoveNewKeys() {
        for (const auto& [root, names] : seeded_) {
            for (const std::string& name : SubKeysOf(root)) {
                if (!names.contains(name)) hw::core::DeleteKeyTree(root, name);
            }
        }
    }

  private:
    std::string folder_;
    std::vector<std::pair<HKEY, std::set<std::string>>> seeded_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzRegistry registry;
    const std::string text(reinterpret_cast<const char*>(data), size);

    hw::regfile::TextLineSource lines(text);
    hw::regfile::RegLineScanner scanner(lines);
    hw::regfile::TRegImportInfo info;
    while (scanner.Next(info)) {
    }

    std::ofstream(registry.InputFile(), std::ios::binary | std::ios::trunc) << text;
    const auto result = hw::regfile::ImportRegFile(registry.InputFile());
    if (result == hw::regfile::ImportResult::FileNotFound) std::abort();
    registry.RemoveNewKeys();
    return 0;
}
