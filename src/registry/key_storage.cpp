#include "registry/key_storage.h"

namespace hw::registry {

void KeyStorage::SetValues(Node node, std::span<const platform::ValueWrite> values) {
    for (const platform::ValueWrite& value : values)
        SetValue(node, value.name, value.type, value.data);
}

void KeyStorage::WalkSubtree(Node top, std::vector<WalkLevel>& walk, KeyVisitor& visitor) {
    const auto visitValues = [&](Node node) {
        ValueView value;
        for (DWORD index = 0; ValueAt(node, index, value); ++index)
            visitor.Value(value);
    };
    if (walk.empty()) {
        visitValues(top);
        walk.push_back({top, 0, {}});
    }
    std::string name;
    while (!walk.empty()) {
        WalkLevel& level = walk.back();
        std::string_view listed;
        // A key gone with a reload between two calls (node 0) takes its subtree along.
        if (!level.node || !ChildAt(level.node, level.next++, listed)) {
            walk.pop_back();
            continue;
        }
        name.assign(listed); // the listing may not outlive the next call
        const ChildRef child = Child(level.node, name);
        Node node = child.node;
        if (!node ||
            visitor.Key(node, name, child.link, static_cast<DWORD>(walk.size())) == KeyVisitor::Visit::Skip)
            continue;
        visitValues(node);
        walk.push_back({node, 0, {}});
        if (visitor.Pause()) return;
    }
}

} // namespace hw::registry
