#include "regfile/reg_scanner.h"

#include "core/root_keys.h"
#include "regfile/byte_text.h"
#include "util/text.h"

#include <cctype>
#include <cstring>

namespace hw::regfile {

namespace {

using std::string_view;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

string_view SkipBlanks(string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    return text.substr(at);
}

// Byte text ends at a comment.
string_view BeforeComment(string_view text) {
    return text.substr(0, text.find(';'));
}

// True when nothing but blanks and perhaps a comment follows.
bool OnlyCommentLeft(string_view rest) {
    rest = SkipBlanks(rest);
    return rest.empty() || rest[0] == ';';
}

// The first quote at or after `from` that a backslash does not escape, a backslash escaping whatever follows
// it; npos when there is none. A quote is escaped when an odd run of backslashes, counted from `from`, stands
// right before it.
std::size_t FindClosingQuote(string_view text, std::size_t from) {
    for (std::size_t quote = from; quote < text.size(); ++quote) {
        const void* found = std::memchr(text.data() + quote, '"', text.size() - quote);
        if (!found) return string_view::npos;
        quote = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
        std::size_t backslashes = 0;
        while (quote - backslashes > from && text[quote - backslashes - 1] == '\\')
            ++backslashes;
        if (backslashes % 2 == 0) return quote;
    }
    return string_view::npos;
}

// Lines that end a continued byte text without belonging to it: value lines, sections and comments.
bool EndsContinuation(string_view line) {
    if (std::memchr(line.data(), '"', line.size()) || std::memchr(line.data(), '[', line.size())) return true;
    const string_view trimmed = util::BlanksTrimmed(line);
    return !trimmed.empty() && (trimmed[0] == ';' || trimmed[0] == '@');
}

// The type number of "hex(N):" at the start of text, and the length of that prefix.
bool ParseTypedHexPrefix(string_view text, DWORD& type, std::size_t& length) {
    constexpr string_view kOpen = "hex(";
    constexpr std::size_t kMaxDigits = 8;
    if (!text.starts_with(kOpen)) return false;
    std::size_t end = kOpen.size();
    DWORD value = 0;
    while (end < text.size() && end - kOpen.size() < kMaxDigits &&
           std::isxdigit(static_cast<unsigned char>(text[end]))) {
        const char digit = static_cast<char>(std::tolower(static_cast<unsigned char>(text[end])));
        value = value * 16 + static_cast<DWORD>(digit <= '9' ? digit - '0' : digit - 'a' + 10);
        ++end;
    }
    if (end == kOpen.size() || text.substr(end, 2) != "):") return false;
    type = value;
    length = end + 2;
    return true;
}

} // namespace

bool IsAcceptedHeader(string_view line) {
    return line == "REGEDIT3" || line == "REGEDIT4" || line == "Windows Registry Editor Version 5.00";
}

void UnescapeRegText(string_view text, std::string& out) {
    // One pass giving what two would: first each pair of backslashes becomes one, then each backslash
    // followed by a quote becomes the quote. A backslash left by the first step escapes a quote right after.
    out.clear();
    std::size_t at = 0;
    while (at < text.size()) {
        const void* found = std::memchr(text.data() + at, '\\', text.size() - at);
        const std::size_t backslash =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) : text.size();
        out.append(text.data() + at, backslash - at);
        if (backslash == text.size()) return;
        at = backslash + 1;
        if (at < text.size() && text[at] == '\\') ++at;
        if (at < text.size() && text[at] == '"') {
            out += '"';
            ++at;
        } else {
            out += '\\';
        }
    }
}

bool RegLineScanner::NextLine(string_view& line) {
    ++linesRead_;
    if (hasPushedBack_) {
        hasPushedBack_ = false;
        line = pushedBack_;
        return true;
    }
    if (lines_.Next(line)) return true;
    --linesRead_;
    return false;
}

bool RegLineScanner::Next(TRegImportInfo& info) {
    string_view line;
    while (NextLine(line)) {
        const string_view trimmed = util::BlanksTrimmed(line);
        if (trimmed.empty()) continue;
        info.line = linesRead_;
        if (trimmed[0] == '[') {
            if (ScanSection(trimmed, info)) return true;
            info.inSection = false;
            continue;
        }
        if (!info.inSection || trimmed[0] == ';') continue;
        if (ScanValue(line, trimmed, info)) return true;
    }
    return false;
}

bool RegLineScanner::ScanSection(string_view trimmed, TRegImportInfo& info) {
    const bool deleting = trimmed.size() > 1 && trimmed[1] == '-';
    const string_view body = trimmed.substr(deleting ? 2 : 1);
    string_view path;
    const std::size_t slash = body.find('\\');
    HKEY root = slash == string_view::npos ? 0 : RootNamed(body.substr(0, slash));
    if (root != 0) {
        // The last "]" closes the path, so key names may hold "]".
        const std::size_t close = body.rfind(']');
        if (close == string_view::npos || close < slash) return false;
        path = body.substr(slash + 1, close - slash - 1);
    } else {
        const std::size_t close = body.find(']');
        if (close == string_view::npos) return false;
        root = RootNamed(body.substr(0, close));
        if (root == 0) return false;
    }
    info.kind = deleting ? RegRecordKind::DeleteKey : RegRecordKind::Section;
    info.root = root;
    info.keyPath.assign(path);
    info.inSection = !deleting;
    return true;
}

HKEY RegLineScanner::RootNamed(string_view name) {
    // Nearly every section names the root the one before it named, in the same letters.
    if (name != lastRootName_) {
        lastRoot_ = core::RootKeyFromName(name);
        lastRootName_.assign(name);
    }
    return lastRoot_;
}

bool RegLineScanner::ScanValue(string_view line, string_view trimmed, TRegImportInfo& info) {
    if (trimmed[0] == '@') {
        const string_view rest = SkipBlanks(trimmed.substr(1));
        if (rest.starts_with('=')) {
            info.name.clear();
            if (ScanData(line, static_cast<std::size_t>(rest.data() - line.data()) + 1, info)) return true;
        }
    }
    if (trimmed[0] == '"' && ScanQuotedName(line, trimmed, info)) return true;
    return ScanMarkers(line, info);
}

// Reads the name up to its closing quote, escapes honoured, so that names holding `"=` or `"=hex:` stay
// whole. Blanks and tabs may stand around the equals sign.
bool RegLineScanner::ScanQuotedName(string_view line, string_view trimmed, TRegImportInfo& info) {
    const std::size_t close = FindClosingQuote(trimmed, 1);
    if (close == string_view::npos) return false;
    const string_view rest = SkipBlanks(trimmed.substr(close + 1));
    if (!rest.starts_with('=')) return false;
    UnescapeRegText(trimmed.substr(1, close - 1), info.name);
    return ScanData(line, static_cast<std::size_t>(rest.data() - line.data()) + 1, info);
}

// Lines whose name is not properly quoted: the first marker found anywhere in the line decides.
bool RegLineScanner::ScanMarkers(string_view line, TRegImportInfo& info) {
    constexpr string_view kStringMarker = "\"=\"";
    constexpr string_view kDWordMarker = "\"=dword:";
    constexpr string_view kBinaryMarker = "\"=hex:";
    std::size_t marker = line.find(kStringMarker);
    if (marker == string_view::npos) marker = line.find(kDWordMarker);
    if (marker == string_view::npos) marker = line.find(kBinaryMarker);
    if (marker == string_view::npos) return false;
    const std::size_t nameQuote = line.find('"');
    UnescapeRegText(nameQuote < marker ? line.substr(nameQuote + 1, marker - nameQuote - 1) : string_view(),
                    info.name);
    return ScanData(line, marker + 2, info);
}

// Reads the data form that starts after the equals sign at `at - 1` and any blanks.
bool RegLineScanner::ScanData(string_view line, std::size_t at, TRegImportInfo& info) {
    const string_view rest = SkipBlanks(line.substr(at));
    at = static_cast<std::size_t>(rest.data() - line.data());
    DWORD type = 0;
    std::size_t prefixLength = 0;
    if (rest.starts_with('"')) {
        ScanString(line, at, info);
    } else if (rest.starts_with("dword:")) {
        info.kind = RegRecordKind::DWord;
        // Blanks, tabs and a comment may follow the digits.
        string_view digits = rest.substr(6);
        const std::size_t comment = digits.find(';');
        if (comment != string_view::npos) digits = digits.substr(0, comment);
        const std::size_t last = digits.find_last_not_of(" \t");
        info.data.assign(digits.substr(0, last == string_view::npos ? 0 : last + 1));
    } else if (rest.starts_with("hex:")) {
        info.kind = RegRecordKind::Binary;
        ScanByteText(rest.substr(4), info);
    } else if (ParseTypedHexPrefix(rest, type, prefixLength)) {
        info.kind = RegRecordKind::TypedBytes;
        info.type = type;
        ScanByteText(rest.substr(prefixLength), info);
    } else if (rest.starts_with('-') && util::BlanksTrimmed(rest.substr(1)).empty()) {
        info.kind = RegRecordKind::DeleteValue;
        info.data.clear();
    } else {
        return false;
    }
    return true;
}

void RegLineScanner::ScanString(string_view line, std::size_t openingQuote, TRegImportInfo& info) {
    info.kind = RegRecordKind::String;
    // The first unescaped quote closes the text when only blanks or a comment follow it; otherwise the
    // last quote of the line does, so that a stray quote inside stays part of the text.
    std::size_t closingQuote = FindClosingQuote(line, openingQuote + 1);
    if (closingQuote == string_view::npos || !OnlyCommentLeft(line.substr(closingQuote + 1)))
        closingQuote = line.rfind('"');
    const string_view text = closingQuote > openingQuote
                                 ? line.substr(openingQuote + 1, closingQuote - openingQuote - 1)
                                 : string_view();
    UnescapeRegText(text, info.data);
}

// Byte text, continued over the following lines while it ends with a backslash, read straight into bytes.
void RegLineScanner::ScanByteText(string_view first, TRegImportInfo& info) {
    info.data.clear();
    ByteTextDecoder bytes(info.bytes);
    first = BeforeComment(first);
    const std::size_t lastBackslash = first.rfind('\\');
    bytes.Feed(first.substr(0, lastBackslash));
    string_view line;
    while (lastBackslash != string_view::npos && NextLine(line)) {
        // Most continued lines are byte text and blanks, with a backslash at the end, and are read in one
        // pass: a quote, bracket, semicolon or "@" in a line stops the decoder, and the line is read again
        // below by the general rules.
        if (bytes.Valid()) {
            const ByteTextDecoder::Mark before = bytes.Where();
            bytes.Feed(line, '\\');
            if (bytes.Valid()) {
                const string_view trimmed = util::BlanksTrimmed(line);
                if (trimmed.empty() || trimmed.back() == '\\' || trimmed.find('\\') != string_view::npos)
                    continue;
                break;
            }
            bytes.Rewind(before);
        }
        if (EndsContinuation(line)) {
            pushedBack_ = line;
            hasPushedBack_ = true;
            --linesRead_;
            break;
        }
        if (line.find('\\') != string_view::npos) {
            bytes.Feed(BeforeComment(line), '\\');
            continue;
        }
        if (util::BlanksTrimmed(line).empty()) continue;
        bytes.Feed(BeforeComment(line));
        break;
    }
    info.bytesValid = bytes.Valid();
}

} // namespace hw::regfile
