// The main window's two clipboards, kept for the run: one copied key, and copied values newest first.
// The search results window fills them too.
#pragma once

#include "platform/winreg.h"

#include <forward_list>
#include <string>
#include <vector>

namespace hw::app {

struct TValueCopyData {
    DWORD type = 0;
    std::string name; // empty for a default value
    std::string data; // the record's data text: string, unsigned decimal or spaced hex bytes
    // Type 7 only: every string of the value (data holds the first); empty means data is the only one.
    std::vector<std::string> strings;
};

class ValueClipboard {
  public:
    void Empty() { entries_.clear(); }
    // A new entry of type 0 with empty texts at the front, for the caller to fill.
    TValueCopyData& AddEntry() { return entries_.emplace_front(); }
    bool IsEmpty() const { return entries_.empty(); }
    // From the front (the newest entry) on.
    const std::forward_list<TValueCopyData>& Entries() const { return entries_; }

  private:
    std::forward_list<TValueCopyData> entries_;
};

struct KeyClipboard {
    std::string path;
    bool copied = false;

    void Set(const std::string& keyPath) {
        path = keyPath;
        copied = true;
    }
};

} // namespace hw::app
