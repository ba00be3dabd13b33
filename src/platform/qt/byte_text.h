// Registry names and data are bytes, UTF-8 as a rule; older files and other tools leave bytes that are
// not. Widgets show such a byte as "\xE9", so that it is seen, and an edited text gets it back.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace hw::platform {

// The text to show: UTF-8 decoded, each byte that is not part of a valid sequence as "\x" and two digits.
QString ShownText(std::string_view bytes);
// The bytes of a text edited from ShownText(original): the escapes turn back into their bytes when the
// original had such bytes; otherwise the text is taken as typed.
std::string EditedBytes(const QString& edited, std::string_view original);

} // namespace hw::platform
