#include "search/replace.h"

#include "core/change_feed.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "core/value_types.h"
#include "search/result_paths.h"
#include "util/text.h"

#include <algorithm>

namespace hw::search {

namespace {

std::string Replaced(const std::string& text, const ReplaceOptions& options) {
    return util::ReplaceText(text, options.from, options.to, true);
}

// Text data keeps everything from its first NUL on, so a multi-string keeps its later strings.
bool WriteTextKeepingTail(const SearchResult& result, const std::string& text) {
    const HKEY root = core::RootKeyOfPath(result.keyPath);
    const std::string subKey = core::SubKeyOrEmpty(result.keyPath);
    std::string data = text;
    const std::optional<core::RawValue> old = core::ReadRawValue(root, subKey, result.valueName);
    const BYTE* oldEnd = old ? old->data.data() + old->data.size() : nullptr;
    const BYTE* oldNul = old ? std::find(old->data.data(), oldEnd, BYTE{0}) : nullptr;
    if (oldNul != oldEnd)
        data.append(oldNul, oldEnd);
    else
        data += '\0';
    const core::ScopedKey key = core::OpenKeyOrUseRoot(root, subKey, KEY_SET_VALUE);
    if (!key || RegSetValueExA(key.get(), result.valueName.c_str(), 0, result.valueType,
                               reinterpret_cast<const BYTE*>(data.data()),
                               static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        return false;
    core::PublishValuesChanged(result.keyPath, {result.valueName});
    return true;
}

bool ReplaceInValueName(SearchResult& result, ResultRowTexts& row, const ReplaceOptions& options,
                        ReplaceView& view) {
    const std::string newName = Replaced(result.valueName, options);
    if (!core::RenameValuePath(result.keyPath, result.valueName, newName)) return false;
    view.ValueRenamed(result.keyPath, result.valueName, newName);
    row.caption = newName;
    row.atValue = newName;
    result.valueName = newName;
    return true;
}

bool ReplaceInData(SearchResult& result, ResultRowTexts& row, const ReplaceOptions& options) {
    const core::TypeClass typeClass = core::ClassOfType(result.valueType);
    // Bytes values are edited as their byte text (the Data column), the others as their raw text.
    const std::string text = Replaced(typeClass == core::TypeClass::Bytes ? row.data : row.raw, options);
    const bool written =
        typeClass == core::TypeClass::Text
            ? WriteTextKeepingTail(result, text)
            : core::WriteValueTextOfPath(result.keyPath, result.valueName, text, result.valueType);
    if (!written) return false;
    SetRowDataTexts(row, result.valueType, core::ReadValueTextsOfPath(result.keyPath, result.valueName));
    return true;
}

bool ReplaceInKeyName(SearchRequest& request, SearchResult& result, ResultRowTexts& row,
                      const ReplaceOptions& options, ReplaceView& view) {
    const std::size_t slash = result.keyPath.rfind('\\');
    if (slash == std::string::npos) return false;
    const std::string newName = Replaced(row.caption, options);
    // An empty name or one with a backslash would name the parent or a key further down.
    if (newName.empty() || newName.find('\\') != std::string::npos) return false;
    if (util::UpperCaseAscii(row.caption).find(util::UpperCaseAscii(options.from)) == std::string::npos)
        return false;
    const std::string oldPath = result.keyPath;
    const std::string newPath = oldPath.substr(0, slash + 1) + newName;
    if (core::KeyPathExists(newPath) || !core::RenameKeyPath(oldPath, newPath)) return false;
    row.caption = newName;
    row.atKey = newPath;
    MoveResultsOfKey(request, oldPath, newPath, [&](SearchResult& moved) {
        if (&moved != &result) view.ResultKeyPathChanged(moved);
    });
    return true;
}

} // namespace

bool ReplaceInResult(SearchRequest& request, SearchResult& result, ResultRowTexts& row,
                     const ReplaceOptions& options, ReplaceView& view) {
    if (result.isKey()) return options.keys && ReplaceInKeyName(request, result, row, options, view);
    bool changed = false;
    if (options.values) changed = ReplaceInValueName(result, row, options, view);
    if (options.data) changed = ReplaceInData(result, row, options) || changed;
    return changed;
}

} // namespace hw::search
