// The built-in English texts of the user interface, by number.
#pragma once

#include <array>
#include <string_view>

namespace hw::i18n {

// 0 to 264 are the interface's texts; from 300 on, texts for what this program adds (the Wine prefix,
// file errors, notices that list names), so that a language file can translate them too.
inline constexpr int kFirstOwnText = 300;
inline constexpr int kTextCount = 385;

extern const std::array<std::string_view, kTextCount> kBuiltInTexts;

} // namespace hw::i18n
