#include "markup/opal_attributes.h"

#include <optional>

namespace hw::markup {

namespace {

struct AttributeSpan {
    std::size_t start;      // at the CR LF before the name
    std::size_t valueStart; // after the "="
    std::size_t end;        // at the next CR or the end of the block
};

// The tag name line has no CR LF before it, so it never matches.
std::optional<AttributeSpan> FindAttribute(std::string_view block, std::string_view name) {
    for (std::size_t at = block.find("\r\n"); at != std::string_view::npos; at = block.find("\r\n", at + 2)) {
        const std::string_view line = block.substr(at + 2);
        if (line.size() > name.size() && line.starts_with(name) && line[name.size()] == '=') {
            const std::size_t valueStart = at + 2 + name.size() + 1;
            const std::size_t end = block.find('\r', valueStart);
            return AttributeSpan{at, valueStart, end == std::string_view::npos ? block.size() : end};
        }
    }
    return std::nullopt;
}

} // namespace

std::string TakeAttribute(std::string& block, std::string_view name) {
    const auto span = FindAttribute(block, name);
    if (!span) return {};
    std::string value = block.substr(span->valueStart, span->end - span->valueStart);
    block.erase(span->start, span->end - span->start);
    return value;
}

std::string GetAttribute(std::string_view block, std::string_view name) {
    const auto span = FindAttribute(block, name);
    if (!span) return {};
    return std::string(block.substr(span->valueStart, span->end - span->valueStart));
}

} // namespace hw::markup
