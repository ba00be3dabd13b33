// Subtrees read in order straight from the tables. A walk first reads the keys of the whole subtree in one
// pass in id order (a key's subkeys have higher ids than the key, and keys made together lie together), so
// it never seeks per key; values are read ahead for many keys at a time, in id order too. When the database
// changed between two calls of a walk, or the walk follows a link, it goes on by listing each level from
// the last key handed over, as the keys now stand.
#pragma once

#include "registry/key_storage.h"
#include "store/sqlite/id_ranges.h"
#include "store/sqlite/sqlite_db.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hw::store {

class OrderedWalk {
  public:
    // Changes whenever the database may have changed.
    using Stamp = std::array<std::uint64_t, 3>;

    // largeDataApart: the database keeps large value data in blobs.
    OrderedWalk(sqlite3* db, bool largeDataApart);
    // See registry::KeyStorage::WalkSubtree.
    void Walk(registry::Node top, std::vector<registry::WalkLevel>& walk, registry::KeyVisitor& visitor,
              const Stamp& stamp);

  private:
    struct TreeKey {
        std::int64_t id = 0;
        std::uint32_t parent = 0; // its parent's place
        std::uint32_t text = 0;   // its name in treeText_
        std::uint32_t nameSize = 0;
        std::uint16_t depth = 0;
        bool link = false;
    };
    struct ValueRow {
        std::int64_t seq = 0;
        std::int64_t big = 0; // its data's row in blobs; 0 when the data is in the row
        DWORD type = 0;
        std::size_t name = 0, nameSize = 0, data = 0, dataSize = 0;
    };
    // Rows of one key: from first to second.
    using Span = std::pair<std::uint32_t, std::uint32_t>;
    static constexpr Span kNotRead{1, 0};
    // The values of keys read ahead.
    struct ReadAhead {
        std::vector<std::pair<std::int64_t, std::uint32_t>> keys; // id and its place past aheadBegin_
        std::vector<IdRange> ranges;                              // of the keys' ids
        std::vector<Span> spans;                                  // by place past aheadBegin_
        std::vector<ValueRow> rows;                               // in id order of the keys
        std::string bytes;
    };
    // A walk's listing of keys by parent, for one level of the walk.
    struct LevelListing {
        Statement rows;
        bool running = false;    // bound in this call of the walk
        bool consumed = false;   // the row it stands at was handed over: step first
        registry::Node busy = 0; // the key whose subkeys it lists now
        std::int64_t from = 0;   // no keys have parents from here to rowParent
        std::int64_t rowParent = 0;
    };

    // The whole subtree, read ahead; false when it is too large to keep.
    bool LoadTree(registry::Node top);
    // False when the walk must go on by listings.
    bool WalkTree(std::vector<registry::WalkLevel>& walk, registry::KeyVisitor& visitor);
    // Makes walk stand where the tree walk stands, the key at index just entered.
    void Describe(std::uint32_t index, std::vector<registry::WalkLevel>& walk);
    void ReadValuesAhead();
    // Read the batch's rows, with a join over its ranges or with a cursor from range to range; each gives
    // how many keys, in id order, it read.
    std::size_t ReadJoined();
    std::size_t ReadStepping();
    // Hands over the values of the key at place at in tree_.
    void HandTreeValues(std::size_t at, registry::KeyVisitor& visitor);
    // A listing ordered by its first column, moved forward as ids grow: it seeks only past a gap.
    struct Cursor {
        static constexpr std::int64_t kNoRow = std::numeric_limits<std::int64_t>::max();
        bool started = false;
        std::int64_t floor = 0;    // no rows lie from here to the row it stands at
        std::int64_t row = kNoRow; // the first column of the row it stands at, read once
    };
    // Moves the listing to the first row at or past id.
    static void Advance(Statement& listing, Cursor& cursor, std::int64_t id);
    static void Step(Statement& listing, Cursor& cursor);

    void WalkListings(std::vector<registry::WalkLevel>& walk, registry::KeyVisitor& visitor);
    // Hands over a key's values in creation order.
    void WalkValues(std::int64_t key, registry::KeyVisitor& visitor);
    static void AppendRow(const Statement& listing, std::vector<ValueRow>& rows, std::string& bytes);
    // The view holds until the next call.
    std::string_view BigData(std::int64_t row);
    void HandOver(const std::vector<ValueRow>& rows, std::size_t begin, std::size_t end,
                  std::string_view bytes, registry::KeyVisitor& visitor);
    void ResetListings();

    sqlite3* db_;
    bool apart_;
    Statement treeFrom_, valuesJoined_, valuesStepping_, valuesByKey_, unameOf_, blob_;

    // Where a walk stands and whether what it read still holds.
    enum class Mode { Tree, Listings };
    Mode mode_ = Mode::Listings;
    const void* owner_ = nullptr;
    registry::Node top_ = 0;
    Stamp stamp_{};

    std::vector<TreeKey> tree_; // the subtree in walk order: depth first, subkeys in name order
    std::string treeText_;
    std::size_t position_ = 0; // the next key of tree_ to hand over
    ReadAhead ahead_;
    double rowsPerKey_ = 1.0;                   // in the batch read last
    std::size_t aheadBegin_ = 0, aheadEnd_ = 0; // places in tree_ read ahead

    std::vector<LevelListing> walkLevels_;
    bool valuesListing_ = false;    // whether valuesFrom_ runs in this call of the walk
    std::int64_t valuesFrom_ = 0;   // no values of keys from valuesFrom_ to valuesRowKey_ are left
    std::int64_t valuesRowKey_ = 0; // the key of the row the listing stands at
    std::vector<ValueRow> oneKey_;
    std::string oneKeyBytes_;
    std::vector<const ValueRow*> order_;
};

} // namespace hw::store
