// An export from any window or job refuses to replace the registry database or its log files.
#include "core/key_ops.h"
#include "regfile/reg_export.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

TEST(ExportTarget, TheDatabaseAndItsLogFilesAreNeverReplaced) {
    hw::test::TempRegistry registry;
    const std::string database = registry.databasePath();
    const auto size = std::filesystem::file_size(database);
    // Another spelling of the same file counts too.
    const std::string other = registry.dir().file("./registry.db");
    for (const std::string& target : {database, database + "-wal", database + "-shm", other}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(hw::regfile::ExportKeyPathToFileReported("HKEY_LOCAL_MACHINE\\SOFTWARE", target, "REGEDIT4")
                      .result,
                  hw::regfile::ExportResult::WriteFailed);
    }
    EXPECT_EQ(std::filesystem::file_size(database), size);
    EXPECT_TRUE(hw::core::KeyPathExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes"));
    EXPECT_EQ(hw::regfile::ExportKeyPathToFileReported("HKEY_LOCAL_MACHINE\\SOFTWARE",
                                                       registry.dir().file("out.reg"), "REGEDIT4")
                  .result,
              hw::regfile::ExportResult::Success);
}

} // namespace
