#include "editors/hex_search.h"

#include "editors/hex_document.h"

#include <algorithm>
#include <functional>
#include <string>

namespace hw::editors {

namespace {

constexpr std::size_t kChunkBytes = 1 << 16;

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The bytes of a pattern in tidy byte text form (pairs of upper-case digits, single blanks); such a
// pattern can only match where a byte starts, so the bytes can be searched instead of the text.
std::optional<std::string> TidyPatternBytes(std::string_view pattern) {
    if (pattern.size() % 3 != 2) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < pattern.size(); i += 3) {
        const int high = DigitValue(pattern[i]);
        const int low = DigitValue(pattern[i + 1]);
        if (high < 0 || low < 0 || (i + 2 < pattern.size() && pattern[i + 2] != ' ')) return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

std::string ByteTextOf(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (char byte : bytes) {
        if (!text.empty()) text += ' ';
        text += HexDigit(static_cast<unsigned char>(byte) >> 4);
        text += HexDigit(static_cast<unsigned char>(byte));
    }
    return text;
}

// Any other pattern: the text is made a chunk at a time, chunks overlapping by the pattern's length.
std::optional<std::size_t> FindInTextChunks(std::string_view bytes, std::string_view pattern,
                                            std::size_t from) {
    const std::size_t overlapBytes = pattern.size() / 3 + 2;
    for (std::size_t first = from / 3; first < bytes.size(); first += kChunkBytes) {
        const std::size_t count = std::min(bytes.size() - first, kChunkBytes + overlapBytes);
        // The chunk's text starts at byte first's high digit, position 3 * first.
        const std::string text = ByteTextOf(bytes.substr(first, count));
        const std::size_t base = 3 * first;
        const std::size_t found = text.find(pattern, from > base ? from - base : 0);
        if (found != std::string::npos && found < 3 * kChunkBytes) return base + found;
        if (found != std::string::npos && first + count == bytes.size()) return base + found;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::size_t> FindInByteText(std::string_view bytes, std::string_view pattern,
                                          std::size_t from) {
    if (pattern.empty()) return std::nullopt;
    const std::optional<std::string> patternBytes = TidyPatternBytes(pattern);
    if (!patternBytes) return FindInTextChunks(bytes, pattern, from);
    const std::size_t firstByte = (from + 2) / 3;
    if (firstByte >= bytes.size()) return std::nullopt;
    const std::boyer_moore_horspool_searcher searcher(patternBytes->begin(), patternBytes->end());
    const auto found =
        std::search(bytes.begin() + static_cast<std::ptrdiff_t>(firstByte), bytes.end(), searcher);
    if (found == bytes.end()) return std::nullopt;
    return 3 * static_cast<std::size_t>(found - bytes.begin());
}

} // namespace hw::editors
