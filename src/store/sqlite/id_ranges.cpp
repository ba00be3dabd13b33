#include "store/sqlite/id_ranges.h"

#include <new>
#include <string>

namespace hw::store {

namespace {

constexpr const char* kPointerType = "hw_id_ranges";
constexpr int kFirstColumn = 0, kLastColumn = 1, kRangesColumn = 2;

struct RangeCursor {
    sqlite3_vtab_cursor base; // first, so SQLite's pointer is also ours
    const std::vector<IdRange>* ranges = nullptr;
    std::size_t at = 0;
};

RangeCursor& CursorOf(sqlite3_vtab_cursor* cursor) {
    return *reinterpret_cast<RangeCursor*>(cursor);
}

int Connect(sqlite3* db, void*, int, const char* const*, sqlite3_vtab** table, char**) {
    if (int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(first INTEGER, last INTEGER, ranges HIDDEN)");
        rc != SQLITE_OK)
        return rc;
    *table = new (std::nothrow) sqlite3_vtab{};
    return *table ? SQLITE_OK : SQLITE_NOMEM;
}

int Disconnect(sqlite3_vtab* table) {
    delete table;
    return SQLITE_OK;
}

// Only a plan that is given the ranges will do.
int BestIndex(sqlite3_vtab*, sqlite3_index_info* info) {
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& constraint = info->aConstraint[i];
        if (constraint.iColumn != kRangesColumn || constraint.op != SQLITE_INDEX_CONSTRAINT_EQ) continue;
        if (!constraint.usable) return SQLITE_CONSTRAINT;
        info->aConstraintUsage[i].argvIndex = 1;
        info->aConstraintUsage[i].omit = 1;
        info->estimatedCost = 1;
        return SQLITE_OK;
    }
    return SQLITE_CONSTRAINT;
}

int Open(sqlite3_vtab*, sqlite3_vtab_cursor** cursor) {
    auto* opened = new (std::nothrow) RangeCursor{};
    if (!opened) return SQLITE_NOMEM;
    *cursor = &opened->base;
    return SQLITE_OK;
}

int Close(sqlite3_vtab_cursor* cursor) {
    delete &CursorOf(cursor);
    return SQLITE_OK;
}

int Filter(sqlite3_vtab_cursor* cursor, int, const char*, int argc, sqlite3_value** argv) {
    RangeCursor& ranges = CursorOf(cursor);
    ranges.at = 0;
    // Anything but a vector bound by BindIdRanges reads as no ranges.
    ranges.ranges =
        argc == 1 ? static_cast<const std::vector<IdRange>*>(sqlite3_value_pointer(argv[0], kPointerType))
                  : nullptr;
    return SQLITE_OK;
}

int Next(sqlite3_vtab_cursor* cursor) {
    ++CursorOf(cursor).at;
    return SQLITE_OK;
}

int Eof(sqlite3_vtab_cursor* cursor) {
    const RangeCursor& ranges = CursorOf(cursor);
    return !ranges.ranges || ranges.at >= ranges.ranges->size();
}

int Column(sqlite3_vtab_cursor* cursor, sqlite3_context* context, int column) {
    const RangeCursor& ranges = CursorOf(cursor);
    const IdRange& range = (*ranges.ranges)[ranges.at];
    if (column == kFirstColumn) sqlite3_result_int64(context, range.first);
    if (column == kLastColumn) sqlite3_result_int64(context, range.last);
    return SQLITE_OK;
}

int Rowid(sqlite3_vtab_cursor* cursor, sqlite3_int64* rowid) {
    *rowid = static_cast<sqlite3_int64>(CursorOf(cursor).at);
    return SQLITE_OK;
}

// An eponymous table only: it exists without CREATE VIRTUAL TABLE, and nothing is stored.
sqlite3_module MakeModule() {
    sqlite3_module module{};
    module.xConnect = Connect;
    module.xBestIndex = BestIndex;
    module.xDisconnect = Disconnect;
    module.xOpen = Open;
    module.xClose = Close;
    module.xFilter = Filter;
    module.xNext = Next;
    module.xEof = Eof;
    module.xColumn = Column;
    module.xRowid = Rowid;
    return module;
}

const sqlite3_module kModule = MakeModule();

} // namespace

void RegisterIdRanges(sqlite3* db) {
    if (int rc = sqlite3_create_module_v2(db, "id_ranges", &kModule, nullptr, nullptr); rc != SQLITE_OK)
        throw SqliteError(std::string("registering id_ranges: ") + sqlite3_errstr(rc), rc);
}

void BindIdRanges(Statement& statement, int index, const std::vector<IdRange>& ranges) {
    statement.bindPointer(index, const_cast<std::vector<IdRange>*>(&ranges), kPointerType);
}

} // namespace hw::store
