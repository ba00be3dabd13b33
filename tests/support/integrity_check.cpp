#include "support/integrity_check.h"

#include <sqlite3.h>

namespace hw::test {

std::string IntegrityCheck(const std::string& databasePath) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(databasePath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr);
    std::string result = statement && sqlite3_step(statement) == SQLITE_ROW
                             ? reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))
                             : "no answer";
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

} // namespace hw::test
