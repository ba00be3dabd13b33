#include "util/file_io.h"

#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace hw::util {
namespace {

namespace fs = std::filesystem;

TEST(FileIoTest, BytesRoundTripIncludingNulAndLineEndings) {
    test::TempDir dir;
    const std::string bytes("a\0b\r\nc\n\xFF", 8);
    ASSERT_TRUE(WriteFileBytes(dir.file("f"), bytes));
    EXPECT_EQ(ReadFileBytes(dir.file("f")), bytes);
    ASSERT_TRUE(WriteFileBytes(dir.file("f"), "x"));
    EXPECT_EQ(ReadFileBytes(dir.file("f")), "x");
}

TEST(FileIoTest, MissingFilesAndFoldersReadAsNothing) {
    test::TempDir dir;
    EXPECT_EQ(ReadFileBytes(dir.file("missing")), std::nullopt);
    EXPECT_EQ(ReadFileBytes(dir.path().string()), std::nullopt);
    EXPECT_FALSE(WriteFileBytes(dir.file("no/such/file"), "x"));
}

std::vector<std::string> NamesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(FileIoTest, AtomicReplaceKeepsPermissionsAndLeavesNoTempFile) {
    test::TempDir dir;
    const std::string file = dir.file("LANGUAGE.INI");
    ASSERT_TRUE(ReplaceFileAtomically(file, "new"));
    EXPECT_EQ(ReadFileBytes(file), "new");

    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file, perms);
    ASSERT_TRUE(ReplaceFileAtomically(file, "newer"));
    EXPECT_EQ(ReadFileBytes(file), "newer");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, perms);
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"LANGUAGE.INI"});
}

TEST(FileIoTest, AtomicReplaceThroughSymlinkReplacesTheTarget) {
    test::TempDir dir;
    const std::string target = dir.file("target.ini");
    const std::string link = dir.file("link.ini");
    ASSERT_TRUE(WriteFileBytes(target, "old"));
    fs::create_symlink(target, link);
    ASSERT_TRUE(ReplaceFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(target), "new");
}

TEST(FileIoTest, AtomicReplaceIntoMissingFolderFails) {
    test::TempDir dir;
    EXPECT_FALSE(ReplaceFileAtomically(dir.file("no/such/file"), "x"));
}

} // namespace
} // namespace hw::util
