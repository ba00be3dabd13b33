// Writing a value of a given type from its text form.
#include "core/change_feed.h"
#include "core/key_path.h"
#include "core/number_text.h"
#include "core/scoped_key.h"
#include "core/value_text.h"
#include "core/value_types.h"

#include <vector>

namespace hw::core {

namespace {

// The data a text stands for under the given type; nothing when a number text is not a number in range.
std::optional<std::vector<BYTE>> DataOfText(DWORD type, const std::string& text) {
    switch (ClassOfType(type)) {
    case TypeClass::Text: {
        const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        return std::vector<BYTE>(bytes, bytes + text.size() + 1);
    }
    case TypeClass::Number: {
        const auto number = TextToInt64(text);
        if (!number) return std::nullopt;
        DWORD dword = static_cast<DWORD>(*number);
        if (type == REG_DWORD_BIG_ENDIAN) {
            if (*number < 0 || *number > 0xFFFFFFFFLL) return std::nullopt;
            dword = SwapDWord(dword);
        }
        return std::vector<BYTE>{static_cast<BYTE>(dword), static_cast<BYTE>(dword >> 8),
                                 static_cast<BYTE>(dword >> 16), static_cast<BYTE>(dword >> 24)};
    }
    case TypeClass::Bytes:
        break;
    }
    std::vector<BYTE> bytes((text.size() + 2) / 3);
    std::size_t count = bytes.size();
    HexToBytes(text, bytes.data(), count);
    bytes.resize(count);
    return bytes;
}

} // namespace

bool WriteValueText(HKEY root, const std::string& subKey, const std::string& valueName, DWORD type,
                    const std::string& text) {
    // The text is checked first so that a number that is not one leaves no new keys behind.
    const auto data = DataOfText(type, text);
    if (!data) return false;
    bool created = false;
    const ScopedKey key = CreateKeyForWriteOrUseRoot(root, subKey, &created);
    if (!key) return false;
    if (created) PublishKeyAdded(ChangedKeyPath(root, subKey));
    const BYTE none = 0;
    if (RegSetValueExA(key.get(), valueName.c_str(), 0, type, data->empty() ? &none : data->data(),
                       static_cast<DWORD>(data->size())) != ERROR_SUCCESS)
        return false;
    PublishValuesChanged(ChangedKeyPath(root, subKey), {valueName});
    return true;
}

bool WriteValueTextOfPath(const std::string& path, const std::string& valueName, const std::string& text,
                          DWORD type) {
    return WriteValueText(RootKeyOfPath(path), SubKeyOrEmpty(path), valueName, type, text);
}

} // namespace hw::core
