#include "markup/opal_stack.h"

namespace hw::markup {

TOPALElement* TOPALStack::Pop() {
    if (entries_.empty()) return nullptr;
    TOPALElement* top = entries_.back();
    entries_.pop_back();
    return top;
}

} // namespace hw::markup
