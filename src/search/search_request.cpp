#include "search/search_request.h"

#include "core/key_info.h"
#include "core/key_path.h"
#include "core/value_text.h"
#include "core/value_types.h"
#include "search/search_pattern.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace hw::search {

namespace {

constexpr std::uint8_t kDataTargets = kTargetStringData | kTargetDwordData | kTargetBinaryData;

// Replaces the contents of out, keeping its capacity, with the text upper-cased (a-z only).
void UpperAsciiInto(std::string_view text, std::string& out) {
    out.resize(text.size());
    std::transform(text.begin(), text.end(), out.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
}

DWORD LittleEndianDWord(const BYTE* data, DWORD size) {
    BYTE bytes[4] = {0, 0, 0, 0};
    std::memcpy(bytes, data, size < 4 ? size : 4);
    return DWORD{bytes[0]} | DWORD{bytes[1]} << 8 | DWORD{bytes[2]} << 16 | DWORD{bytes[3]} << 24;
}

// The blank-separated byte text, written into a reused buffer (already upper case).
void ByteTextInto(const BYTE* data, DWORD size, std::string& out) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out.resize(size == 0 ? 0 : std::size_t{size} * 3 - 1);
    for (DWORD i = 0; i < size; ++i) {
        char* at = out.data() + std::size_t{i} * 3;
        at[0] = kDigits[data[i] >> 4];
        at[1] = kDigits[data[i] & 0xF];
        if (i + 1 < size) at[2] = ' ';
    }
}

// Walks one tree depth-first, reporting matches in the order the registry enumerates them. Buffers live as
// long as the walker and only grow, so the walk allocates nothing per key or value beyond its results.
class RegistryWalker {
  public:
    explicit RegistryWalker(SearchRequest& request)
        : request_(request), pattern_(request.findText, request.mode),
          wantValues_((request.targets & (kTargetValueNames | kDataTargets)) != 0),
          wantData_((request.targets & kDataTargets) != 0) {}

    WalkOutcome WalkTree(HKEY key, std::string_view pathText) {
        path_.assign(pathText);
        return Walk(key, 0);
    }

  private:
    WalkOutcome Walk(HKEY key, std::size_t depth);
    void MatchValues(HKEY key, const core::KeyInfo& info, WalkOutcome& outcome);
    WalkOutcome MatchSubKeys(HKEY key, const core::KeyInfo& info, std::size_t depth, WalkOutcome outcome);
    // Puts the candidate text of the value's data into candidate_; false when its data target is not set.
    bool MakeDataCandidate(DWORD type, const BYTE* data, DWORD size, ResultKind& kind);
    bool NameMatches(const char* name, DWORD length);
    void Report(ResultKind kind, std::string_view valueName, DWORD type);

    bool StopRequested() const { return request_.stopFlag != nullptr && *request_.stopFlag != 0; }
    bool HasTarget(std::uint8_t target) const { return (request_.targets & target) != 0; }

    SearchRequest& request_;
    const SearchPattern pattern_;
    const bool wantValues_;
    const bool wantData_;
    std::string path_;
    std::string candidate_;
    std::vector<char> valueName_;
    std::vector<BYTE> data_;
    std::deque<std::vector<char>> subKeyNames_; // one per depth: a level's name outlives its subtree's walk
};

WalkOutcome RegistryWalker::Walk(HKEY key, std::size_t depth) {
    if (request_.yieldToInterface) request_.yieldToInterface();
    if (StopRequested()) return WalkOutcome::Stopped;
    const std::optional<core::KeyInfo> info = core::QueryKeyInfo(key);
    if (!info) return WalkOutcome::RegistryFailed;
    WalkOutcome outcome = WalkOutcome::NothingFound;
    if (wantValues_) MatchValues(key, *info, outcome);
    return MatchSubKeys(key, *info, depth, outcome);
}

void RegistryWalker::MatchValues(HKEY key, const core::KeyInfo& info, WalkOutcome& outcome) {
    if (info.valueCount == 0) return;
    if (valueName_.size() < info.maxValueNameLength + 1) valueName_.resize(info.maxValueNameLength + 1);
    if (wantData_ && data_.size() < info.maxValueDataSize + 1) data_.resize(info.maxValueDataSize + 1);
    for (DWORD index = 0; index < info.valueCount; ++index) {
        DWORD nameLength = info.maxValueNameLength + 1;
        DWORD dataSize = info.maxValueDataSize + 1;
        DWORD type = 0;
        if (RegEnumValueA(key, index, valueName_.data(), &nameLength, nullptr, &type,
                          wantData_ ? data_.data() : nullptr,
                          wantData_ ? &dataSize : nullptr) != ERROR_SUCCESS) {
            outcome = WalkOutcome::RegistryFailed;
            continue;
        }
        const std::string_view name(valueName_.data(), nameLength);
        if (HasTarget(kTargetValueNames) && NameMatches(name.data(), nameLength)) {
            Report(ResultKind::ValueName, name, type);
            outcome = WalkOutcome::Found;
        }
        ResultKind dataKind;
        if (wantData_ && MakeDataCandidate(type, data_.data(), dataSize, dataKind) &&
            pattern_.Matches(candidate_)) {
            Report(dataKind, name, type);
            outcome = WalkOutcome::Found;
        }
    }
}

WalkOutcome RegistryWalker::MatchSubKeys(HKEY key, const core::KeyInfo& info, std::size_t depth,
                                         WalkOutcome outcome) {
    if (info.subKeyCount == 0) return outcome;
    if (subKeyNames_.size() <= depth) subKeyNames_.emplace_back();
    std::vector<char>& name = subKeyNames_[depth];
    if (name.size() < info.maxSubKeyNameLength + 1) name.resize(info.maxSubKeyNameLength + 1);
    const std::size_t parentPathLength = path_.size();
    for (DWORD index = 0; index < info.subKeyCount; ++index) {
        DWORD nameLength = info.maxSubKeyNameLength + 1;
        if (RegEnumKeyExA(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS ||
            nameLength >= name.size()) {
            outcome = WalkOutcome::RegistryFailed;
            continue;
        }
        path_ += '\\';
        path_.append(name.data(), nameLength);
        if (HasTarget(kTargetKeyNames) && NameMatches(name.data(), nameLength)) {
            Report(ResultKind::KeyName, {}, 0);
            outcome = WalkOutcome::Found;
        }
        HKEY subKey = 0;
        name[nameLength] = '\0';
        if (RegOpenKeyExA(key, name.data(), 0, KEY_READ, &subKey) != ERROR_SUCCESS) {
            outcome = WalkOutcome::RegistryFailed;
            path_.resize(parentPathLength);
            continue;
        }
        const WalkOutcome below = Walk(subKey, depth + 1);
        RegCloseKey(subKey);
        path_.resize(parentPathLength);
        if (below == WalkOutcome::Found && outcome == WalkOutcome::NothingFound) outcome = WalkOutcome::Found;
        if (below == WalkOutcome::Stopped) return WalkOutcome::Stopped;
    }
    return outcome;
}

bool RegistryWalker::MakeDataCandidate(DWORD type, const BYTE* data, DWORD size, ResultKind& kind) {
    switch (core::ClassOfType(type)) {
    case core::TypeClass::Text: {
        if (!HasTarget(kTargetStringData)) return false;
        const void* nul = std::memchr(data, 0, size);
        const DWORD length = nul ? static_cast<DWORD>(static_cast<const BYTE*>(nul) - data) : size;
        UpperAsciiInto(std::string_view(reinterpret_cast<const char*>(data), length), candidate_);
        kind = ResultKind::StringData;
        return true;
    }
    case core::TypeClass::Number: {
        if (!HasTarget(kTargetDwordData)) return false;
        DWORD number = LittleEndianDWord(data, size);
        if (type == REG_DWORD_BIG_ENDIAN) number = core::SwapDWord(number);
        char digits[16];
        const auto converted = std::to_chars(digits, digits + sizeof digits, number);
        candidate_.assign(digits, converted.ptr);
        kind = ResultKind::DwordData;
        return true;
    }
    case core::TypeClass::Bytes:
        break;
    }
    if (!HasTarget(kTargetBinaryData)) return false;
    ByteTextInto(data, size, candidate_);
    kind = ResultKind::BinaryData;
    return true;
}

bool RegistryWalker::NameMatches(const char* name, DWORD length) {
    UpperAsciiInto(std::string_view(name, length), candidate_);
    return pattern_.Matches(candidate_);
}

void RegistryWalker::Report(ResultKind kind, std::string_view valueName, DWORD type) {
    SearchResult& result = request_.results().emplace_back();
    result.kind = kind;
    result.keyPath = path_;
    result.valueName = valueName;
    result.valueType = type;
    if (request_.onFound) request_.onFound(result);
}

// A trailing backslash would double up in every result path.
std::string_view PathTextOf(std::string_view startPath) {
    while (!startPath.empty() && startPath.back() == '\\')
        startPath.remove_suffix(1);
    return startPath;
}

} // namespace

void SearchRequest::ClearResults() {
    results_.clear();
    if (stopFlag != nullptr) *stopFlag = 0;
}

WalkOutcome Search(SearchRequest& request) {
    request.ClearResults();
    RegistryWalker walker(request);
    if (request.startPath.empty()) {
        const WalkOutcome machine = walker.WalkTree(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE");
        if (machine == WalkOutcome::Stopped) return machine;
        const WalkOutcome users = walker.WalkTree(HKEY_USERS, "HKEY_USERS");
        if (machine == WalkOutcome::Found && users == WalkOutcome::NothingFound) return WalkOutcome::Found;
        return users;
    }
    const HKEY root = core::RootKeyOfPath(request.startPath);
    const std::string subKey = core::SubKeyOrEmpty(request.startPath);
    HKEY start = 0;
    if (root == 0 || RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &start) != ERROR_SUCCESS)
        return WalkOutcome::RegistryFailed;
    const WalkOutcome outcome = walker.WalkTree(start, PathTextOf(request.startPath));
    RegCloseKey(start);
    return outcome;
}

} // namespace hw::search
