// Turning OPAL source text into a document.
#pragma once

#include "markup/opal_document.h"

#include <string_view>

namespace hw::markup {

// Fills the document (whose texts the caller cleared) from the source; an empty source leaves it untouched.
// Elements of an earlier parse are freed. Parsing stops at the first NUL; nothing is ever rejected.
void ParseDocument(TOPALDocument& document, std::string_view source);

} // namespace hw::markup
