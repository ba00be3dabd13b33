#include "app/command_line.h"

#include "app/shell_switches.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace hw::app {
namespace {

constexpr std::string_view kFileMarker = "/file:<";
constexpr std::string_view kKeyMarker = "/key:<";
// The export job looks for its key marker with a blank in front.
constexpr std::string_view kExportKeyMarker = " /key:<";
constexpr std::string_view kValueMarker = "/value:<";
constexpr std::array kMarkers = {kFileMarker, kKeyMarker, kValueMarker};
constexpr std::string_view kNoAskSwitch = "/ask:[no]";
// What may follow a marker's value right after its ">": a name cut at an inner ">" shows as other text.
constexpr std::array kFollowers = {kFileMarker, kKeyMarker, kValueMarker, kNoAskSwitch};
constexpr char kValueMarkerClose = '>';
// Stands in for the bytes of a marker value in the keyword text; it can be typed neither in a keyword nor
// in a marker.
constexpr char kMaskedByte = '\0';

struct Keyword {
    std::string_view text;
    Mode mode;
};

// Searched in this order; the first one found decides.
constexpr std::array kKeywords = {
    Keyword{"/import", Mode::Import},
    Keyword{"/export", Mode::Export},
    Keyword{"/.opal", Mode::OpalWindow},
    Keyword{"/.reg", Mode::RegFileWindow},
    Keyword{"/bin", Mode::HexEditorWindow},
    Keyword{"/?", Mode::Usage},
    Keyword{"/help", Mode::Usage},
    Keyword{"/del", Mode::Delete},
    Keyword{"/reg", Mode::RegisterAssociations},
    Keyword{"/unreg", Mode::UnregisterAssociations},
};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The lower-cased text with every marker value masked, so that a file or key name holding "/bin" or "/del"
// picks no mode (positions stay those of the original text), and whether a value was followed by text
// that is no switch: a name holding ">" would otherwise be cut there and name something else.
struct KeywordScan {
    std::string text;
    bool strayText = false;
};

bool StartsWithFollower(std::string_view rest) {
    return std::any_of(kFollowers.begin(), kFollowers.end(),
                       [&](std::string_view follower) { return rest.starts_with(follower); });
}

KeywordScan ScanKeywords(std::string_view text) {
    KeywordScan scan;
    std::string& result = scan.text;
    result.assign(text.size(), ' ');
    std::transform(text.begin(), text.end(), result.begin(), LowerAscii);
    std::size_t pos = 0;
    while (pos < result.size()) {
        const auto marker = std::find_if(kMarkers.begin(), kMarkers.end(), [&](std::string_view m) {
            return std::string_view(result).substr(pos).starts_with(m);
        });
        if (marker == kMarkers.end()) {
            ++pos;
            continue;
        }
        const std::size_t valueStart = pos + marker->size();
        const std::size_t close = std::min(result.find(kValueMarkerClose, valueStart), result.size());
        std::fill(result.begin() + static_cast<std::ptrdiff_t>(valueStart),
                  result.begin() + static_cast<std::ptrdiff_t>(close), kMaskedByte);
        const std::string_view rest = std::string_view(result).substr(std::min(close + 1, result.size()));
        if (close < result.size() && !rest.empty() && rest.front() != ' ' && !StartsWithFollower(rest))
            scan.strayText = true;
        pos = close;
    }
    return scan;
}

// The text between the first marker and the next ">", taken from the original text; empty when the
// marker is missing or ends the text, or no ">" follows it.
std::string MarkerValue(const std::string& text, const std::string& keywordText, std::string_view marker) {
    const std::size_t found = keywordText.find(marker);
    if (found == std::string::npos) return {};
    const std::size_t valueStart = found + marker.size();
    const std::size_t close = text.find(kValueMarkerClose, valueStart);
    if (close == std::string::npos) return {};
    return text.substr(valueStart, close - valueStart);
}

Mode ModeOf(const std::string& keywordText) {
    for (const Keyword& keyword : kKeywords) {
        if (keywordText.find(keyword.text) != std::string::npos) return keyword.mode;
    }
    return Mode::Normal;
}

} // namespace

CommandLine ParseCommandLineText(const std::string& text) {
    const KeywordScan scan = ScanKeywords(text);
    const std::string& keywordText = scan.text;
    CommandLine result;
    result.mode = ModeOf(keywordText);
    switch (result.mode) {
    case Mode::Import:
        result.fileName = MarkerValue(text, keywordText, kFileMarker);
        result.ask = keywordText.find(kNoAskSwitch) == std::string::npos;
        break;
    case Mode::Export:
        result.fileName = MarkerValue(text, keywordText, kFileMarker);
        result.keyName = MarkerValue(text, keywordText, kExportKeyMarker);
        break;
    case Mode::OpalWindow:
    case Mode::RegFileWindow:
    case Mode::HexEditorWindow:
        result.fileName = MarkerValue(text, keywordText, kFileMarker);
        break;
    case Mode::Delete:
        result.keyName = MarkerValue(text, keywordText, kKeyMarker);
        result.valueName = MarkerValue(text, keywordText, kValueMarker);
        break;
    case Mode::Usage:
    case Mode::RegisterAssociations:
    case Mode::UnregisterAssociations:
    case Mode::Normal:
        break;
    }
    if (scan.strayText) {
        result.usageError =
            "text follows the \">\" that ends a name in <...> (such a name cannot hold \">\"); "
            "nothing was done: name it with --import, --export, --delete or --edit-reg";
        // A usage error must not open a window either.
        if (IsWindowMode(result.mode)) result.mode = Mode::Usage;
    }
    return result;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    if (auto shellStyle = ParseShellSwitches(arguments)) return *shellStyle;
    std::string text;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) text += ' ';
        text += arguments[i];
    }
    return ParseCommandLineText(text);
}

bool IsWindowMode(Mode mode) {
    return mode == Mode::OpalWindow || mode == Mode::RegFileWindow || mode == Mode::HexEditorWindow ||
           mode == Mode::Normal;
}

void ResolveFileName(CommandLine& commandLine, const std::filesystem::path& startDir) {
    if (commandLine.fileName.empty()) return;
    const std::filesystem::path name(commandLine.fileName);
    if (name.is_relative()) commandLine.fileName = (startDir / name).string();
}

} // namespace hw::app
