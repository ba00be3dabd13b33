// Subtrees read in order straight from the tables: one listing of subkeys open per level, resumed by name.
#include "store/sqlite/sqlite_store.h"

#include <algorithm>
#include <limits>

namespace hw::store {

namespace {

constexpr const char* kListLevel =
    "SELECT uname, name, id, link, parent FROM keys WHERE (parent, uname)>(?1, ?2) ORDER BY parent, uname";

// Resets the walk's listings however the walk ends, so none holds the database open.
class ListingsReset {
  public:
    ListingsReset(std::vector<SqliteStore::LevelListing>& levels, Statement& values)
        : levels_(levels), values_(values) {}
    ~ListingsReset() {
        for (SqliteStore::LevelListing& level : levels_) {
            level.rows.reset();
            level.running = false;
        }
        values_.reset();
    }
    ListingsReset(const ListingsReset&) = delete;
    ListingsReset& operator=(const ListingsReset&) = delete;

  private:
    std::vector<SqliteStore::LevelListing>& levels_;
    Statement& values_;
};

constexpr std::int64_t kNoMoreRows = std::numeric_limits<std::int64_t>::max();

} // namespace

void SqliteStore::WalkValues(std::int64_t key, registry::KeyVisitor& visitor) {
    walkBytes_.clear();
    walkValues_.clear();
    // Keys made together have neighbouring ids, so the listing of all values by key mostly just goes on
    // where the previous key ended; it seeks only when the walk jumps.
    if (!valuesListing_ || key < valuesFrom_ || key > valuesRowKey_) {
        walkValuesFrom_.reset();
        walkValuesFrom_.bind(1, key);
        valuesListing_ = true;
        valuesRowKey_ = walkValuesFrom_.step() ? walkValuesFrom_.integer(4) : kNoMoreRows;
    }
    // Rows come in name order; their bytes are kept once, to be handed over in creation order.
    while (valuesRowKey_ == key) {
        const std::string_view name = walkValuesFrom_.blob(0);
        const std::string_view data = walkValuesFrom_.blob(2);
        walkValues_.push_back({walkValuesFrom_.integer(3), static_cast<DWORD>(walkValuesFrom_.integer(1)),
                               walkBytes_.size(), name.size(), walkBytes_.size() + name.size(), data.size()});
        walkBytes_.append(name).append(data);
        valuesRowKey_ = walkValuesFrom_.step() ? walkValuesFrom_.integer(4) : kNoMoreRows;
    }
    valuesFrom_ = key + 1; // no rows lie between here and valuesRowKey_
    std::sort(walkValues_.begin(), walkValues_.end(),
              [](const WalkedValue& a, const WalkedValue& b) { return a.seq < b.seq; });
    const std::string_view bytes(walkBytes_);
    for (const WalkedValue& value : walkValues_)
        visitor.Value(
            {bytes.substr(value.name, value.nameSize), value.type, bytes.substr(value.data, value.dataSize)});
}

void SqliteStore::WalkSubtree(Node top, std::vector<registry::WalkLevel>& walk,
                              registry::KeyVisitor& visitor) {
    ListingsReset reset(walkLevels_, walkValuesFrom_);
    valuesListing_ = false;
    if (walk.empty()) {
        WalkValues(top, visitor);
        walk.push_back({top, 0, {}});
    }
    while (!walk.empty()) {
        const std::size_t depth = walk.size();
        if (walkLevels_.size() < depth) walkLevels_.push_back({Statement(db_.handle(), kListLevel)});
        LevelListing& level = walkLevels_[depth - 1];
        const Node parent = walk.back().node;
        if (!level.running || level.busy != parent) {
            // Like values, the subkeys of keys made together lie together: most keys go on where the level's
            // previous key ended, and a key with no subkeys is known without a seek.
            if (!level.running || parent < level.from || parent > level.rowParent) {
                level.rows.reset();
                level.rows.bind(1, parent).bindBlob(2, walk.back().after);
                level.running = true;
                level.consumed = true;
            }
            level.busy = parent;
        }
        if (level.consumed) {
            level.rowParent = level.rows.step() ? level.rows.integer(4) : kNoMoreRows;
            level.consumed = false;
        }
        if (level.rowParent != parent) {
            level.busy = 0;
            level.from = parent + 1; // no rows lie between here and rowParent
            walk.pop_back();
            continue;
        }
        level.consumed = true;
        walk.back().after.assign(level.rows.blob(0));
        Node node = level.rows.integer(2);
        if (visitor.Key(node, level.rows.blob(1), !level.rows.isNull(3), static_cast<DWORD>(depth)) ==
            registry::KeyVisitor::Visit::Skip)
            continue;
        WalkValues(node, visitor);
        walk.push_back({node, 0, {}});
        if (visitor.Pause()) return;
    }
}

} // namespace hw::store
