#include "regfile/reg_import.h"

#include "core/change_feed.h"
#include "core/key_ops.h"
#include "core/root_keys.h"
#include "core/value_text.h"
#include "platform/registry_store.h"
#include "regfile/line_source.h"
#include "regfile/reg_encoding.h"
#include "regfile/reg_scanner.h"
#include "regfile/registry_error_text.h"
#include "regfile/utf16.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace hw::regfile {

namespace {

constexpr std::size_t kFirstBlock = 1 << 16;
constexpr std::size_t kMostOpenSections = 32;
constexpr std::uint64_t kProgressStep = 1 << 18;
constexpr std::size_t kDescribedFailures = 10;
constexpr std::size_t kLongestHeader = 512;
// A section's values are written together once they reach this size, or when the section ends; larger
// ones go straight from the record.
constexpr std::size_t kPendingBytes = 1 << 20;

std::string SectionPath(HKEY root, const std::string& keyPath) {
    if (root == 0) return {};
    std::string path = core::RootKeyName(root);
    if (!keyPath.empty()) path.append(1, '\\').append(keyPath);
    return path;
}

std::string WriteFailure(LONG result) {
    return "the value could not be written: " + RegistryErrorText(result);
}

// Writes the records of one import to the registry, keeping the current section's key open. A section's
// values are gathered and written in one registry call.
class RegImporter {
  public:
    RegImporter(RegEncoding encoding, bool version5, std::vector<ImportFailure>& failures)
        : encoding_(encoding), version5_(version5), failures_(failures) {}
    ~RegImporter() { CloseSections(); }
    RegImporter(const RegImporter&) = delete;
    RegImporter& operator=(const RegImporter&) = delete;

    void Apply(const TRegImportInfo& info);
    // Writes the values gathered so far; due before the section ends and before anything else changes.
    void WritePending();
    // Notes a failure of the current record (or of the input at its line), after those of earlier ones.
    void Fail(const TRegImportInfo& info, std::string reason);

  private:
    // An open section's key; its path is the first pathSize bytes of openPath_.
    struct SectionKey {
        std::size_t pathSize = 0;
        HKEY key = 0;
    };
    // A gathered value, as places in pendingBytes_.
    struct PendingValue {
        std::size_t line = 0;
        DWORD type = 0;
        std::size_t name = 0, nameSize = 0, data = 0, dataSize = 0;
    };

    void CloseSections();
    void OpenSection(const TRegImportInfo& info);
    // Opens the key at path below (in the current section's path) under the innermost open section. A key
    // whose parent is no open section gets its parent opened as a section too: later sections of a file
    // often lie below that parent, and each is then one level below an open section.
    bool OpenBelow(std::string_view below, HKEY& key);
    void PushSection(std::size_t pathSize, HKEY key);
    void DeleteKeyTree(const TRegImportInfo& info);
    void DeleteValue(const TRegImportInfo& info);
    void WriteDWord(const TRegImportInfo& info);
    void WriteByteText(DWORD type, const TRegImportInfo& info);
    void Write(const TRegImportInfo& info, DWORD type, std::string_view data);
    // Gathers a value whose data the caller appends to pendingBytes_ between the two calls.
    void BeginValue(const TRegImportInfo& info, DWORD type);
    void EndValue();
    void FailAt(std::size_t line, HKEY root, const std::string& keyPath, std::string reason);

    RegEncoding encoding_;
    bool version5_;
    std::vector<ImportFailure>& failures_;
    // The current section's key last, after the keys of the earlier sections that contain it: files list
    // parents before children, so each section is opened one level below its nearest open ancestor.
    std::vector<SectionKey> sections_;
    HKEY openRoot_ = 0;
    std::string openPath_; // the current section's path, which starts with the paths of all the others
    std::string parentPath_;
    HKEY current_ = 0;
    std::vector<PendingValue> pending_;
    std::string pendingBytes_;
    std::vector<platform::ValueWrite> writes_;
};

void RegImporter::Apply(const TRegImportInfo& info) {
    // A name cut short at a NUL would name another key or value, so such names are refused whole.
    const bool keyRecord = info.kind == RegRecordKind::Section || info.kind == RegRecordKind::DeleteKey;
    if (keyRecord && info.keyPath.find('\0') != std::string::npos) {
        CloseSections();
        Fail(info, "the key name holds a NUL character");
        return;
    }
    if (!keyRecord && info.name.find('\0') != std::string::npos) {
        if (current_ != 0) Fail(info, "the value name holds a NUL character");
        return;
    }
    switch (info.kind) {
    case RegRecordKind::Section:
        OpenSection(info);
        return;
    case RegRecordKind::DeleteKey:
        DeleteKeyTree(info);
        return;
    default:
        break;
    }
    if (current_ == 0) return;
    switch (info.kind) {
    case RegRecordKind::String:
        Write(info, REG_SZ, {info.data.c_str(), info.data.size() + 1});
        break;
    case RegRecordKind::DWord:
        WriteDWord(info);
        break;
    case RegRecordKind::Binary:
        WriteByteText(REG_BINARY, info);
        break;
    case RegRecordKind::TypedBytes:
        WriteByteText(info.type, info);
        break;
    case RegRecordKind::DeleteValue:
        DeleteValue(info);
        break;
    default:
        break;
    }
}

void RegImporter::Fail(const TRegImportInfo& info, std::string reason) {
    WritePending();
    FailAt(info.line, info.root, info.keyPath, std::move(reason));
}

void RegImporter::FailAt(std::size_t line, HKEY root, const std::string& keyPath, std::string reason) {
    failures_.push_back({line, SectionPath(root, keyPath), std::move(reason)});
}

void RegImporter::WritePending() {
    if (pending_.empty()) return;
    // Whatever happens, the values are not written twice.
    struct Clear {
        RegImporter& importer;
        ~Clear() {
            importer.pending_.clear();
            importer.pendingBytes_.clear();
        }
    } clear{*this};
    writes_.clear();
    const std::string_view bytes(pendingBytes_);
    for (const PendingValue& value : pending_)
        writes_.push_back(
            {bytes.substr(value.name, value.nameSize), value.type, bytes.substr(value.data, value.dataSize)});
    platform::CurrentRegistry().SetValues(current_, writes_);
    for (std::size_t i = 0; i < writes_.size(); ++i)
        if (writes_[i].result != ERROR_SUCCESS)
            FailAt(pending_[i].line, openRoot_, openPath_, WriteFailure(writes_[i].result));
}

void RegImporter::CloseSections() {
    WritePending();
    for (const SectionKey& section : sections_)
        RegCloseKey(section.key);
    sections_.clear();
    current_ = 0;
}

// The path of info's key below the open section, or nothing when the section does not contain it.
std::optional<std::string_view> PathBelow(HKEY root, std::string_view path, const TRegImportInfo& info) {
    if (root != info.root || !info.keyPath.starts_with(path)) return std::nullopt;
    const std::string_view rest = std::string_view(info.keyPath).substr(path.size());
    if (path.empty() || rest.empty()) return rest;
    if (rest[0] != '\\') return std::nullopt;
    return rest.substr(1);
}

void RegImporter::OpenSection(const TRegImportInfo& info) {
    WritePending();
    current_ = 0;
    std::optional<std::string_view> below;
    while (!sections_.empty() &&
           !(below = PathBelow(openRoot_, std::string_view(openPath_).substr(0, sections_.back().pathSize),
                               info))) {
        RegCloseKey(sections_.back().key);
        sections_.pop_back();
    }
    // The sections left open contain info's key, so their paths start its path.
    openRoot_ = info.root;
    openPath_.assign(info.keyPath);
    HKEY key = 0;
    if (sections_.empty() || !OpenBelow(*below, key)) {
        // No open ancestor, or it went away: the whole path from the root.
        CloseSections();
        if (const LONG result = RegCreateKeyA(info.root, info.keyPath.c_str(), &key);
            result != ERROR_SUCCESS) {
            Fail(info, "the key could not be opened or created: " + RegistryErrorText(result));
            return;
        }
    }
    PushSection(info.keyPath.size(), key);
    current_ = key;
}

bool RegImporter::OpenBelow(std::string_view below, HKEY& key) {
    if (const std::size_t slash = below.rfind('\\'); slash != std::string_view::npos) {
        parentPath_.assign(below.substr(0, slash));
        HKEY parent = 0;
        if (RegCreateKeyA(sections_.back().key, parentPath_.c_str(), &parent) != ERROR_SUCCESS) return false;
        PushSection(openPath_.size() - below.size() + slash, parent);
        below.remove_prefix(slash + 1);
    }
    // below ends where the section's path ends, so it is NUL-terminated.
    return RegCreateKeyA(sections_.back().key, below.data(), &key) == ERROR_SUCCESS;
}

void RegImporter::PushSection(std::size_t pathSize, HKEY key) {
    if (sections_.size() == kMostOpenSections) {
        RegCloseKey(sections_.front().key);
        sections_.erase(sections_.begin());
    }
    sections_.push_back({pathSize, key});
}

void RegImporter::DeleteKeyTree(const TRegImportInfo& info) {
    CloseSections();
    // A root cannot be deleted; a key that is already gone is what the file asks for.
    if (info.keyPath.empty()) {
        Fail(info, "a root key cannot be deleted");
        return;
    }
    HKEY key = 0;
    const LONG opened = RegOpenKeyExA(info.root, info.keyPath.c_str(), 0, KEY_READ, &key);
    if (opened == ERROR_FILE_NOT_FOUND) return;
    // A key that cannot even be read (a protected one) is not deleted, and that is a failure.
    if (opened != ERROR_SUCCESS) {
        Fail(info, "the key could not be deleted: " + RegistryErrorText(opened));
        return;
    }
    RegCloseKey(key);
    if (!core::DeleteKeyTree(info.root, info.keyPath))
        Fail(info, "the key could not be deleted entirely: " + RegistryErrorText(ERROR_ACCESS_DENIED));
}

void RegImporter::DeleteValue(const TRegImportInfo& info) {
    WritePending();
    const LONG result = RegDeleteValueA(current_, info.name.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        Fail(info, "the value could not be deleted: " + RegistryErrorText(result));
}

void RegImporter::WriteDWord(const TRegImportInfo& info) {
    DWORD number = 0;
    try {
        number = core::HexToDWord(info.data);
    } catch (const core::HexConversionError&) {
        Fail(info, "not a DWORD number");
        return;
    }
    BYTE little[4];
    for (int i = 0; i < 4; ++i)
        little[i] = static_cast<BYTE>(number >> (8 * i));
    Write(info, REG_DWORD, {reinterpret_cast<const char*>(little), sizeof little});
}

bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

void RegImporter::WriteByteText(DWORD type, const TRegImportInfo& info) {
    // Bytes we cannot read exactly are not guessed at.
    if (!info.bytesValid) {
        Fail(info, "the data is not hexadecimal bytes separated by commas");
        return;
    }
    const std::vector<std::uint8_t>& bytes = info.bytes;
    if (IsTextType(type)) {
        BeginValue(info, type);
        AppendPayloadText(bytes.data(), bytes.size(), version5_, encoding_, pendingBytes_);
        EndValue();
        return;
    }
    Write(info, type, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

void RegImporter::Write(const TRegImportInfo& info, DWORD type, std::string_view data) {
    if (data.size() < kPendingBytes) {
        BeginValue(info, type);
        pendingBytes_.append(data);
        EndValue();
        return;
    }
    // Large data is written from where it lies, not copied first.
    WritePending();
    if (data.size() > std::numeric_limits<DWORD>::max()) {
        Fail(info, "the data is too large");
        return;
    }
    platform::ValueWrite value{info.name, type, data};
    platform::CurrentRegistry().SetValues(current_, {&value, 1});
    if (value.result != ERROR_SUCCESS) Fail(info, WriteFailure(value.result));
}

void RegImporter::BeginValue(const TRegImportInfo& info, DWORD type) {
    pending_.push_back({info.line, type, pendingBytes_.size(), info.name.size(), 0, 0});
    pendingBytes_.append(info.name);
    pending_.back().data = pendingBytes_.size();
}

void RegImporter::EndValue() {
    pending_.back().dataSize = pendingBytes_.size() - pending_.back().data;
    if (pendingBytes_.size() >= kPendingBytes) WritePending();
}

// Reports progress every kProgressStep bytes; once asked to stop, the import ends before the next section.
class ProgressGate {
  public:
    ProgressGate(const ImportProgress& progress, std::uint64_t total) : progress_(progress), total_(total) {}
    // False when the record must not be applied because a stop was asked for.
    bool Admit(const LineSource& source, const TRegImportInfo& info) {
        if (progress_ && !stopping_ && source.Position() >= next_) {
            next_ = source.Position() + kProgressStep;
            stopping_ = !progress_(std::min(source.Position(), total_), total_);
        }
        if (stopping_ && (info.kind == RegRecordKind::Section || info.kind == RegRecordKind::DeleteKey))
            stopped_ = true;
        return !stopped_;
    }
    bool Stopped() const { return stopped_; }
    void Finish() {
        if (progress_ && !stopped_) progress_(total_, total_);
    }

  private:
    const ImportProgress& progress_;
    std::uint64_t total_;
    std::uint64_t next_ = 0;
    bool stopping_ = false;
    bool stopped_ = false;
};

ImportReport ImportFromSource(LineSource& source, RegEncoding encoding, const ImportProgress& progress,
                              std::uint64_t total) {
    ImportReport report;
    std::string_view header;
    // A header is short: a file whose first line runs on is refused without reading that line whole.
    source.SetLineLimit(kLongestHeader);
    if (!source.Next(header) || !IsAcceptedHeader(header)) {
        if (source.Failed()) {
            report.result = ImportResult::Incomplete;
            report.failures.push_back({1, {}, "the file could not be read"});
        } else {
            report.result = ImportResult::UnknownHeader;
        }
        return report;
    }
    source.SetLineLimit(LineSource::kMaxLineLength);
    // Windows showing the registry are told once, after the whole file, that anything may have changed.
    core::ChangeBatch batch;
    core::PublishTreeChanged({});
    RegImporter importer(encoding, header == kVersion5Header, report.failures);
    ProgressGate gate(progress, total);
    TRegImportInfo info;
    try {
        RegLineScanner scanner(source);
        std::size_t failuresSeen = 0;
        // Commits fall between sections, so that the store holds whole sections of the file, never a part.
        platform::HeldCommits held;
        while (scanner.Next(info) && gate.Admit(source, info)) {
            if (info.kind == RegRecordKind::Section || info.kind == RegRecordKind::DeleteKey) {
                importer.WritePending();
                held.Boundary();
            }
            importer.Apply(info);
            // After a lost group the store refuses every change; stopping keeps the saved part a prefix.
            if (report.failures.size() != failuresSeen) {
                failuresSeen = report.failures.size();
                if (!platform::RegistryCommitFailure().empty()) break;
            }
        }
        importer.WritePending();
    } catch (const std::exception& failure) {
        importer.Fail(info, failure.what());
    }
    if (source.Failed()) importer.Fail(info, "the file could not be read to its end");
    if (source.LineTooLong())
        importer.Fail(info, "the next line is longer than 256 MB; the rest of the file was not imported");
    if (std::string unsaved = platform::FlushRegistry(); !unsaved.empty())
        report.failures.push_back({0, {}, std::move(unsaved)});
    gate.Finish();
    report.stopped = gate.Stopped();
    report.result = report.failures.empty() ? ImportResult::Success : ImportResult::Incomplete;
    return report;
}

ImportReport FailedReport(ImportResult result, std::string reason) {
    ImportReport report;
    report.result = result;
    if (!reason.empty()) report.failures.push_back({0, {}, std::move(reason)});
    return report;
}

// Reads to the end of fd; false on a read error.
bool ReadRest(int fd, std::string& into) {
    for (;;) {
        const std::size_t before = into.size();
        if (!ReadBlock(fd, into, std::max(kFirstBlock, before))) return false;
        if (into.size() == before) return true;
    }
}

ImportReport ImportFromDescriptor(int fd, const ImportProgress& progress) {
    struct stat status {};
    const std::uint64_t size = ::fstat(fd, &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
    std::string start;
    if (!ReadBlock(fd, start, kFirstBlock))
        return FailedReport(ImportResult::Incomplete, "the file could not be read");
    if (HasUtf16LeMark(start)) {
        const std::unique_ptr<LineSource> source = OpenRegText(fd, std::move(start), RegEncoding::Utf16Le);
        return ImportFromSource(*source, RegEncoding::Utf16Le, progress, size);
    }
    bool readable = true;
    if (S_ISREG(status.st_mode)) {
        // Whether the file is UTF-8 shows only at its end: a first pass reads it, a second imports it.
        const RegEncoding encoding =
            WholeFileIsUtf8(fd, start, readable) ? RegEncoding::Utf8 : RegEncoding::Ansi;
        if (!readable) return FailedReport(ImportResult::Incomplete, "the file could not be read");
        const std::unique_ptr<LineSource> source = OpenRegText(fd, std::move(start), encoding);
        return ImportFromSource(*source, encoding, progress, size);
    }
    // A pipe cannot be read twice, so it is read whole; but not one that is plainly no registration file.
    if (!IsAcceptedHeader(std::string_view(start).substr(0, start.find_first_of("\r\n"))))
        return FailedReport(ImportResult::UnknownHeader, {});
    if (!ReadRest(fd, start)) return FailedReport(ImportResult::Incomplete, "the file could not be read");
    const RegEncoding encoding = EncodingOfRegBytes(start);
    std::string text = DecodeRegBytes(start, encoding);
    std::string().swap(start);
    const std::uint64_t textSize = text.size();
    TextLineSource source(std::move(text));
    return ImportFromSource(source, encoding, progress, textSize);
}

} // namespace

ImportReport ImportRegLinesReported(const std::vector<std::string>& lines, RegEncoding encoding) {
    VectorLineSource source(lines);
    return ImportFromSource(source, encoding, {}, 0);
}

ImportReport ImportRegFileReported(const std::string& fileName, const ImportProgress& progress) {
    std::error_code error;
    const auto status = std::filesystem::status(fileName, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return FailedReport(ImportResult::FileNotFound, {});
    if (std::filesystem::is_directory(status))
        return FailedReport(ImportResult::Incomplete, "a directory, not a file");
    if (error) return FailedReport(ImportResult::Incomplete, error.message());
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FailedReport(ImportResult::Incomplete, std::strerror(errno));
    ImportReport report;
    try {
        report = ImportFromDescriptor(fd, progress);
    } catch (const std::exception& failure) {
        report = FailedReport(ImportResult::Incomplete, failure.what());
    }
    ::close(fd);
    return report;
}

ImportResult ImportRegLines(const std::vector<std::string>& lines) {
    return ImportRegLinesReported(lines).result;
}

ImportResult ImportRegFile(const std::string& fileName) {
    return ImportRegFileReported(fileName).result;
}

std::vector<std::string> DescribeImportFailures(const ImportReport& report) {
    std::vector<std::string> lines;
    const std::size_t shown = std::min(report.failures.size(), kDescribedFailures);
    for (std::size_t i = 0; i < shown; ++i) {
        const ImportFailure& failure = report.failures[i];
        std::string line;
        if (failure.line > 0) line += "line " + std::to_string(failure.line) + " ";
        if (!failure.section.empty()) line += "[" + failure.section + "]";
        if (!line.empty() && line.back() == ' ') line.pop_back();
        line += line.empty() ? failure.reason : ": " + failure.reason;
        lines.push_back(std::move(line));
    }
    if (report.failures.size() > shown)
        lines.push_back("... and " + std::to_string(report.failures.size() - shown) + " more");
    return lines;
}

} // namespace hw::regfile
