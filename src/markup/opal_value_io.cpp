#include "markup/opal_value_io.h"

#include "core/change_feed.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "core/value_text.h"

#include <string_view>

namespace hw::markup {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

std::string LinesOfStrings(const std::vector<BYTE>& data) {
    std::string text;
    std::size_t start = 0;
    while (start < data.size() && data[start] != 0) {
        std::size_t end = start;
        while (end < data.size() && data[end] != 0)
            ++end;
        if (start > 0) text += kLineBreak;
        text.append(reinterpret_cast<const char*>(data.data()) + start, end - start);
        start = end + 1;
    }
    return text;
}

std::string StringsOfLines(std::string_view text) {
    std::string data;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        data.append(line);
        data += '\0';
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    if (data.empty()) data += '\0';
    return data + '\0';
}

} // namespace

std::string ReadBoundValueText(const std::string& keyPath, const std::string& valueName) {
    const auto value =
        core::ReadRawValue(core::RootKeyOfPath(keyPath), core::SubKeyOrEmpty(keyPath), valueName);
    if (value && value->type == REG_MULTI_SZ) return LinesOfStrings(value->data);
    return core::ReadValueTextOfPath(keyPath, valueName);
}

bool WriteBoundValueText(const std::string& keyPath, const std::string& valueName, const std::string& text,
                         DWORD type) {
    if (type != REG_MULTI_SZ) return core::WriteValueTextOfPath(keyPath, valueName, text, type);
    const HKEY root = core::RootKeyOfPath(keyPath);
    if (!root) return false;
    bool created = false;
    const core::ScopedKey key =
        core::CreateKeyForWriteOrUseRoot(root, core::SubKeyOrEmpty(keyPath), &created);
    if (!key) return false;
    if (created) core::PublishKeyAdded(keyPath);
    const std::string data = StringsOfLines(text);
    if (RegSetValueExA(key.get(), valueName.c_str(), 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        return false;
    core::PublishValuesChanged(keyPath, {valueName});
    return true;
}

} // namespace hw::markup
