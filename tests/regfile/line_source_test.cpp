#include "regfile/line_source.h"
#include "regfile/utf16.h"

#include "regfile_test_util.h"
#include "support/temp_registry.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace hw::regfile {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> AllLines(LineSource& source) {
    std::vector<std::string> lines;
    std::string_view line;
    while (source.Next(line))
        lines.emplace_back(line);
    return lines;
}

std::vector<std::string> LinesOfFile(const std::string& bytes) {
    test::TempDir dir;
    const std::string file = dir.file("lines.txt");
    test::WriteWholeFile(file, bytes);
    const int fd = ::open(file.c_str(), O_RDONLY);
    TextLineSource source(fd, std::string());
    auto lines = AllLines(source);
    EXPECT_FALSE(source.Failed());
    ::close(fd);
    return lines;
}

TEST(LineSourceTest, SplitsAtCrLfAndCrLf) {
    TextLineSource source(std::string("a\r\nb\rc\nd\n\re\r\r\n"));
    EXPECT_THAT(AllLines(source), ElementsAre("a", "b", "c", "d", "", "e", ""));
    TextLineSource unterminated(std::string("x\r\ny"));
    EXPECT_THAT(AllLines(unterminated), ElementsAre("x", "y"));
    TextLineSource empty(std::string{});
    EXPECT_THAT(AllLines(empty), ElementsAre());
}

// Blocks of the file end in the middle of lines and between the CR and LF of one line end.
TEST(LineSourceTest, ReadsFilesAcrossBlockBoundaries) {
    constexpr std::size_t kBlock = 1 << 20;
    std::string bytes(kBlock - 1, 'a');
    bytes += "\r\nsecond\r\n";
    bytes += std::string(3 * kBlock, 'b');
    bytes += "\rlast";
    const auto lines = LinesOfFile(bytes);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string(kBlock - 1, 'a'));
    EXPECT_EQ(lines[1], "second");
    EXPECT_EQ(lines[2], std::string(3 * kBlock, 'b'));
    EXPECT_EQ(lines[3], "last");
}

TEST(LineSourceTest, ReadingADirectoryFails) {
    test::TempDir dir;
    const int fd = ::open(dir.path().c_str(), O_RDONLY);
    TextLineSource source(fd, std::string());
    std::string_view line;
    EXPECT_FALSE(source.Next(line));
    EXPECT_TRUE(source.Failed());
    ::close(fd);
}

TEST(Utf16Test, ConvertsPairsAndKeepsStrayBytesAndSurrogates) {
    std::string out;
    const std::uint8_t text[] = {'A',  0,    0xE9, 0,    0xAC, 0x20, 0x3D, 0xD8,
                                 0x00, 0xDE, 0x00, 0xD8, 'x',  0,    0x7F};
    AppendUtf16LeAsUtf8(text, sizeof text, out);
    // A lone surrogate keeps its three-byte form.
    EXPECT_EQ(out, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xED\xA0\x80x\x7F");
    EXPECT_TRUE(HasUtf16LeMark("\xFF\xFEx"));
    EXPECT_FALSE(HasUtf16LeMark("\xFE\xFF"));
}

} // namespace
} // namespace hw::regfile
