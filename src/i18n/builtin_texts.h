// The built-in English texts of the user interface, by number.
#pragma once

#include <array>
#include <string_view>

namespace hw::i18n {

inline constexpr int kTextCount = 265;

extern const std::array<std::string_view, kTextCount> kBuiltInTexts;

} // namespace hw::i18n
