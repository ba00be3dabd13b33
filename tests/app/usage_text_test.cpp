#include "app/usage_text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace hw::app {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

TEST(UsageText, SwitchesArePaddedToTheExplanationColumn) {
    const std::vector<std::string> lines = Lines(UsageText());
    ASSERT_GE(lines.size(), 19u);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], std::string("/import /file:<filename>") + std::string(18, ' ') +
                            "\"filename\" is with registry file you wanna import");
    EXPECT_EQ(lines[3], std::string("/export /file:<filename> /key:<keyname>") + std::string(3, ' ') +
                            "\"filename\" key content save as witch name,");
    EXPECT_EQ(lines[5], std::string(42, ' ') + "HKEY_CURRENT_USER\\Software\\Microsoft");
    EXPECT_EQ(lines[13], "/unreg" + std::string(36, ' ') +
                             "Unregister *.OPAL and *.REG file can be operated by Hivewright");
    EXPECT_EQ(lines[14], "");
    EXPECT_EQ(lines[15], "");
    EXPECT_EQ(lines[16], std::string(42, ' ') + "any other will start with Hivewright in normal way");
    EXPECT_EQ(lines[17], "");
    EXPECT_NE(lines[18].find("--import FILE"), std::string::npos);
    EXPECT_NE(lines[19].find("--hive FILE[=KEY]"), std::string::npos);
    EXPECT_EQ(lines.size(), 20u);
}

} // namespace
} // namespace hw::app
