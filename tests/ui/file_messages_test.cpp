// What file work reports to the user.
#include "ui/file_messages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace hw::ui {
namespace {

TEST(FileMessagesTest, AnExportNamesItsFileAndSize) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "hw_exported_size_test.reg";
    std::ofstream(file, std::ios::binary) << std::string(1234, 'x');
    EXPECT_EQ(ExportedFileText(file.string()), "Exported [hw_exported_size_test.reg]: 1234 bytes.");
    std::filesystem::remove(file);
    EXPECT_EQ(RowsReplacedText(2, 5), "Rows replaced: 2 of 5.");
}

} // namespace
} // namespace hw::ui
