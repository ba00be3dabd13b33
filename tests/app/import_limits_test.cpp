// Imports refuse what the registry cannot hold as asked: names with a NUL in them and keys too deep.
#include "core/key_ops.h"
#include "core/value_text.h"
#include "regfile/reg_import.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

TEST(ImportLimits, NamesHoldingANulAndKeysTooDeepAreFailedLinesNeverCutShort) {
    hw::test::TempRegistry registry;
    std::string deep = "[HKEY_LOCAL_MACHINE\\SOFTWARE";
    for (int level = 1; level < 512; ++level)
        deep += "\\L";
    const std::vector<std::string> lines = {
        "REGEDIT4",
        "[HKEY_CURRENT_USER\\Software\\Safe]",
        "\"Keep\"=\"original\"",
        "\"Keep\0Evil\"=\"overwritten\""s,
        "[HKEY_CURRENT_USER\\Software\\Safe\0Evil]"s,
        "\"Intruder\"=\"written into Safe\"",
        deep + "]",
        deep + "\\TooDeep]",
        "\"Lost\"=\"x\"",
        "[-HKEY_CURRENT_USER\\Software\\Safe\0Evil]"s,
    };
    const hw::regfile::ImportReport report = hw::regfile::ImportRegLinesReported(lines);
    EXPECT_EQ(report.result, hw::regfile::ImportResult::Incomplete);
    std::vector<std::size_t> failedLines;
    for (const auto& failure : report.failures)
        failedLines.push_back(failure.line);
    EXPECT_EQ(failedLines, (std::vector<std::size_t>{4, 5, 8, 10}));
    EXPECT_EQ(hw::core::ReadValueTextOfPath("HKCU\\Software\\Safe", "Keep"), "original");
    EXPECT_FALSE(hw::core::ValuePathExists("HKCU\\Software\\Safe", "Intruder"));
    EXPECT_TRUE(hw::core::KeyPathExists("HKCU\\Software\\Safe"));
    EXPECT_TRUE(hw::core::KeyPathExists("HKLM\\" + deep.substr(20)));
    EXPECT_FALSE(hw::core::KeyPathExists("HKLM\\" + deep.substr(20) + "\\TooDeep"));
}

} // namespace
