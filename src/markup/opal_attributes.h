// Looking up attributes in a tag's attribute block (see TOPALToken::Text).
#pragma once

#include <string>
#include <string_view>

namespace hw::markup {

// The first value of the lower-case attribute name, empty when absent; the attribute is removed from the
// block, so taking it again finds the next occurrence.
std::string TakeAttribute(std::string& block, std::string_view name);
// The first value of the lower-case attribute name, empty when absent.
std::string GetAttribute(std::string_view block, std::string_view name);

} // namespace hw::markup
