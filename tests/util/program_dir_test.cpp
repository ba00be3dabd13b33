#include "util/program_dir.h"

#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace hw::util {
namespace {

std::vector<std::string> SortedLines(const std::string& joined) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (!joined.empty()) {
        std::size_t end = joined.find("\r\n", start);
        lines.push_back(joined.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

void Touch(const std::filesystem::path& file) {
    std::ofstream(file) << "x";
}

TEST(ProgramDirTest, PathIsDirWithOneTrailingSlash) {
    const std::string file = ProgramFileName();
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    EXPECT_EQ(ProgramPath(), ProgramDir() + "/");
    EXPECT_EQ(file.rfind(ProgramPath(), 0), 0u);
    EXPECT_NE(ProgramDir().back(), '/');
}

TEST(ProgramDirTest, WildcardsMatchWholeNames) {
    EXPECT_TRUE(MatchesWildcard("a.opal", "*.opal"));
    EXPECT_TRUE(MatchesWildcard(".opal", "*.opal"));
    EXPECT_FALSE(MatchesWildcard("a.opal.bak", "*.opal"));
    EXPECT_FALSE(MatchesWildcard("a.OPAL", "*.opal"));
    EXPECT_TRUE(MatchesWildcard("abc", "a?c"));
    EXPECT_FALSE(MatchesWildcard("ac", "a?c"));
    EXPECT_TRUE(MatchesWildcard("anything", "*"));
    EXPECT_TRUE(MatchesWildcard("", "*"));
    EXPECT_TRUE(MatchesWildcard("aXbXc", "a*b*c"));
    EXPECT_FALSE(MatchesWildcard("aXbXd", "a*b*c"));
    EXPECT_TRUE(MatchesWildcard("mississippi", "m*iss*ppi"));
}

TEST(ProgramDirTest, WildcardMatchingStaysLinear) {
    // A naive recursive matcher takes exponential time on this.
    const std::string name(5000, 'a');
    const std::string pattern = "*a*a*a*a*a*a*a*a*a*a*a*a*b";
    EXPECT_FALSE(MatchesWildcard(name, pattern));
}

TEST(ProgramDirTest, ListFilesNamesMatchingPlainFilesOnly) {
    test::TempDir dir;
    Touch(dir.path() / "one.opal");
    Touch(dir.path() / "two.opal");
    Touch(dir.path() / "three.txt");
    std::filesystem::create_directory(dir.path() / "folder.opal");

    EXPECT_EQ(SortedLines(ListFiles(dir.path().string(), "*.opal")),
              (std::vector<std::string>{"one.opal", "two.opal"}));
    EXPECT_EQ(ListFiles(dir.path().string() + "/", "three.*"), "three.txt");
    EXPECT_EQ(ListFiles(dir.path().string(), "*.reg"), "");
    EXPECT_EQ(ListFiles(dir.path().string(), "one.opal"), "one.opal");
}

TEST(ProgramDirTest, ListFilesWithMissingOrEmptyDirectoryIsEmpty) {
    test::TempDir dir;
    EXPECT_EQ(ListFiles(dir.file("missing"), "*"), "");
    EXPECT_EQ(ListFiles("", "*"), "");
}

TEST(ProgramDirTest, ListFilesFollowsSubfolderInPattern) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "sub");
    Touch(dir.path() / "sub" / "page.opal");
    EXPECT_EQ(ListFiles(dir.path().string(), "sub/*.opal"), "page.opal");
}

TEST(ProgramDirTest, ListProgramFilesListsBesideTheProgram) {
    const std::string name = std::filesystem::path(ProgramFileName()).filename().string();
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(ListProgramFiles(name), name);
    EXPECT_EQ(ListProgramFiles(name + "?"), "");
}

} // namespace
} // namespace hw::util
