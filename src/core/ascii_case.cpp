#include "core/ascii_case.h"

#include <algorithm>

namespace hw::core {

bool EqualsIgnoringCase(std::string_view first, std::string_view second) {
    const auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    return first.size() == second.size() && std::equal(first.begin(), first.end(), second.begin(),
                                                       [&](char a, char b) { return fold(a) == fold(b); });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

} // namespace hw::core
