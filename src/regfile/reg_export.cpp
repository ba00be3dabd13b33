#include "regfile/reg_export.h"

#include "core/key_info.h"
#include "core/key_path.h"
#include "core/root_keys.h"
#include "platform/platform_facts.h"
#include "platform/registry_store.h"
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
    KeyExporter(RegTextOut& out, std::vector<std::string>* leftOut = nullptr,
                const ExportProgress* progress = nullptr, std::vector<std::string>* unreadable = nullptr)
        : out_(out), leftOut_(leftOut), progress_(progress), unreadable_(unreadable) {}
    // False when the key cannot be opened.
    bool Export(HKEY root, const std::string& subKey);
    bool Cancelled() const { return cancelled_; }

  private:
    // Writes the section of frame's key; false (nothing written) when its information cannot be read.
    bool WriteSection(WalkFrame& frame);
    // A line end in a name would split its line into lines of the name's own choosing.
    bool Fits(std::string_view name, const std::string& keyPath, bool isValue);
    void CountKey();

    RegTextOut& out_;
    std::vector<std::string>* leftOut_;
    const ExportProgress* progress_;
    std::vector<std::string>* unreadable_;
    std::uint64_t keysDone_ = 0;
    bool cancelled_ = false;
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
        if (cancelled_) {
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
        if (RegEnumKeyA(parent.data.key, index, keyName_.data(), static_cast<DWORD>(keyName_.size())) !=
            ERROR_SUCCESS) {
            continue;
        }
        const std::string_view name(keyName_.data(), ::strnlen(keyName_.data(), keyName_.size()));
        if (!Fits(name, parent.data.path, false)) continue;
        WalkFrame child;
        if (RegOpenKeyA(parent.data.key, keyName_.data(), &child.data.key) != ERROR_SUCCESS) {
            if (unreadable_) unreadable_->push_back(parent.data.path + '\\' + std::string(name));
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

bool KeyExporter::Fits(std::string_view name, const std::string& keyPath, bool isValue) {
    if (FitsOnOneLine(name)) return true;
    if (leftOut_) {
        leftOut_->push_back(isValue ? keyPath + " \"" + ShownName(name) + "\""
                                    : keyPath + "\\" + ShownName(name));
    }
    return false;
}

bool KeyExporter::WriteSection(WalkFrame& frame) {
    const std::optional<core::KeyInfo> info = core::QueryKeyInfo(frame.data.key);
    if (!info) return false;
    frame.subKeyCount = info->subKeyCount;
    frame.longestSubKeyName = info->maxSubKeyNameLength;
    out_.EndLine();
    out_.Line().append(1, '[').append(frame.data.path).append(1, ']');
    out_.EndLine();
    valueName_.resize(info->maxValueNameLength + 1);
    data_.resize(info->maxValueDataSize + 1);
    for (DWORD index = 0; index < info->valueCount; ++index) {
        DWORD nameLength = static_cast<DWORD>(valueName_.size());
        DWORD size = static_cast<DWORD>(data_.size());
        DWORD type = 0;
        if (RegEnumValueA(frame.data.key, index, valueName_.data(), &nameLength, nullptr, &type, data_.data(),
                          &size) != ERROR_SUCCESS) {
            continue;
        }
        const std::string_view name(valueName_.data(), nameLength);
        if (!Fits(name, frame.data.path, true)) continue;
        AppendValueLine(name, type, data_.data(), size, out_.Line());
        out_.EndLine();
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
    RegTextOut out(file.stream());
    out.Line() += header;
    out.EndLine();
    KeyExporter exporter(out, &report.leftOut, &progress);
    for (const ExportRoot& key : keys) {
        allFound = exporter.Export(key.root, key.subKey) && allFound;
        if (exporter.Cancelled()) {
            report.result = ExportResult::Cancelled;
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

bool ExportKey(HKEY root, const std::string& subKey, RegLines& lines) {
    RegTextOut out(lines);
    return KeyExporter(out).Export(root, subKey);
}

bool ExportKeyPath(const std::string& path, RegLines& lines) {
    return ExportKey(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path), lines);
}

bool ExportKeyPath(const std::string& path, RegLines& lines, std::vector<std::string>& leftOut) {
    RegTextOut out(lines);
    return KeyExporter(out, &leftOut).Export(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path));
}

bool ExportKeyPath(const std::string& path, RegLines& lines, std::vector<std::string>& leftOut,
                   std::vector<std::string>& unreadable) {
    RegTextOut out(lines);
    return KeyExporter(out, &leftOut, nullptr, &unreadable)
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
