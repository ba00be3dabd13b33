#include "core/value_enum.h"

#include <algorithm>
#include <vector>

namespace hw::core {

namespace {

struct EnumBuffers {
    std::vector<char> name;
    std::vector<BYTE> data;
};

// One index of the enumeration; a value that no longer fits the buffers grows them and is read again.
LONG ReadValueAt(HKEY key, DWORD index, EnumBuffers& buffers, DWORD& nameLength, DWORD& type, DWORD& size) {
    for (;;) {
        nameLength = static_cast<DWORD>(buffers.name.size());
        size = static_cast<DWORD>(buffers.data.size());
        const LONG read = RegEnumValueA(key, index, buffers.name.data(), &nameLength, nullptr, &type,
                                        buffers.data.data(), &size);
        if (read != ERROR_MORE_DATA) return read;
        // The store reports the lengths it needs; a retry that would not grow either buffer gives up.
        const std::size_t nameNeeded =
            std::max<std::size_t>(buffers.name.size(), nameLength + std::size_t{1});
        const std::size_t dataNeeded = std::max<std::size_t>(buffers.data.size(), size);
        if (nameNeeded == buffers.name.size() && dataNeeded == buffers.data.size()) return read;
        buffers.name.resize(nameNeeded);
        buffers.data.resize(dataNeeded);
    }
}

} // namespace

bool VisitValues(HKEY key, const KeyInfo& info, const ValueVisitor& visit) {
    EnumBuffers buffers{std::vector<char>(info.maxValueNameLength + std::size_t{1}),
                        std::vector<BYTE>(info.maxValueDataSize + std::size_t{1})};
    bool complete = true;
    for (DWORD index = 0; index < info.valueCount; ++index) {
        DWORD nameLength = 0;
        DWORD type = 0;
        DWORD size = 0;
        const bool visited =
            ReadValueAt(key, index, buffers, nameLength, type, size) == ERROR_SUCCESS &&
            visit(std::string_view(buffers.name.data(), nameLength), type, buffers.data.data(), size);
        complete = complete && visited;
    }
    return complete;
}

} // namespace hw::core
