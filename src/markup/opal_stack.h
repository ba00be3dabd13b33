// The open panels and inputs during one parse; the top is the parent of new elements.
#pragma once

#include "markup/opal_document.h"

#include <cstdint>
#include <vector>

namespace hw::markup {

// What TopKind reports when nothing is open.
inline constexpr std::uint8_t kNoOpenElement = 5;

// Holds references only; the body owns the elements.
class TOPALStack {
  public:
    void Push(TOPALElement& element) { entries_.push_back(&element); }
    // The top element, removed; null when empty.
    TOPALElement* Pop();
    TOPALElement* Top() const { return entries_.empty() ? nullptr : entries_.back(); }
    std::uint8_t TopKind() const {
        return entries_.empty() ? kNoOpenElement : std::uint8_t{entries_.back()->Kind};
    }
    std::size_t Count() const { return entries_.size(); }

  private:
    std::vector<TOPALElement*> entries_;
};

} // namespace hw::markup
