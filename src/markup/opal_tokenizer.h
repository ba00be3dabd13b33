// Reading OPAL source text: characters with their entities, and tokens (text runs and tag attribute blocks).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hw::markup {

// A read position in a source text; the text ends at its end or at its first NUL.
struct TOPALCursor {
    std::string_view Text;
    std::size_t Pos = 0;

    bool AtEnd() const { return Pos >= Text.size() || Text[Pos] == '\0'; }
};

struct TOPALChar {
    char Ch = '\0';
    // True for a character written as an entity; such a character never acts as markup.
    bool FromEntity = false;
    bool AtEnd = false;
};

struct TOPALToken {
    // The text run, or for a tag its attribute block: the lower-cased tag name, then per attribute CR LF,
    // the lower-cased name and, for a non-empty value, "=" and the value.
    std::string Text;
    bool IsTag = false;
    bool AtEnd = false;
};

TOPALChar ReadChar(TOPALCursor& cursor);
TOPALToken ReadToken(TOPALCursor& cursor);

} // namespace hw::markup
