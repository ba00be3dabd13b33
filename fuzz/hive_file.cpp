// Hive files under arbitrary input: open one read-only as the hive store does and walk every key and value it
// shows. Damage may refuse the file or make keys unreadable, never crash or hang.
#include "platform/registry_store.h"
#include "store/hive/regf_layout.h"

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

namespace {

constexpr int kMaxDepth = 32;
int keysLeft = 0;

void Walk(hw::platform::RegistryStore& store, HKEY key, int depth) {
    char name[256];
    BYTE data[512];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name, dataLength = sizeof data, type = 0;
        if (store.EnumValue(key, i, name, &nameLength, &type, data, &dataLength) == ERROR_NO_MORE_ITEMS)
            break;
        if (i > 4096) break;
    }
    for (DWORD i = 0; depth < kMaxDepth && keysLeft > 0; ++i) {
        DWORD nameLength = sizeof name;
        if (store.EnumKey(key, i, name, &nameLength) != ERROR_SUCCESS) break;
        HKEY child = 0;
        if (store.OpenKey(key, name, KEY_READ, &child) != ERROR_SUCCESS) continue;
        --keysLeft;
        Walk(store, child, depth + 1);
        store.CloseKey(child);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    namespace regf = hw::store::hive::regf;
    std::string image(reinterpret_cast<const char*>(bytes), size);
    // Most inputs get past the header's checksum this way.
    if (image.size() >= regf::kBaseBlockSize) regf::Write32(image, regf::kChecksum, regf::Checksum(image));
    const std::string file = "/tmp/hivewright-fuzz-hive-" + std::to_string(::getpid());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << image;
    if (auto store = hw::platform::OpenHiveStore({file + "=F"}, nullptr, true)) {
        keysLeft = 5000;
        HKEY root = 0;
        if (store->OpenKey(HKEY_LOCAL_MACHINE, "F", KEY_READ, &root) == ERROR_SUCCESS) Walk(*store, root, 0);
    }
    ::unlink(file.c_str());
    return 0;
}
