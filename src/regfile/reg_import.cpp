#include "regfile/reg_import.h"

#include "core/key_ops.h"
#include "core/value_text.h"
#include "platform/registry_store.h"
#include "regfile/line_source.h"
#include "regfile/reg_scanner.h"
#include "regfile/utf16.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>
#include <unistd.h>

namespace hw::regfile {

namespace {

constexpr std::size_t kFirstBlock = 1 << 16;
constexpr std::size_t kMostOpenSections = 32;

// Writes the records of one import to the registry, keeping the current section's key open.
class RegImporter {
  public:
    explicit RegImporter(bool twoByteText) : twoByteText_(twoByteText) {}
    ~RegImporter() { CloseSections(); }
    RegImporter(const RegImporter&) = delete;
    RegImporter& operator=(const RegImporter&) = delete;

    void Apply(const TRegImportInfo& info);
    void MarkFailed() { failed_ = true; }
    bool Failed() const { return failed_; }

  private:
    struct SectionKey {
        HKEY root = 0;
        std::string path;
        HKEY key = 0;
    };

    void CloseSections();
    void OpenSection(const TRegImportInfo& info);
    void DeleteKeyTree(const TRegImportInfo& info);
    void DeleteValue(const std::string& name);
    void WriteDWord(const TRegImportInfo& info);
    void WriteByteText(DWORD type, const TRegImportInfo& info);
    void Write(const std::string& name, DWORD type, const void* data, std::size_t size);

    bool twoByteText_;
    // The current section's key last, after the keys of the earlier sections that contain it: files list
    // parents before children, so each section is opened one level below its nearest open ancestor.
    std::vector<SectionKey> sections_;
    HKEY current_ = 0;
    bool failed_ = false;
    std::vector<BYTE> bytes_;
    std::string text_;
};

void RegImporter::Apply(const TRegImportInfo& info) {
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
        Write(info.name, REG_SZ, info.data.c_str(), info.data.size() + 1);
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
        DeleteValue(info.name);
        break;
    default:
        break;
    }
}

void RegImporter::CloseSections() {
    for (const SectionKey& section : sections_)
        RegCloseKey(section.key);
    sections_.clear();
    current_ = 0;
}

// The path of info's key below the open section, or nothing when the section does not contain it.
std::optional<std::string_view> PathBelow(HKEY root, const std::string& path, const TRegImportInfo& info) {
    if (root != info.root || !info.keyPath.starts_with(path)) return std::nullopt;
    const std::string_view rest = std::string_view(info.keyPath).substr(path.size());
    if (path.empty() || rest.empty()) return rest;
    if (rest[0] != '\\') return std::nullopt;
    return rest.substr(1);
}

void RegImporter::OpenSection(const TRegImportInfo& info) {
    current_ = 0;
    std::optional<std::string_view> below;
    while (!sections_.empty() && !(below = PathBelow(sections_.back().root, sections_.back().path, info))) {
        RegCloseKey(sections_.back().key);
        sections_.pop_back();
    }
    HKEY key = 0;
    if (sections_.empty() ||
        RegCreateKeyA(sections_.back().key, std::string(*below).c_str(), &key) != ERROR_SUCCESS) {
        // No open ancestor, or it went away: the whole path from the root.
        CloseSections();
        if (RegCreateKeyA(info.root, info.keyPath.c_str(), &key) != ERROR_SUCCESS) {
            failed_ = true;
            return;
        }
    }
    if (sections_.size() == kMostOpenSections) {
        RegCloseKey(sections_.front().key);
        sections_.erase(sections_.begin());
    }
    sections_.push_back({info.root, info.keyPath, key});
    current_ = key;
}

void RegImporter::DeleteKeyTree(const TRegImportInfo& info) {
    CloseSections();
    // A root cannot be deleted; a key that is already gone is what the file asks for.
    if (info.keyPath.empty()) {
        failed_ = true;
        return;
    }
    if (core::KeyExists(info.root, info.keyPath) && !core::DeleteKeyTree(info.root, info.keyPath))
        failed_ = true;
}

void RegImporter::DeleteValue(const std::string& name) {
    const LONG result = RegDeleteValueA(current_, name.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) failed_ = true;
}

void RegImporter::WriteDWord(const TRegImportInfo& info) {
    DWORD number = 0;
    try {
        number = core::HexToDWord(info.data);
    } catch (const core::HexConversionError&) {
        failed_ = true;
        return;
    }
    BYTE little[4];
    for (int i = 0; i < 4; ++i)
        little[i] = static_cast<BYTE>(number >> (8 * i));
    Write(info.name, REG_DWORD, little, sizeof little);
}

bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

void RegImporter::WriteByteText(DWORD type, const TRegImportInfo& info) {
    std::size_t count = (info.data.size() + 1) / 3;
    bytes_.resize(count + 1); // never empty, so data() is a real buffer even for no bytes
    core::HexToBytes(info.data, bytes_.data(), count);
    if (twoByteText_ && IsTextType(type)) {
        text_.clear();
        AppendUtf16LeAsUtf8(bytes_.data(), count, text_);
        Write(info.name, type, text_.data(), text_.size());
        return;
    }
    Write(info.name, type, bytes_.data(), count);
}

void RegImporter::Write(const std::string& name, DWORD type, const void* data, std::size_t size) {
    if (size > std::numeric_limits<DWORD>::max() ||
        RegSetValueExA(current_, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                       static_cast<DWORD>(size)) != ERROR_SUCCESS) {
        failed_ = true;
    }
}

ImportResult ImportFromSource(LineSource& source, bool twoByteText) {
    std::string_view header;
    if (!source.Next(header) || !IsAcceptedHeader(header)) {
        return source.Failed() ? ImportResult::Incomplete : ImportResult::UnknownHeader;
    }
    RegImporter importer(twoByteText);
    try {
        RegLineScanner scanner(source);
        TRegImportInfo info;
        while (scanner.Next(info))
            importer.Apply(info);
    } catch (const std::exception&) {
        importer.MarkFailed();
    }
    if (source.Failed()) importer.MarkFailed();
    platform::FlushRegistry();
    return importer.Failed() ? ImportResult::Incomplete : ImportResult::Success;
}

// Reads to the end of fd; false on a read error.
bool ReadRest(int fd, std::string& into) {
    for (;;) {
        const std::size_t before = into.size();
        if (!ReadBlock(fd, into, std::max(kFirstBlock, before))) return false;
        if (into.size() == before) return true;
    }
}

ImportResult ImportFromDescriptor(int fd) {
    std::string start;
    if (!ReadBlock(fd, start, kFirstBlock)) return ImportResult::Incomplete;
    if (!HasUtf16LeMark(start)) {
        TextLineSource source(fd, std::move(start));
        return ImportFromSource(source, false);
    }
    if (!ReadRest(fd, start)) return ImportResult::Incomplete;
    std::string text;
    AppendUtf16LeAsUtf8(reinterpret_cast<const std::uint8_t*>(start.data()) + 2, start.size() - 2, text);
    std::string().swap(start);
    TextLineSource source(std::move(text));
    return ImportFromSource(source, true);
}

} // namespace

ImportResult ImportRegLines(const std::vector<std::string>& lines) {
    VectorLineSource source(lines);
    return ImportFromSource(source, false);
}

ImportResult ImportRegFile(const std::string& fileName) {
    std::error_code error;
    const auto status = std::filesystem::status(fileName, error);
    if (status.type() == std::filesystem::file_type::not_found) return ImportResult::FileNotFound;
    if (error || std::filesystem::is_directory(status)) return ImportResult::Incomplete;
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ImportResult::Incomplete;
    ImportResult result = ImportResult::Incomplete;
    try {
        result = ImportFromDescriptor(fd);
    } catch (const std::exception&) {
        result = ImportResult::Incomplete;
    }
    ::close(fd);
    return result;
}

} // namespace hw::regfile
