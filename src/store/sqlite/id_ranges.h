// A table function over ranges of ids held in memory: `id_ranges(?1)` lists the ranges of a vector bound
// with BindIdRanges, so one statement can join many ranges of ids against a table. Each range then costs
// the join one seek, where a statement run per range would also pay a reset and a new cursor.
#pragma once

#include "store/sqlite/sqlite_db.h"

#include <cstdint>
#include <vector>

namespace hw::store {

struct IdRange {
    std::int64_t first = 0, last = 0; // both included
};

// Makes id_ranges known on the connection; a connection needs it once, before statements using it are
// prepared.
void RegisterIdRanges(sqlite3* db);
// The ranges must stay unchanged until the statement is reset.
void BindIdRanges(Statement& statement, int index, const std::vector<IdRange>& ranges);

} // namespace hw::store
