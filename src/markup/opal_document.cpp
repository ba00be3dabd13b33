#include "markup/opal_document.h"

#include <utility>

namespace hw::markup {

TOPALBody::TOPALBody(TOPALBody&& other) noexcept {
    *this = std::move(other);
}

TOPALBody& TOPALBody::operator=(TOPALBody&& other) noexcept {
    if (this == &other) return *this;
    BgColor = other.BgColor;
    Background = std::move(other.Background);
    Attributes = std::move(other.Attributes);
    // Moving the store keeps every element at its address, so the links stay valid.
    elements_ = std::move(other.elements_);
    Count = std::exchange(other.Count, 0);
    First = std::exchange(other.First, nullptr);
    Last = std::exchange(other.Last, nullptr);
    other.elements_.clear();
    return *this;
}

TOPALElement& TOPALBody::AppendElement(TOPALElementKind kind, TOPALElement* parent) {
    TOPALElement& element = elements_.emplace_back();
    element.Kind = kind;
    element.Parent = parent;
    TOPALElement*& first = parent ? parent->FirstChild : First;
    TOPALElement*& last = parent ? parent->LastChild : Last;
    element.Prev = last;
    if (last)
        last->Next = &element;
    else
        first = &element;
    last = &element;
    if (parent) ++parent->ChildCount;
    ++Count;
    return element;
}

void TOPALBody::ClearElements() {
    elements_.clear();
    Count = 0;
    First = nullptr;
    Last = nullptr;
}

TOPALElement* NextInDocumentOrder(const TOPALElement& element) {
    if (element.FirstChild) return element.FirstChild;
    for (const TOPALElement* at = &element; at; at = at->Parent)
        if (at->Next) return at->Next;
    return nullptr;
}

} // namespace hw::markup
