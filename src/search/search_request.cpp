#include "search/search_request.h"

#include "core/key_path.h"
#include "core/value_text.h"
#include "core/value_types.h"
#include "platform/registry_store.h"
#include "search/search_pattern.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <vector>

namespace hw::search {

namespace {

constexpr std::uint8_t kDataTargets = kTargetStringData | kTargetDwordData | kTargetBinaryData;

// Replaces the contents of out, keeping its capacity, with the text upper-cased (a-z only).
void UpperAsciiInto(std::string_view text, std::string& out) {
    out.resize(text.size());
    std::transform(text.begin(), text.end(), out.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
}

DWORD LittleEndianDWord(std::string_view data) {
    DWORD number = 0;
    for (std::size_t i = 0; i < data.size() && i < 4; ++i)
        number |= DWORD{static_cast<BYTE>(data[i])} << (8 * i);
    return number;
}

// The blank-separated byte text, written into a reused buffer (already upper case).
void ByteTextInto(std::string_view data, std::string& out) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out.resize(data.empty() ? 0 : data.size() * 3 - 1);
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<BYTE>(data[i]);
        char* at = out.data() + i * 3;
        at[0] = kDigits[byte >> 4];
        at[1] = kDigits[byte & 0xF];
        if (i + 1 < data.size()) at[2] = ' ';
    }
}

// Walks one tree through the registry's ordered subtree stream, reporting matches in the order the registry
// enumerates them. Buffers live as long as the walker and only grow, so the walk allocates nothing per key or
// value beyond its results.
class RegistryWalker final : private platform::SubtreeVisitor {
  public:
    explicit RegistryWalker(SearchRequest& request)
        : request_(request), pattern_(request.findText, request.mode),
          wantValues_((request.targets & (kTargetValueNames | kDataTargets)) != 0),
          wantData_((request.targets & kDataTargets) != 0) {}

    WalkOutcome WalkTree(HKEY root, const std::string& subKey, std::string_view pathText);

  private:
    // What a key's walk has come to so far: matches in it and its subtree, or a subkey it could not open.
    struct Level {
        std::size_t pathLength;
        WalkOutcome outcome;
    };

    bool Key(std::string_view name, DWORD depth) override;
    void Unopened(std::string_view name, DWORD depth) override;
    void Value(std::string_view name, DWORD type, std::string_view data) override;
    bool Pause() override;

    // Ends the walks of the keys at depth and below, handing what they found up to their parents, and puts
    // the path of the subkey name at depth into path_.
    void EnterSubKey(std::string_view name, DWORD depth);
    void LeaveLevelsFrom(std::size_t depth);
    // Puts the candidate text of the value's data into candidate_; false when its data target is not set.
    bool MakeDataCandidate(DWORD type, std::string_view data, ResultKind& kind);
    bool NameMatches(std::string_view name);
    void Report(ResultKind kind, std::string_view valueName, DWORD type);

    bool StopRequested() const { return request_.stopFlag != nullptr && *request_.stopFlag != 0; }
    bool HasTarget(std::uint8_t target) const { return (request_.targets & target) != 0; }

    SearchRequest& request_;
    const SearchPattern pattern_;
    const bool wantValues_;
    const bool wantData_;
    std::string path_;
    std::string candidate_;
    std::vector<Level> levels_; // the keys the walk stands in, by depth
    bool stopped_ = false;
    std::chrono::steady_clock::time_point batchStart_;
};

WalkOutcome RegistryWalker::WalkTree(HKEY root, const std::string& subKey, std::string_view pathText) {
    std::unique_ptr<platform::SubtreeStream> stream;
    if (root == 0 || platform::CurrentRegistry().OpenSubtree(root, subKey.c_str(), stream) != ERROR_SUCCESS)
        return WalkOutcome::RegistryFailed;
    path_.assign(pathText);
    levels_.clear();
    stopped_ = false;
    for (;;) {
        // Between calls the stream holds no lock, so the window may read the registry while it yields.
        if (request_.yieldToInterface) request_.yieldToInterface();
        if (stopped_ || StopRequested()) return WalkOutcome::Stopped;
        batchStart_ = std::chrono::steady_clock::now();
        const LONG walked = stream->Next(*this);
        if (walked == ERROR_NO_MORE_ITEMS) break;
        if (walked != ERROR_SUCCESS) return WalkOutcome::RegistryFailed;
    }
    if (stopped_) return WalkOutcome::Stopped;
    if (levels_.empty()) return WalkOutcome::RegistryFailed;
    LeaveLevelsFrom(1);
    return levels_.front().outcome;
}

void RegistryWalker::LeaveLevelsFrom(std::size_t depth) {
    while (levels_.size() > depth) {
        const WalkOutcome below = levels_.back().outcome;
        levels_.pop_back();
        // A subtree's failures stay with it; only its finds reach the key above.
        WalkOutcome& outcome = levels_.back().outcome;
        if (below == WalkOutcome::Found && outcome == WalkOutcome::NothingFound) outcome = WalkOutcome::Found;
    }
}

void RegistryWalker::EnterSubKey(std::string_view name, DWORD depth) {
    LeaveLevelsFrom(depth);
    path_.resize(levels_.back().pathLength);
    path_ += '\\';
    path_ += name;
    if (HasTarget(kTargetKeyNames) && NameMatches(name)) {
        Report(ResultKind::KeyName, {}, 0);
        levels_.back().outcome = WalkOutcome::Found;
    }
}

bool RegistryWalker::Key(std::string_view name, DWORD depth) {
    if (depth == 0) {
        levels_.push_back({path_.size(), WalkOutcome::NothingFound});
        return true;
    }
    EnterSubKey(name, depth);
    // A stop asked for meanwhile (by a found event) takes effect as the key is entered, after its name was
    // matched; it is entered only so that the walk pauses right after it, and its values are passed over.
    if (StopRequested()) stopped_ = true;
    levels_.push_back({path_.size(), WalkOutcome::NothingFound});
    return true;
}

void RegistryWalker::Unopened(std::string_view name, DWORD depth) {
    EnterSubKey(name, depth);
    levels_.back().outcome = WalkOutcome::RegistryFailed;
}

void RegistryWalker::Value(std::string_view name, DWORD type, std::string_view data) {
    if (!wantValues_ || stopped_) return;
    WalkOutcome& outcome = levels_.back().outcome;
    if (HasTarget(kTargetValueNames) && NameMatches(name)) {
        Report(ResultKind::ValueName, name, type);
        outcome = WalkOutcome::Found;
    }
    ResultKind dataKind;
    if (wantData_ && MakeDataCandidate(type, data, dataKind) && pattern_.Matches(candidate_)) {
        Report(dataKind, name, type);
        outcome = WalkOutcome::Found;
    }
}

bool RegistryWalker::Pause() {
    // Each pause restarts the store's ordered listings, so the walk goes on for a while between two.
    return stopped_ || std::chrono::steady_clock::now() - batchStart_ >= request_.batchTime;
}

bool RegistryWalker::MakeDataCandidate(DWORD type, std::string_view data, ResultKind& kind) {
    switch (core::ClassOfType(type)) {
    case core::TypeClass::Text: {
        if (!HasTarget(kTargetStringData)) return false;
        UpperAsciiInto(data.substr(0, data.find('\0')), candidate_);
        kind = ResultKind::StringData;
        return true;
    }
    case core::TypeClass::Number: {
        if (!HasTarget(kTargetDwordData)) return false;
        DWORD number = LittleEndianDWord(data);
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
    ByteTextInto(data, candidate_);
    kind = ResultKind::BinaryData;
    return true;
}

bool RegistryWalker::NameMatches(std::string_view name) {
    UpperAsciiInto(name, candidate_);
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
        const WalkOutcome machine = walker.WalkTree(HKEY_LOCAL_MACHINE, {}, "HKEY_LOCAL_MACHINE");
        if (machine == WalkOutcome::Stopped) return machine;
        const WalkOutcome users = walker.WalkTree(HKEY_USERS, {}, "HKEY_USERS");
        if (machine == WalkOutcome::Found && users == WalkOutcome::NothingFound) return WalkOutcome::Found;
        return users;
    }
    return walker.WalkTree(core::RootKeyOfPath(request.startPath), core::SubKeyOrEmpty(request.startPath),
                           PathTextOf(request.startPath));
}

} // namespace hw::search
