// The order of captions in lists: locale-aware, letter case deciding only between otherwise equal texts.
#pragma once

#include <string>
#include <vector>

namespace hw::window {

// The permutation that sorts the UTF-8 captions (stable for equal ones).
std::vector<std::size_t> CaptionOrder(const std::vector<std::string>& captions);
// The same order for two captions: negative, zero or positive.
int CompareCaptions(const std::string& first, const std::string& second);

} // namespace hw::window
