// The tables of a registry database, and bringing a database of the earlier layout up to this one.
#pragma once

#include "store/sqlite/sqlite_db.h"

#include <cstddef>

namespace hw::store {

// Value data longer than this lives in a table of its own: in the values' tree it would make every seek that
// passes its row read it whole.
inline constexpr std::size_t kLargeValueData = 2048;

// Whether the database has its tables at all.
bool HasSchema(Database& db);
// Creates the tables of a new database.
void CreateSchema(Database& db);
// Whether large value data lives apart; false only for a database of the earlier layout.
bool KeepsLargeDataApart(Database& db);
// Moves the large value data of an earlier database out of the values' tree, in one transaction.
void MoveLargeDataApart(Database& db);

} // namespace hw::store
