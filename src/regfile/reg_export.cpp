#include "regfile/reg_export.h"

#include "core/key_info.h"
#include "core/key_path.h"
#include "core/root_keys.h"
#include "platform/platform_facts.h"
#include "platform/registry_store.h"
#include "regfile/reg_encoding.h"
#include "regfile/registry_error_text.h"
#include "regfile/value_line.h"
#include "util/file_io.h"

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace hw::regfile {

namespace {

struct WalkFrame {
    TTRVRegExportData data;
    DWORD subKeyCount = 0;
    DWORD longestSubKeyName = 0;
    DWORD nextSubKey = 0;
};

// Walks keys depth first, parents before children, siblings in enumeration order. The walk keeps its own
// stack, so deep trees cannot exhaust the call stack; buffers grow once and serve every key.
class KeyExporter {
  public:
    KeyExporter(RegTextOut& out, bool version5, std::vector<std::string>* leftOut = nullptr,
                const ExportProgress* progress = nullptr, std::vector<std::string>* unopened = nullptr)
        : out_(out), version5_(version5), leftOut_(leftOut), progress_(progress), unopened_(unopened) {}
    // False when the key cannot be opened.
    bool Export(HKEY root, const std::string& subKey);
    bool Cancelled() const { return cancelled_; }
    // The first key or value that could not be read, with the cause; the walk stopped there.
    const std::string& Unreadable() const { return unreadable_; }

  private:
    // Writes the section of frame's key; false (nothing written) when its information cannot be read.
    bool WriteSection(WalkFrame& frame);
    // A line end in a name would split its line into lines of the name's own choosing.
    bool Fits(std::string_view name, const std::string& keyPath, bool isValue);
    void LeaveOut(std::string_view name, const std::string& keyPath, bool isValue);
    void CountKey();
    // Whether a failed call means the registry could not be read (a damaged database) rather than a key
    // that is protected or went away meanwhile, which the walk skips; such a failure stops the walk.
    bool NoteReadFailure(LONG code, const std::string& what);

    RegTextOut& out_;
    bool version5_;
    std::vector<std::string>* leftOut_;
    const ExportProgress* progress_;
    std::vector<std::string>* unopened_;
    std::uint64_t keysDone_ = 0;
    bool cancelled_ = false;
    std::string unreadable_;
    std::vector<char> keyName_;
    std::vector<char> valueName_;
    std::vector<BYTE> data_;
};

bool KeyExporter::Export(HKEY root, const std::string& subKey) {
    HKEY key = 0;
    if (root == 0 || RegOpenKeyA(root, subKey.c_str(), &key) != ERROR_SUCCESS) return false;
    WalkFrame top;
    top.data = {root, key, core::RootKeyName(root)};
    if (!subKey.empty()) top.data.path += '\\' + subKey;
    if (!WriteSection(top)) {
        RegCloseKey(key);
        return true;
    }
    std::vector<WalkFrame> stack;
    stack.push_back(std::move(top));
    CountKey();
    while (!stack.empty()) {
        if (cancelled_ || !unreadable_.empty()) {
            for (const WalkFrame& frame : stack)
                RegCloseKey(frame.data.key);
            return true;
        }
        WalkFrame& parent = stack.back();
        if (parent.nextSubKey >= parent.subKeyCount) {
            RegCloseKey(parent.data.key);
            stack.pop_back();
            continue;
        }
        const DWORD index = parent.nextSubKey++;
        keyName_.assign(parent.longestSubKeyName + 1, '\0');
        if (const LONG listed =
                RegEnumKeyA(parent.data.key, index, keyName_.data(), static_cast<DWORD>(keyName_.size()));
            listed != ERROR_SUCCESS) {
            NoteReadFailure(listed, parent.data.path);
            continue;
        }
        const std::string_view name(keyName_.data(), ::strnlen(keyName_.data(), keyName_.size()));
        if (!Fits(name, parent.data.path, false)) continue;
        WalkFrame child;
        if (const LONG opened = RegOpenKeyA(parent.data.key, keyName_.data(), &child.data.key);
            opened != ERROR_SUCCESS) {
            const std::string childPath = parent.data.path + "\\" + std::string(name);
            NoteReadFailure(opened, childPath);
            if (unopened_) unopened_->push_back(childPath);
            continue;
        }
        child.data.root = parent.data.root;
        child.data.path.reserve(parent.data.path.size() + 1 + name.size());
        child.data.path.append(parent.data.path).append(1, '\\').append(name);
        if (!WriteSection(child)) {
            RegCloseKey(child.data.key);
            continue;
        }
        stack.push_back(std::move(child));
        CountKey();
    }
    return true;
}

void KeyExporter::CountKey() {
    constexpr std::uint64_t kKeysPerReport = 256;
    if (progress_ && *progress_ && ++keysDone_ % kKeysPerReport == 0 && !(*progress_)(keysDone_))
        cancelled_ = true;
}

std::string ShownName(std::string_view name) {
    std::string shown;
    for (char c : name) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else
            shown += c;
    }
    return shown;
}

bool KeyExporter::NoteReadFailure(LONG code, const std::string& what) {
    switch (code) {
    case ERROR_SUCCESS: // it went away meanwhile
    case ERROR_ACCESS_DENIED:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_KEY_DELETED:
    case ERROR_NO_MORE_ITEMS:
    case ERROR_MORE_DATA:
        return false;
    default:
        if (unreadable_.empty()) unreadable_ = what + ": cannot be read: " + RegistryErrorText(code);
        return true;
    }
}

bool KeyExporter::Fits(std::string_view name, const std::string& keyPath, bool isValue) {
    if (FitsOnOneLine(name)) return true;
    LeaveOut(name, keyPath, isValue);
    return false;
}

void KeyExporter::LeaveOut(std::string_view name, const std::string& keyPath, bool isValue) {
    if (leftOut_) {
        leftOut_->push_back(isValue ? keyPath + " \"" + ShownName(name) + "\""
                                    : keyPath + "\\" + ShownName(name));
    }
}

bool KeyExporter::WriteSection(WalkFrame& frame) {
    const std::optional<core::KeyInfo> info = core::QueryKeyInfo(frame.data.key);
    if (!info) {
        // Asked again, for as much as QueryKeyInfo asked, to learn the cause.
        DWORD subKeys = 0, longestSubKey = 0, values = 0, longestValue = 0, largestData = 0;
        NoteReadFailure(RegQueryInfoKeyA(frame.data.key, nullptr, nullptr, nullptr, &subKeys, &longestSubKey,
                                         nullptr, &values, &longestValue, &largestData, nullptr, nullptr),
                        frame.data.path);
        return false;
    }
    frame.subKeyCount = info->subKeyCount;
    frame.longestSubKeyName = info->maxSubKeyNameLength;
    out_.EndLine();
    out_.Line().append(1, '[').append(frame.data.path).append(1, ']');
    // A key the code page cannot name is left out with everything below it.
    if (!out_.EndLine()) {
        const std::size_t slash = frame.data.path.rfind('\\');
        LeaveOut(std::string_view(frame.data.path).substr(slash + 1), frame.data.path.substr(0, slash),
                 false);
        return false;
    }
    valueName_.resize(info->maxValueNameLength + 1);
    data_.resize(info->maxValueDataSize + 1);
    for (DWORD index = 0; index < info->valueCount; ++index) {
        DWORD nameLength = static_cast<DWORD>(valueName_.size());
        DWORD size = static_cast<DWORD>(data_.size());
        DWORD type = 0;
        if (const LONG read = RegEnumValueA(frame.data.key, index, valueName_.data(), &nameLength, nullptr,
                                            &type, data_.data(), &size);
            read != ERROR_SUCCESS) {
            if (NoteReadFailure(read, frame.data.path + " value " + std::to_string(index))) return true;
            continue;
        }
        const std::string_view name(valueName_.data(), nameLength);
        if (!Fits(name, frame.data.path, true)) continue;
        if (!AppendValueLine(name, type, data_.data(), size, version5_, out_.Line()) || !out_.EndLine()) {
            out_.Line().clear();
            LeaveOut(name, frame.data.path, true);
        }
    }
    return true;
}

struct ExportRoot {
    HKEY root;
    std::string subKey;
};

ExportReport ExportToFile(const std::vector<ExportRoot>& keys, const std::string& fileName,
                          const std::string& header, const ExportProgress& progress) {
    ExportReport report;
    // Renamed over the database, the export would replace the registry itself.
    if (platform::IsRegistryStoreFile(fileName)) {
        report.result = ExportResult::WriteFailed;
        return report;
    }
    util::ReplacingFile file(fileName);
    if (!file.stream()) {
        report.result = ExportResult::WriteFailed;
        return report;
    }
    bool allFound = true;
    const bool version5 = header == kVersion5Header;
    RegTextOut out(file.stream(), version5);
    out.Line() += header;
    out.EndLine();
    KeyExporter exporter(out, version5, &report.leftOut, &progress);
    for (const ExportRoot& key : keys) {
        allFound = exporter.Export(key.root, key.subKey) && allFound;
        if (exporter.Cancelled()) {
            report.result = ExportResult::Cancelled;
            return report;
        }
        // What was read is not the key: the file is not replaced by it.
        if (!exporter.Unreadable().empty()) {
            report.result = ExportResult::ReadFailed;
            report.unreadable = exporter.Unreadable();
            return report;
        }
    }
    if (!out.Finish() || !file.Commit())
        report.result = ExportResult::WriteFailed;
    else if (!allFound)
        report.result = ExportResult::KeyNotFound;
    return report;
}

} // namespace

std::string RegFileHeader() {
    const platform::PlatformFacts& facts = platform::GetPlatformFacts();
    if (facts.family == platform::kPlatformNt && facts.majorVersion > 4)
        return "Windows Registry Editor Version 5.00";
    if (facts.majorVersion == 4) return "REGEDIT4";
    return "REGEDIT3";
}

bool ExportKey(HKEY root, const std::string& subKey, RegLines& lines, bool version5) {
    RegTextOut out(lines);
    return KeyExporter(out, version5).Export(root, subKey);
}

bool ExportKeyPath(const std::string& path, RegLines& lines, bool version5) {
    return ExportKey(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path), lines, version5);
}

bool ExportKeyPath(const std::string& path, RegLines& lines, std::vector<std::string>& leftOut,
                   std::vector<std::string>& unopened, bool version5) {
    RegTextOut out(lines);
    return KeyExporter(out, version5, &leftOut, nullptr, &unopened)
        .Export(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path));
}

ExportResult ExportKeyToFile(HKEY root, const std::string& subKey, const std::string& fileName,
                             const std::string& header) {
    return ExportToFile({{root, subKey}}, fileName, header, {}).result;
}

ExportResult ExportKeyPathToFile(const std::string& path, const std::string& fileName,
                                 const std::string& header) {
    return ExportKeyPathToFileReported(path, fileName, header).result;
}

ExportResult ExportRegistryToFile(const std::string& fileName, const std::string& header) {
    return ExportRegistryToFileReported(fileName, header).result;
}

ExportReport ExportKeyPathToFileReported(const std::string& path, const std::string& fileName,
                                         const std::string& header, const ExportProgress& progress) {
    return ExportToFile({{core::RootKeyOfPath(path), core::SubKeyOrEmpty(path)}}, fileName, header, progress);
}

ExportReport ExportRegistryToFileReported(const std::string& fileName, const std::string& header,
                                          const ExportProgress& progress) {
    return ExportToFile({{HKEY_LOCAL_MACHINE, ""}, {HKEY_USERS, ""}}, fileName, header, progress);
}

} // namespace hw::regfile
