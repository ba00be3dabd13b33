// Subtrees read in order straight from the tables: one listing of subkeys open per level, resumed by name.
#include "store/sqlite/sqlite_store.h"

#include <algorithm>

namespace hw::store {

namespace {

constexpr const char* kListLevel =
    "SELECT uname, name, id, link FROM keys WHERE parent=?1 AND uname>?2 ORDER BY uname";

// Resets the walk's listings however the walk ends, so none holds the database open.
class LevelsReset {
  public:
    explicit LevelsReset(std::vector<Statement>& levels) : levels_(levels) {}
    ~LevelsReset() {
        for (Statement& level : levels_)
            level.reset();
    }
    LevelsReset(const LevelsReset&) = delete;
    LevelsReset& operator=(const LevelsReset&) = delete;

  private:
    std::vector<Statement>& levels_;
};

} // namespace

void SqliteStore::WalkValues(std::int64_t key, registry::KeyVisitor& visitor) {
    walkBytes_.clear();
    walkValues_.clear();
    {
        // Rows come in name order; their bytes are kept once, to be handed over in creation order.
        ResetGuard guard(listValues_);
        listValues_.bind(1, key);
        while (listValues_.step()) {
            const std::string_view name = listValues_.blob(0);
            const std::string_view data = listValues_.blob(2);
            walkValues_.push_back({listValues_.integer(3), static_cast<DWORD>(listValues_.integer(1)),
                                   walkBytes_.size(), name.size(), walkBytes_.size() + name.size(),
                                   data.size()});
            walkBytes_.append(name).append(data);
        }
    }
    std::sort(walkValues_.begin(), walkValues_.end(),
              [](const WalkedValue& a, const WalkedValue& b) { return a.seq < b.seq; });
    const std::string_view bytes(walkBytes_);
    for (const WalkedValue& value : walkValues_)
        visitor.Value(
            {bytes.substr(value.name, value.nameSize), value.type, bytes.substr(value.data, value.dataSize)});
}

void SqliteStore::WalkSubtree(Node top, std::vector<registry::WalkLevel>& walk,
                              registry::KeyVisitor& visitor) {
    if (walk.empty()) {
        WalkValues(top, visitor);
        walk.push_back({top, 0, {}});
    }
    LevelsReset reset(walkLevels_);
    // The levels from lowest to highest have their listing running in this call; none at first.
    std::size_t lowest = walk.size() + 1, highest = 0;
    while (!walk.empty()) {
        const std::size_t depth = walk.size();
        if (walkLevels_.size() < depth) walkLevels_.emplace_back(db_.handle(), kListLevel);
        Statement& level = walkLevels_[depth - 1];
        if (depth < lowest || depth > highest) {
            level.reset();
            level.bind(1, walk.back().node).bindBlob(2, walk.back().after);
            lowest = std::min(lowest, depth);
            highest = depth;
        }
        if (!level.step()) {
            walk.pop_back();
            highest = depth - 1;
            continue;
        }
        walk.back().after.assign(level.blob(0));
        Node node = level.integer(2);
        if (visitor.Key(node, level.blob(1), !level.isNull(3), static_cast<DWORD>(depth)) ==
            registry::KeyVisitor::Visit::Skip)
            continue;
        WalkValues(node, visitor);
        walk.push_back({node, 0, {}});
        if (visitor.Pause()) return;
    }
}

} // namespace hw::store
