#include "markup/opal_tokenizer.h"

#include <optional>

namespace hw::markup {

namespace {

struct Entity {
    std::string_view name;
    char character;
};

constexpr Entity kEntities[] = {{"amp", '&'}, {"quot", '"'}, {"gt", '>'}, {"lt", '<'}};

// Markup names are single-byte; only A-Z fold.
char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

// How many characters after an entity name belong to its terminator; nothing when the name is not terminated.
std::optional<std::size_t> TerminatorLength(std::string_view rest) {
    if (rest.empty()) return 0;
    switch (rest[0]) {
    case '\0':
    case '&':
    case '<':
    case '>':
        return 0;
    case '\t':
    case ' ':
    case ';':
        return 1;
    case '\r':
        if (rest.size() > 1 && rest[1] == '\n') return 2;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

enum class TokenState { Between, Text, TagStart, Name, AfterName, BeforeValue, Quoted, Unquoted };

class TokenReader {
  public:
    explicit TokenReader(TOPALCursor& cursor) : cursor_(cursor) {}

    TOPALToken Read() {
        for (;;) {
            const std::size_t before = cursor_.Pos;
            const TOPALChar c = ReadChar(cursor_);
            if (c.AtEnd) {
                // Only blanks were left: no token was started, so this is the end itself.
                token_.AtEnd = state_ == TokenState::Between;
                return std::move(token_);
            }
            if (state_ == TokenState::Text && c.Ch == '<' && !c.FromEntity) {
                cursor_.Pos = before;
                return std::move(token_);
            }
            if (Step(c)) return std::move(token_);
        }
    }

  private:
    // Handles one character; true when it ended the tag.
    bool Step(TOPALChar c) {
        const bool markup = !c.FromEntity;
        switch (state_) {
        case TokenState::Between:
            if (c.Ch == '<' && markup) {
                token_.IsTag = true;
                state_ = TokenState::TagStart;
            } else if (!IsBlank(c.Ch)) {
                token_.Text += c.Ch;
                state_ = TokenState::Text;
            }
            return false;
        case TokenState::Text:
            token_.Text += c.Ch;
            return false;
        case TokenState::TagStart:
            if (IsBlank(c.Ch)) return false;
            if (c.Ch == '>' && markup) return EndTag();
            StartName(c.Ch);
            return false;
        case TokenState::Name:
            if (IsBlank(c.Ch)) {
                state_ = TokenState::AfterName;
            } else if (c.Ch == '=') {
                value_.clear();
                state_ = TokenState::BeforeValue;
            } else if (c.Ch == '>' && markup) {
                return EndTag();
            } else {
                name_ += c.Ch;
            }
            return false;
        case TokenState::AfterName:
            if (IsBlank(c.Ch)) return false;
            if (c.Ch == '=') {
                state_ = TokenState::BeforeValue;
                return false;
            }
            if (c.Ch == '>' && markup) return EndTag();
            // Any other character, an entity ">" included, begins the next attribute.
            Flush();
            StartName(c.Ch);
            return false;
        case TokenState::BeforeValue:
            if (IsBlank(c.Ch)) return false;
            if (c.Ch == '"' && markup) {
                state_ = TokenState::Quoted;
                return false;
            }
            if (c.Ch == '>' && markup) return EndTag();
            value_ = c.Ch;
            state_ = TokenState::Unquoted;
            return false;
        case TokenState::Quoted:
            if (c.Ch == '\t' || c.Ch == '\n' || c.Ch == '\r') {
                value_ += ' ';
            } else if (c.Ch == '"' && markup) {
                Flush();
                state_ = TokenState::TagStart;
            } else {
                value_ += c.Ch;
            }
            return false;
        case TokenState::Unquoted:
            if (IsBlank(c.Ch)) {
                Flush();
                state_ = TokenState::TagStart;
                return false;
            }
            // An entity ">" ends an unquoted value too.
            if (c.Ch == '>') return EndTag();
            value_ += c.Ch;
            return false;
        }
        return false;
    }

    void StartName(char c) {
        name_.assign(1, c);
        state_ = TokenState::Name;
    }

    void Flush() {
        if (!name_.empty()) {
            token_.Text += "\r\n";
            for (char c : name_)
                token_.Text += LowerAscii(c);
            if (!value_.empty()) {
                token_.Text += '=';
                token_.Text += value_;
            }
        }
        name_.clear();
        value_.clear();
    }

    bool EndTag() {
        Flush();
        if (token_.Text.starts_with("\r\n")) token_.Text.erase(0, 2);
        return true;
    }

    TOPALCursor& cursor_;
    TOPALToken token_;
    TokenState state_ = TokenState::Between;
    std::string name_;
    std::string value_;
};

} // namespace

TOPALChar ReadChar(TOPALCursor& cursor) {
    if (cursor.AtEnd()) return {.Ch = '\0', .FromEntity = false, .AtEnd = true};
    const char c = cursor.Text[cursor.Pos];
    if (c != '&') {
        ++cursor.Pos;
        return {.Ch = c, .FromEntity = false, .AtEnd = false};
    }
    const std::string_view rest = cursor.Text.substr(cursor.Pos + 1);
    for (const Entity& entity : kEntities) {
        if (!rest.starts_with(entity.name)) continue;
        if (const auto terminator = TerminatorLength(rest.substr(entity.name.size()))) {
            cursor.Pos += 1 + entity.name.size() + *terminator;
            return {.Ch = entity.character, .FromEntity = true, .AtEnd = false};
        }
    }
    ++cursor.Pos;
    return {.Ch = '&', .FromEntity = false, .AtEnd = false};
}

TOPALToken ReadToken(TOPALCursor& cursor) {
    if (cursor.AtEnd()) {
        TOPALToken end;
        end.AtEnd = true;
        return end;
    }
    return TokenReader(cursor).Read();
}

} // namespace hw::markup
