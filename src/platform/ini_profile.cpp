#include "platform/ini_profile.h"

#include "util/file_io.h"
#include "util/text.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace hw::platform {

namespace {

namespace fs = std::filesystem;

// One line of the file: where it starts, its text without the line ending, and where the next begins.
struct Line {
    std::size_t start;
    std::string_view text;
    std::size_t next;
    bool terminated;
};

std::vector<Line> SplitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t newline = content.find('\n', start);
        bool terminated = newline != std::string_view::npos;
        std::size_t end = terminated ? newline : content.size();
        std::size_t textEnd = (end > start && content[end - 1] == '\r') ? end - 1 : end;
        lines.push_back(
            {start, content.substr(start, textEnd - start), terminated ? end + 1 : end, terminated});
        start = end + 1;
    }
    return lines;
}

std::string_view WithoutLeadingBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// The section name when the line is a section header.
std::optional<std::string> SectionNameOf(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    text = WithoutLeadingBlanks(text);
    if (!text.starts_with('[')) return std::nullopt;
    text.remove_prefix(1);
    return util::TrimBlanks(text.substr(0, text.find(']')));
}

bool IsBlankLine(std::string_view text) {
    return WithoutLeadingBlanks(text).empty();
}

bool IsEntry(std::string_view text) {
    return !IsBlankLine(text) && WithoutLeadingBlanks(text).front() != ';';
}

std::string KeyOf(std::string_view entry) {
    return util::TrimBlanks(entry.substr(0, entry.find('=')));
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && util::UpperCaseAscii(a) == util::UpperCaseAscii(b);
}

// The lines of the first section with that name: [first, last) indexes after its header.
struct SectionRange {
    std::size_t header;
    std::size_t first;
    std::size_t last;
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines, std::string_view section) {
    const std::string wanted = util::TrimBlanks(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::optional<std::string> name = SectionNameOf(lines[i].text);
        if (!name || !SameName(*name, wanted)) continue;
        std::size_t last = i + 1;
        while (last < lines.size() && !SectionNameOf(lines[last].text))
            ++last;
        return SectionRange{i, i + 1, last};
    }
    return std::nullopt;
}

// The ending of the file's first line; CR LF for a file without any.
std::string_view LineEndingOf(std::string_view content) {
    std::size_t newline = content.find('\n');
    if (newline == std::string_view::npos) return "\r\n";
    return (newline > 0 && content[newline - 1] == '\r') ? "\r\n" : "\n";
}

// Ends an unterminated last line so that it reads back the same (a trailing CR already counts as half).
void TerminateLastLine(std::string& content, std::string_view eol) {
    if (content.empty() || content.back() == '\n') return;
    content += content.back() == '\r' ? "\n" : eol;
}

bool BreaksLines(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

std::vector<std::string> ReadProfileSection(const std::string& fileName, const std::string& section) {
    std::vector<std::string> entries;
    std::optional<std::string> content = util::ReadFileBytes(fileName);
    if (!content) return entries;
    std::vector<Line> lines = SplitLines(*content);
    std::optional<SectionRange> range = FindSection(lines, section);
    if (!range) return entries;
    for (std::size_t i = range->first; i < range->last; ++i) {
        if (IsEntry(lines[i].text)) entries.emplace_back(WithoutLeadingBlanks(lines[i].text));
    }
    return entries;
}

std::string ReadProfileString(const std::string& fileName, const std::string& section, const std::string& key,
                              const std::string& defaultValue) {
    const std::string wanted = util::TrimBlanks(key);
    for (const std::string& entry : ReadProfileSection(fileName, section)) {
        std::size_t equals = entry.find('=');
        if (equals != std::string::npos && SameName(KeyOf(entry), wanted))
            return util::TrimBlanks(std::string_view(entry).substr(equals + 1));
    }
    return defaultValue;
}

bool WriteProfileString(const std::string& fileName, const std::string& section, const std::string& key,
                        const std::string& value) {
    const std::string name = util::TrimBlanks(section);
    const std::string trimmedKey = util::TrimBlanks(key);
    if (name.empty() || BreaksLines(name) || name.find(']') != std::string::npos || trimmedKey.empty() ||
        BreaksLines(trimmedKey) || trimmedKey.find('=') != std::string::npos || trimmedKey.front() == '[' ||
        trimmedKey.front() == ';' || BreaksLines(value))
        return false;

    // A file that exists but cannot be read must not be replaced by one holding only this entry.
    std::optional<std::string> read = util::ReadFileBytes(fileName);
    std::error_code error;
    if (!read && (fs::exists(fileName, error) || error)) return false;
    const std::string content = read.value_or(std::string());
    const std::string_view eol = LineEndingOf(content);
    const std::string entry = trimmedKey + "=" + value;
    std::vector<Line> lines = SplitLines(content);

    std::string updated;
    updated.reserve(content.size() + entry.size() + name.size() + 8);
    std::optional<SectionRange> range = FindSection(lines, name);
    if (!range) {
        updated = content;
        TerminateLastLine(updated, eol);
        if (!lines.empty() && IsEntry(lines.back().text)) updated += eol;
        updated += "[" + name + "]";
        updated += eol;
        updated += entry;
        updated += eol;
        return util::ReplaceFileAtomically(fileName, updated);
    }

    for (std::size_t i = range->first; i < range->last; ++i) {
        const Line& line = lines[i];
        if (!IsEntry(line.text) || line.text.find('=') == std::string_view::npos ||
            !SameName(KeyOf(line.text), trimmedKey))
            continue;
        // Only the text changes; the line keeps its own ending.
        updated.append(content, 0, line.start);
        updated += entry;
        updated.append(content, line.start + line.text.size());
        return util::ReplaceFileAtomically(fileName, updated);
    }

    // A new key goes after the section's last non-blank line, ahead of any blank lines before the next one.
    std::size_t after = range->header;
    for (std::size_t i = range->first; i < range->last; ++i) {
        if (!IsBlankLine(lines[i].text)) after = i;
    }
    const Line& anchor = lines[after];
    updated.append(content, 0, anchor.next);
    if (!anchor.terminated) TerminateLastLine(updated, eol);
    updated += entry;
    updated += eol;
    updated.append(content, anchor.next);
    return util::ReplaceFileAtomically(fileName, updated);
}

} // namespace hw::platform
