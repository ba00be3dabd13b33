#include "regfile/reg_export.h"

#include "core/key_path.h"
#include "core/root_keys.h"
#include "platform/platform_facts.h"
#include "platform/registry_store.h"
#include "regfile/reg_encoding.h"
#include "regfile/registry_error_text.h"
#include "regfile/value_line.h"
#include "util/file_io.h"

#include <memory>
#include <utility>
#include <vector>

namespace hw::regfile {

namespace {

// Writes the sections of a subtree as the store hands it over, depth first, parents before children,
// siblings in enumeration order; values are written straight from the store's own rows.
class KeyExporter final : private platform::SubtreeVisitor {
  public:
    KeyExporter(RegTextOut& out, bool version5, std::vector<std::string>* leftOut = nullptr,
                const ExportProgress* progress = nullptr, std::vector<std::string>* unopened = nullptr)
        : out_(out), version5_(version5), leftOut_(leftOut), progress_(progress), unopened_(unopened) {}
    // False when the key cannot be opened.
    bool Export(HKEY root, const std::string& subKey);
    bool Cancelled() const { return cancelled_; }
    // Why the registry could not be read, with the key the walk was at; the walk stopped there.
    const std::string& Unreadable() const { return unreadable_; }

  private:
    bool Key(std::string_view name, DWORD depth) override;
    void Unopened(std::string_view name, DWORD depth) override;
    void Value(std::string_view name, DWORD type, std::string_view data) override;
    bool Pause() override;

    // The path of the key at depth, with its subtree's lengths cut off.
    void EnterPath(std::string_view name, DWORD depth);
    // A line end in a name would split its line into lines of the name's own choosing.
    bool Fits(std::string_view name, const std::string& keyPath, bool isValue);
    void LeaveOut(std::string_view name, const std::string& keyPath, bool isValue);
    // Whether a failed call means the registry could not be read (a damaged database) rather than a key
    // that is protected or went away meanwhile, which the walk skips; such a failure stops the walk.
    bool NoteReadFailure(LONG code, const std::string& what);

    static constexpr std::uint64_t kKeysPerPause = 256;

    RegTextOut& out_;
    bool version5_;
    std::vector<std::string>* leftOut_;
    const ExportProgress* progress_;
    std::vector<std::string>* unopened_;
    std::uint64_t keysDone_ = 0;
    bool cancelled_ = false;
    std::string unreadable_;
    std::string topPath_;
    std::string path_;                 // the key being written
    std::vector<std::size_t> lengths_; // path_'s length at each depth
};

bool KeyExporter::Export(HKEY root, const std::string& subKey) {
    std::unique_ptr<platform::SubtreeStream> stream;
    if (root == 0 || platform::CurrentRegistry().OpenSubtree(root, subKey.c_str(), stream) != ERROR_SUCCESS)
        return false;
    topPath_ = core::RootKeyName(root);
    if (!subKey.empty()) topPath_ += '\\' + subKey;
    for (;;) {
        const LONG walked = stream->Next(*this);
        if (walked == ERROR_NO_MORE_ITEMS) break;
        if (walked != ERROR_SUCCESS) {
            NoteReadFailure(walked, path_.empty() ? topPath_ : path_);
            break;
        }
        // Reported between calls: the report may let the window read the registry meanwhile.
        if (progress_ && *progress_ && keysDone_ % kKeysPerPause == 0 && !(*progress_)(keysDone_)) {
            cancelled_ = true;
            break;
        }
    }
    return true;
}

void KeyExporter::EnterPath(std::string_view name, DWORD depth) {
    if (depth == 0) {
        path_ = topPath_;
        lengths_.clear();
    } else {
        path_.resize(lengths_[depth - 1]);
        path_ += '\\';
        path_ += name;
        lengths_.resize(depth);
    }
    lengths_.push_back(path_.size());
}

bool KeyExporter::Key(std::string_view name, DWORD depth) {
    if (depth > 0 && !FitsOnOneLine(name)) {
        LeaveOut(name, path_.substr(0, lengths_[depth - 1]), false);
        return false;
    }
    EnterPath(name, depth);
    out_.EndLine();
    std::string& line = out_.Line();
    line += '[';
    line += path_;
    line += ']';
    // A key the code page cannot name is left out with everything below it.
    if (!out_.EndLine()) {
        const std::size_t slash = path_.rfind('\\');
        LeaveOut(std::string_view(path_).substr(slash + 1), path_.substr(0, slash), false);
        return false;
    }
    ++keysDone_;
    return true;
}

void KeyExporter::Unopened(std::string_view name, DWORD depth) {
    const std::string parent = path_.substr(0, lengths_[depth - 1]);
    if (Fits(name, parent, false) && unopened_) unopened_->push_back(parent + "\\" + std::string(name));
}

void KeyExporter::Value(std::string_view name, DWORD type, std::string_view data) {
    if (AppendValueLine(name, type, reinterpret_cast<const BYTE*>(data.data()), data.size(), version5_,
                        out_.Line()) != ValueLineResult::Written ||
        !out_.EndLine()) {
        out_.DropLine();
        LeaveOut(name, path_, true);
    }
}

bool KeyExporter::Pause() {
    return keysDone_ % kKeysPerPause == 0;
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
                   std::vector<std::string>& unopened, std::string& unreadable, bool version5) {
    RegTextOut out(lines);
    KeyExporter exporter(out, version5, &leftOut, nullptr, &unopened);
    const bool opened = exporter.Export(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path));
    unreadable = exporter.Unreadable();
    return opened;
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
