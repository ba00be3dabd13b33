#include "store/sqlite/sqlite_walk.h"

#include "store/sqlite/rising_queue.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace hw::store {

namespace {

constexpr const char* kListLevel =
    "SELECT uname, name, id, link, parent FROM keys WHERE (parent, uname)>(?1, ?2) ORDER BY parent, uname";
// Values by key, with their data or the row of blobs that holds it (a column fewer to read); a database of
// the earlier layout keeps all data in vals.
constexpr const char* kValuesFrom[] = {
    "SELECT key, seq, type, name, data FROM vals WHERE key>=?1 ORDER BY key",
    "SELECT key, seq, type, name, ifnull(big, data) FROM vals WHERE key>=?1 ORDER BY key"};
// The values of many keys at once: the keys' ids in ranges, so each range costs one seek. The plan is fixed
// (the ranges in their order, each one's rows by key), so rows come in key order.
constexpr const char* kValuesInRanges[] = {
    "SELECT v.key, v.seq, v.type, v.name, v.data FROM id_ranges(?1) r CROSS JOIN vals v "
    "ON v.key BETWEEN r.first AND r.last",
    "SELECT v.key, v.seq, v.type, v.name, ifnull(v.big, v.data) FROM id_ranges(?1) r CROSS JOIN vals v "
    "ON v.key BETWEEN r.first AND r.last"};
constexpr std::int64_t kNoMoreRows = std::numeric_limits<std::int64_t>::max();
constexpr std::uint32_t kNoDepth = std::numeric_limits<std::uint32_t>::max();

// Values are read ahead for this many keys of the walk, up to this many bytes.
constexpr std::size_t kKeysAhead = 4096;
constexpr std::size_t kBytesAhead = 1 << 20;
// Up to this many rows a range, a batch is read with a join; beyond, with a cursor that steps.
constexpr double kJoinedRowsPerRange = 20.0;
// Larger subtrees are walked level by level, so memory stays bounded (about 40 bytes a key).
constexpr std::size_t kMostTreeKeys = std::size_t{1} << 21;
// The registry refuses deeper keys; a store made by hand may still hold them.
constexpr std::uint32_t kDeepestTreeKey = 0xFFFF;

} // namespace

OrderedWalk::OrderedWalk(sqlite3* db, bool largeDataApart)
    : db_(db), apart_(largeDataApart),
      treeFrom_(db, "SELECT parent, name, id, link FROM keys WHERE parent>=?1 ORDER BY parent, uname"),
      valuesStepping_(db, kValuesFrom[largeDataApart]), valuesByKey_(db, kValuesFrom[largeDataApart]),
      unameOf_(db, "SELECT uname FROM keys WHERE id=?1") {
    RegisterIdRanges(db);
    valuesJoined_ = Statement(db, kValuesInRanges[largeDataApart]);
    // Large data is read on its own when handed over, so rows read ahead stay small.
    if (apart_) blob_ = Statement(db, "SELECT data FROM blobs WHERE id=?1");
}

void OrderedWalk::ResetListings() {
    for (LevelListing& level : walkLevels_) {
        level.rows.reset();
        level.running = false;
    }
    treeFrom_.reset();
    valuesJoined_.reset();
    valuesStepping_.reset();
    valuesByKey_.reset();
    unameOf_.reset();
    if (apart_) blob_.reset();
}

void OrderedWalk::Walk(registry::Node top, std::vector<registry::WalkLevel>& walk,
                       registry::KeyVisitor& visitor, const Stamp& stamp) {
    // However the call ends, no listing keeps the database open.
    struct Resetter {
        OrderedWalk& walk;
        ~Resetter() { walk.ResetListings(); }
    } resetter{*this};
    valuesListing_ = false;
    if (walk.empty()) {
        owner_ = &walk;
        top_ = top;
        stamp_ = stamp;
        mode_ = LoadTree(top) ? Mode::Tree : Mode::Listings;
        WalkValues(top, visitor);
        walk.push_back({top, 0, {}});
    } else if (owner_ == &walk && (top_ != top || stamp_ != stamp)) {
        // What was read may no longer hold.
        mode_ = Mode::Listings;
    }
    // What was read belongs to this walk only.
    if (mode_ == Mode::Tree && owner_ == &walk && WalkTree(walk, visitor)) return;
    WalkListings(walk, visitor);
}

// ---- the whole subtree read ahead

void OrderedWalk::Advance(Statement& listing, Cursor& cursor, std::int64_t id) {
    // Rows of keys in between are skipped with a seek: stepping over even one costs more.
    if (!cursor.started || id < cursor.floor || cursor.row < id) {
        listing.reset();
        listing.bind(1, id);
        cursor.started = true;
        Step(listing, cursor);
    }
    cursor.floor = id;
}

void OrderedWalk::Step(Statement& listing, Cursor& cursor) {
    cursor.row = listing.step() ? listing.integer(0) : Cursor::kNoRow;
}

bool OrderedWalk::LoadTree(registry::Node top) {
    tree_.clear();
    treeText_.clear();
    // Keys as listed: each parent's subkeys together, in name order.
    struct Listed {
        TreeKey key;
        std::uint32_t first = 0, count = 0; // its subkeys
    };
    std::vector<Listed> listed{{{top, 0, 0, 0, 0, false}}};
    struct Parent {
        std::uint32_t index = 0; // in listed
        std::uint16_t depth = 0;
    };
    // Parents are listed in id order: a key made after its parent has the higher id, so the listing mostly
    // runs on without seeking. A store where a subkey has the lower id is walked by listings.
    RisingQueue<Parent> pending;
    pending.push(static_cast<std::uint64_t>(top), {});
    Cursor cursor;
    while (!pending.empty()) {
        const auto [rawId, parent] = pending.pop();
        const auto id = static_cast<std::int64_t>(rawId);
        Advance(treeFrom_, cursor, id);
        if (cursor.row != id) continue;
        const auto first = static_cast<std::uint32_t>(listed.size());
        const std::uint32_t depth = parent.depth + 1u;
        if (depth > kDeepestTreeKey) return false;
        while (cursor.row == id) {
            const std::string_view name = treeFrom_.blob(1);
            const bool link = !treeFrom_.isNull(3);
            const std::int64_t child = treeFrom_.integer(2);
            listed.push_back(
                {{child, parent.index, static_cast<std::uint32_t>(treeText_.size()),
                  static_cast<std::uint32_t>(name.size()), static_cast<std::uint16_t>(depth), link}});
            treeText_.append(name);
            if (!link && !pending.push(static_cast<std::uint64_t>(child),
                                       {static_cast<std::uint32_t>(listed.size() - 1),
                                        static_cast<std::uint16_t>(depth)}))
                return false;
            Step(treeFrom_, cursor);
        }
        if (listed.size() > kMostTreeKeys || treeText_.size() > std::numeric_limits<std::uint32_t>::max() / 2)
            return false;
        listed[parent.index].first = first;
        listed[parent.index].count = static_cast<std::uint32_t>(listed.size()) - first;
    }
    treeFrom_.reset();
    // Kept in walk order, parents pointing at places in it, so the walk and its read-ahead run through memory
    // front to back.
    tree_.reserve(listed.size());
    std::vector<std::pair<std::uint32_t, std::uint32_t>> stack{{0, 0}}; // a listed key and its parent's place
    while (!stack.empty()) {
        const auto [index, parent] = stack.back();
        stack.pop_back();
        const Listed& entry = listed[index];
        // The next sibling's subkeys come after this key's subtree, and lie elsewhere: fetched meanwhile.
        if (index + 1 < listed.size() && listed[index + 1].count)
            __builtin_prefetch(&listed[listed[index + 1].first]);
        const auto place = static_cast<std::uint32_t>(tree_.size());
        tree_.emplace_back(entry.key).parent = parent;
        for (std::uint32_t child = entry.first + entry.count; child > entry.first; --child)
            stack.emplace_back(child - 1, place);
    }
    position_ = 1; // the top comes first
    aheadEnd_ = position_;
    return true;
}

bool OrderedWalk::WalkTree(std::vector<registry::WalkLevel>& walk, registry::KeyVisitor& visitor) {
    std::uint32_t skipped = kNoDepth; // the depth of a key left out: its subtree is left out too
    while (position_ < tree_.size()) {
        const auto at = static_cast<std::uint32_t>(position_++);
        const TreeKey& key = tree_[at];
        if (key.depth > skipped) continue;
        skipped = kNoDepth;
        registry::Node node = key.id;
        const std::string_view name = std::string_view(treeText_).substr(key.text, key.nameSize);
        if (visitor.Key(node, name, key.link, key.depth) == registry::KeyVisitor::Visit::Skip) {
            skipped = key.depth;
            continue;
        }
        if (node != key.id || key.link) {
            // Where a link leads lies outside what was read: the walk goes on by listings.
            Describe(at, walk);
            walk.back().node = node;
            mode_ = Mode::Listings;
            WalkValues(node, visitor);
            return visitor.Pause();
        }
        HandTreeValues(at, visitor);
        if (visitor.Pause()) {
            Describe(at, walk);
            return true;
        }
    }
    walk.clear();
    return true;
}

void OrderedWalk::Describe(std::uint32_t index, std::vector<registry::WalkLevel>& walk) {
    walk.resize(tree_[index].depth + 1);
    walk.back().node = tree_[index].id;
    walk.back().after.clear();
    for (std::uint32_t at = index; at != 0; at = tree_[at].parent) {
        registry::WalkLevel& level = walk[tree_[at].depth - 1];
        level.node = tree_[tree_[at].parent].id;
        unameOf_.reset();
        unameOf_.bind(1, tree_[at].id);
        level.after.assign(unameOf_.step() ? unameOf_.blob(0) : std::string_view());
    }
    unameOf_.reset();
}

void OrderedWalk::ReadValuesAhead() {
    const std::size_t first = position_ - 1;
    const std::size_t end = std::min(tree_.size(), first + kKeysAhead);
    ahead_.keys.clear();
    ahead_.ranges.clear();
    ahead_.rows.clear();
    ahead_.bytes.clear();
    ahead_.spans.assign(end - first, kNotRead);
    for (std::size_t at = first; at < end; ++at)
        if (const TreeKey& key = tree_[at]; !key.link)
            ahead_.keys.emplace_back(key.id, static_cast<std::uint32_t>(at - first));
    std::sort(ahead_.keys.begin(), ahead_.keys.end());
    for (const auto& [id, offset] : ahead_.keys) {
        if (!ahead_.ranges.empty() && id <= ahead_.ranges.back().last + 1)
            ahead_.ranges.back().last = id;
        else
            ahead_.ranges.push_back({id, id});
    }
    // A join seeks for less than a reset of a statement costs, but it compares every row it reads with its
    // range's end: it pays where ranges hold few rows, as the batch before suggests.
    const double rowsPerRange =
        ahead_.ranges.empty() ? 0.0
                              : rowsPerKey_ * static_cast<double>(ahead_.keys.size()) / ahead_.ranges.size();
    const std::size_t keysRead = rowsPerRange <= kJoinedRowsPerRange ? ReadJoined() : ReadStepping();
    if (keysRead) rowsPerKey_ = static_cast<double>(ahead_.rows.size()) / static_cast<double>(keysRead);
    aheadBegin_ = first;
    aheadEnd_ = end;
}

std::size_t OrderedWalk::ReadJoined() {
    BindIdRanges(valuesJoined_, 1, ahead_.ranges);
    std::size_t next = 0; // the first key in keys not given its rows yet
    const auto noRowsUpTo = [&](std::int64_t id) {
        for (; next < ahead_.keys.size() && ahead_.keys[next].first < id; ++next)
            ahead_.spans[ahead_.keys[next].second] = Span(ahead_.rows.size(), ahead_.rows.size());
    };
    Cursor rows; // its key column read once a row
    Step(valuesJoined_, rows);
    while (rows.row != Cursor::kNoRow) {
        const std::int64_t id = rows.row;
        noRowsUpTo(id);
        if (next == ahead_.keys.size() || ahead_.keys[next].first != id) {
            // Rows out of key order would be a plan other than the one above: nothing read is trusted then,
            // and each key is read on its own.
            ahead_.spans.assign(ahead_.spans.size(), kNotRead);
            next = 0;
            break;
        }
        // Keys past the limit are read on their own when reached.
        if (ahead_.bytes.size() >= kBytesAhead) break;
        const auto begin = static_cast<std::uint32_t>(ahead_.rows.size());
        for (; rows.row == id; Step(valuesJoined_, rows))
            AppendRow(valuesJoined_, ahead_.rows, ahead_.bytes);
        ahead_.spans[ahead_.keys[next++].second] = {begin, static_cast<std::uint32_t>(ahead_.rows.size())};
    }
    if (rows.row == Cursor::kNoRow) noRowsUpTo(kNoMoreRows);
    valuesJoined_.reset();
    return next;
}

std::size_t OrderedWalk::ReadStepping() {
    Cursor cursor;
    std::size_t read = 0;
    for (const auto& [id, offset] : ahead_.keys) {
        // Keys past the limit are read on their own when reached.
        if (ahead_.bytes.size() >= kBytesAhead) break;
        const auto begin = static_cast<std::uint32_t>(ahead_.rows.size());
        Advance(valuesStepping_, cursor, id);
        for (; cursor.row == id; Step(valuesStepping_, cursor))
            AppendRow(valuesStepping_, ahead_.rows, ahead_.bytes);
        ahead_.spans[offset] = {begin, static_cast<std::uint32_t>(ahead_.rows.size())};
        ++read;
    }
    valuesStepping_.reset();
    return read;
}

void OrderedWalk::AppendRow(const Statement& listing, std::vector<ValueRow>& rows, std::string& bytes) {
    ValueRow& row = rows.emplace_back();
    row.seq = listing.integer(1);
    row.type = static_cast<DWORD>(listing.integer(2));
    const std::string_view name = listing.blob(3);
    sqlite3_value* const stored = listing.value(4);
    std::string_view data;
    if (sqlite3_value_type(stored) == SQLITE_INTEGER)
        row.big = sqlite3_value_int64(stored);
    else
        data = Statement::BlobOf(stored);
    row.name = bytes.size();
    row.nameSize = name.size();
    row.data = row.name + name.size();
    row.dataSize = data.size();
    bytes.append(name).append(data);
}

std::string_view OrderedWalk::BigData(std::int64_t row) {
    blob_.reset();
    blob_.bind(1, row);
    return blob_.step() ? blob_.blob(0) : std::string_view();
}

void OrderedWalk::HandTreeValues(std::size_t at, registry::KeyVisitor& visitor) {
    if (at >= aheadEnd_) ReadValuesAhead();
    const Span span = ahead_.spans[at - aheadBegin_];
    if (span == kNotRead)
        WalkValues(tree_[at].id, visitor);
    else
        HandOver(ahead_.rows, span.first, span.second, ahead_.bytes, visitor);
}

void OrderedWalk::HandOver(const std::vector<ValueRow>& rows, std::size_t begin, std::size_t end,
                           std::string_view bytes, registry::KeyVisitor& visitor) {
    const auto handOver = [&](const ValueRow& row) {
        const std::string_view data = row.big ? BigData(row.big) : bytes.substr(row.data, row.dataSize);
        visitor.Value({bytes.substr(row.name, row.nameSize), row.type, data});
    };
    const auto bySeq = [](const ValueRow& a, const ValueRow& b) { return a.seq < b.seq; };
    // Rows come in name order; values go out in creation order, which is often the same.
    if (std::is_sorted(rows.begin() + begin, rows.begin() + end, bySeq)) {
        for (std::size_t i = begin; i < end; ++i)
            handOver(rows[i]);
        return;
    }
    order_.clear();
    for (std::size_t i = begin; i < end; ++i)
        order_.push_back(&rows[i]);
    std::sort(order_.begin(), order_.end(),
              [&](const ValueRow* a, const ValueRow* b) { return bySeq(*a, *b); });
    for (const ValueRow* row : order_)
        handOver(*row);
}

// ---- level by level, from where the walk stands

void OrderedWalk::WalkValues(std::int64_t key, registry::KeyVisitor& visitor) {
    oneKey_.clear();
    oneKeyBytes_.clear();
    // Keys made together have neighbouring ids, so the listing of all values by key mostly just goes on
    // where the previous key ended; it seeks only when the walk jumps.
    if (!valuesListing_ || key < valuesFrom_ || key > valuesRowKey_) {
        valuesByKey_.reset();
        valuesByKey_.bind(1, key);
        valuesListing_ = true;
        valuesRowKey_ = valuesByKey_.step() ? valuesByKey_.integer(0) : kNoMoreRows;
    }
    while (valuesRowKey_ == key) {
        AppendRow(valuesByKey_, oneKey_, oneKeyBytes_);
        valuesRowKey_ = valuesByKey_.step() ? valuesByKey_.integer(0) : kNoMoreRows;
    }
    valuesFrom_ = key + 1; // no rows lie between here and valuesRowKey_
    HandOver(oneKey_, 0, oneKey_.size(), oneKeyBytes_, visitor);
}

void OrderedWalk::WalkListings(std::vector<registry::WalkLevel>& walk, registry::KeyVisitor& visitor) {
    while (!walk.empty()) {
        const std::size_t depth = walk.size();
        while (walkLevels_.size() < depth)
            walkLevels_.push_back({Statement(db_, kListLevel)});
        LevelListing& level = walkLevels_[depth - 1];
        const registry::Node parent = walk.back().node;
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
        registry::Node node = level.rows.integer(2);
        if (visitor.Key(node, level.rows.blob(1), !level.rows.isNull(3), static_cast<DWORD>(depth)) ==
            registry::KeyVisitor::Visit::Skip)
            continue;
        WalkValues(node, visitor);
        walk.push_back({node, 0, {}});
        if (visitor.Pause()) return;
    }
}

} // namespace hw::store
