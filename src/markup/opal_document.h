// The in-memory model of an OPAL page: head texts, body attributes and the tree of page elements.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace hw::markup {

// A colour in the 0x00BBGGRR layout (red in the low byte).
using TColor = std::uint32_t;

enum TOPALElementKind : std::uint8_t { ekLabel = 0, ekPanel = 1, ekSubmit = 2, ekImage = 3, ekInput = 4 };

struct TOPALElement {
    TOPALElementKind Kind = ekLabel;
    std::int32_t ChildCount = 0;
    TOPALElement* Parent = nullptr;
    TOPALElement* FirstChild = nullptr;
    TOPALElement* LastChild = nullptr;
    TOPALElement* Prev = nullptr;
    TOPALElement* Next = nullptr;
    // The renderer's control for this element; the model never looks at it.
    void* Control = nullptr;
    std::string Name;
    std::string Value;
    // For inputs: one "text=value" line per option, in document order.
    std::vector<std::string> Items;
    std::string Attributes;
};

// The body owns every element of its tree; the links between elements are plain references into that store,
// so freeing a tree of any depth or length never recurses.
class TOPALBody {
  public:
    TOPALBody() = default;
    TOPALBody(const TOPALBody&) = delete;
    TOPALBody& operator=(const TOPALBody&) = delete;
    TOPALBody(TOPALBody&& other) noexcept;
    TOPALBody& operator=(TOPALBody&& other) noexcept;

    TColor BgColor = 0;
    std::string Background;
    std::string Attributes;
    std::int32_t Count = 0;
    TOPALElement* First = nullptr;
    TOPALElement* Last = nullptr;

    // Creates an element of the kind at the end of parent's children (or of the top-level list when parent is
    // null) and counts it.
    TOPALElement& AppendElement(TOPALElementKind kind, TOPALElement* parent);
    // Frees every element; the list and the count become empty.
    void ClearElements();

  private:
    std::deque<TOPALElement> elements_;
};

struct TOPALDocument {
    std::string Title;
    std::string Version;
    std::string Copyright;
    std::string Author;
    TOPALBody Body;
    std::string Content;
};

// The element after this one in document order (depth first: children before the next sibling); null after
// the last. Iterative, so a deeply nested page cannot exhaust the call stack.
TOPALElement* NextInDocumentOrder(const TOPALElement& element);

} // namespace hw::markup
