#include "markup/opal_parser.h"

#include "markup/opal_attributes.h"
#include "markup/opal_stack.h"
#include "markup/opal_tokenizer.h"
#include "markup/opal_values.h"

#include <string>
#include <utility>
#include <vector>

namespace hw::markup {

namespace {

constexpr TColor kDefaultBgColor = 0xFFFFFF;

enum class ParseState { Outside, Head, Title, Version, Copyright, Author, AfterHead, Body };

bool TagIs(const TOPALToken& token, std::string_view keyword) {
    return token.IsTag && token.Text == keyword;
}
bool TagBeginsWith(const TOPALToken& token, std::string_view keyword) {
    return token.IsTag && token.Text.starts_with(keyword);
}

class DocumentParser {
  public:
    explicit DocumentParser(TOPALDocument& document) : document_(document), body_(document.Body) {}

    void Run(TOPALCursor cursor) {
        for (;;) {
            TOPALToken token = ReadToken(cursor);
            if (token.AtEnd || !Consume(token)) return;
        }
    }

  private:
    // False when parsing stops.
    bool Consume(TOPALToken& token) {
        switch (state_) {
        case ParseState::Outside:
            if (TagIs(token, "opal")) state_ = ParseState::Head;
            return !TagIs(token, "/opal");
        case ParseState::Head:
            HeadToken(token);
            return true;
        case ParseState::Title:
            HeadItemToken(token, "/title", document_.Title);
            return true;
        case ParseState::Version:
            HeadItemToken(token, "/version", document_.Version);
            return true;
        case ParseState::Copyright:
            HeadItemToken(token, "/copyright", document_.Copyright);
            return true;
        case ParseState::Author:
            HeadItemToken(token, "/author", document_.Author);
            return true;
        case ParseState::AfterHead:
            AfterHeadToken(token);
            return true;
        case ParseState::Body:
            BodyToken(token);
            return true;
        }
        return true;
    }

    void HeadToken(const TOPALToken& token) {
        if (TagIs(token, "title"))
            state_ = ParseState::Title;
        else if (TagIs(token, "version"))
            state_ = ParseState::Version;
        else if (TagIs(token, "copyright"))
            state_ = ParseState::Copyright;
        else if (TagIs(token, "author"))
            state_ = ParseState::Author;
        else if (TagIs(token, "/head"))
            state_ = ParseState::AfterHead;
    }

    void HeadItemToken(const TOPALToken& token, std::string_view closingTag, std::string& text) {
        if (TagIs(token, closingTag))
            state_ = ParseState::Head;
        else
            text += token.Text;
    }

    void AfterHeadToken(TOPALToken& token) {
        if (TagBeginsWith(token, "body")) {
            body_.BgColor = ColorValue(TakeAttribute(token.Text, "bgcolor"), kDefaultBgColor);
            body_.Background = TakeAttribute(token.Text, "background");
            body_.Attributes = std::move(token.Text);
            state_ = ParseState::Body;
        } else if (TagIs(token, "/body")) {
            state_ = ParseState::Outside;
        }
    }

    void BodyToken(TOPALToken& token) {
        // A tag without a name carries nothing to show.
        if (token.IsTag && token.Text.empty()) return;
        switch (stack_.TopKind()) {
        case ekInput:
            InputContentToken(token);
            return;
        case ekPanel:
            if (TagBeginsWith(token, "/panel"))
                stack_.Pop();
            else if (!OpenElement(token, stack_.Top()))
                AddTextLabel(std::move(token.Text), stack_.Top());
            return;
        default:
            if (TagBeginsWith(token, "/body"))
                state_ = ParseState::Outside;
            else if (!OpenElement(token, nullptr))
                AddTextLabel(std::move(token.Text), nullptr);
            return;
        }
    }

    // Text, or a tag that is not an element, shown as it was read.
    void AddTextLabel(std::string text, TOPALElement* parent) {
        body_.AppendElement(ekLabel, parent).Value = std::move(text);
    }

    // Creates the element a tag opens; false when the tag opens none.
    bool OpenElement(TOPALToken& token, TOPALElement* parent) {
        if (TagBeginsWith(token, "panel")) {
            stack_.Push(AddElement(ekPanel, token, parent, "value"));
        } else if (TagBeginsWith(token, "input")) {
            stack_.Push(AddElement(ekInput, token, parent, "value"));
            inputText_.clear();
            optionLines_.clear();
        } else if (TagBeginsWith(token, "img")) {
            AddElement(ekImage, token, parent, "src");
        } else if (TagBeginsWith(token, "submit")) {
            AddElement(ekSubmit, token, parent, "value");
        } else if (TagBeginsWith(token, "label")) {
            AddElement(ekLabel, token, parent, "value");
        } else {
            return false;
        }
        return true;
    }

    TOPALElement& AddElement(TOPALElementKind kind, TOPALToken& token, TOPALElement* parent,
                             std::string_view valueAttribute) {
        TOPALElement& element = body_.AppendElement(kind, parent);
        element.Name = TakeAttribute(token.Text, "name");
        element.Value = TakeAttribute(token.Text, valueAttribute);
        element.Attributes = std::move(token.Text);
        return element;
    }

    void InputContentToken(TOPALToken& token) {
        if (TagBeginsWith(token, "/input")) {
            TOPALElement& input = *stack_.Pop();
            if (input.Value.empty()) input.Value = std::move(inputText_);
            input.Items = std::move(optionLines_);
            inputText_.clear();
            optionLines_.clear();
        } else if (TagBeginsWith(token, "option")) {
            std::string line = TakeAttribute(token.Text, "text");
            line += '=';
            line += TakeAttribute(token.Text, "value");
            optionLines_.push_back(std::move(line));
        } else {
            inputText_ += token.Text;
        }
    }

    TOPALDocument& document_;
    TOPALBody& body_;
    ParseState state_ = ParseState::Outside;
    TOPALStack stack_;
    // Only one input is ever open: inside an input no element is created.
    std::string inputText_;
    std::vector<std::string> optionLines_;
};

} // namespace

void ParseDocument(TOPALDocument& document, std::string_view source) {
    if (source.empty()) return;
    document.Body.ClearElements();
    document.Content.assign(source);
    DocumentParser(document).Run(TOPALCursor{document.Content});
}

} // namespace hw::markup
