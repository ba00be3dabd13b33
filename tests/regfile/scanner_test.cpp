// Reading names and string data: escapes, and which quote closes the text.
#include "regfile/reg_scanner.h"

#include "regfile_test_util.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace hw::regfile {
namespace {

using test::GetRawValue;
using test::StoredValue;

// The rule as stated: every "\\" becomes "\", then, in what that gives, every "\"" becomes a quote.
std::string TwoStepUnescape(const std::string& text) {
    const auto collapse = [](const std::string& in, char second) {
        std::string out;
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (in[i] == '\\' && i + 1 < in.size() && in[i + 1] == second) ++i;
            out += in[i];
        }
        return out;
    };
    return collapse(collapse(text, '\\'), '"');
}

TEST(UnescapeRegText, GivesWhatTheTwoStepsGiveForEveryShortText) {
    const std::string letters = "\\\"x";
    std::vector<std::string> texts{""};
    std::string out = "stale";
    for (std::size_t length = 1; length <= 8; ++length) {
        std::vector<std::string> longer;
        for (const std::string& text : texts)
            for (char c : letters)
                longer.push_back(text + c);
        for (const std::string& text : longer) {
            UnescapeRegText(text, out);
            ASSERT_EQ(out, TwoStepUnescape(text)) << text;
        }
        texts = std::move(longer);
    }
}

struct QuotedCase {
    const char* line;
    const char* name;
    const char* data;
};

// A quote after an even run of backslashes closes a name or text; after an odd run it is part of it. Text
// whose first closing quote has more than a comment after it runs to the last quote of the line.
TEST(RegLineScanner, BackslashRunsDecideWhichQuoteCloses) {
    const QuotedCase cases[] = {
        {R"("a"="x\\")", "a", "x\\"},
        {R"("b"="x\"y")", "b", "x\"y"},
        {R"("c"="x\\\"y")", "c", "x\\\"y"},
        {R"("d"="\\\\")", "d", "\\\\"},
        {R"("n\\"="1")", "n\\", "1"},
        {R"("n\"q"="2")", "n\"q", "2"},
        {R"("n\\\\\"q"="3")", "n\\\\\"q", "3"},
        {R"("e"="say \\"hi\\"")", "e", "say \"hi\""},
        {R"("f"="a\\" ;c")", "f", "a\\"},
        {R"("g"="a\\\\"x" ;c)", "g", "a\\\"x"},
        {R"("h"="\")", "h", "\\"},
        {R"("i"="\\\")", "i", "\\\\"},
    };
    for (const QuotedCase& c : cases) {
        const std::vector<std::string> lines{"REGEDIT4", "[HKEY_CURRENT_USER\\Software\\T]", c.line};
        VectorLineSource source(lines);
        std::string_view header;
        ASSERT_TRUE(source.Next(header));
        RegLineScanner scanner(source);
        TRegImportInfo info;
        ASSERT_TRUE(scanner.Next(info));
        ASSERT_TRUE(scanner.Next(info)) << c.line;
        EXPECT_EQ(info.kind, RegRecordKind::String) << c.line;
        EXPECT_EQ(info.name, c.name) << c.line;
        EXPECT_EQ(info.data, c.data) << c.line;
    }
}

class ContinuationTest : public ::testing::Test {
  protected:
    test::TempRegistry registry;
};

struct ContinuedCase {
    const char* lines; // after "hex:" of value "v", up to the next section
    std::optional<std::string> bytes;
    std::optional<std::string> next; // the string value "n", when a line after the bytes sets it
};

// Continued byte text ends at a line that is no byte text, which is then read as a line of its own.
TEST_F(ContinuationTest, ByteTextEndsWhereTheLinesSayAndKeepsWhatCameBefore) {
    using namespace std::string_literals;
    const std::string key = "HKEY_CURRENT_USER\\Software\\Continued";
    const ContinuedCase cases[] = {
        {"1\\\r\n\"n\"=\"after\"", "\x01"s, "after"},
        {"0,\\\r\n  a,0\\\r\n  b", "\x00\x0a\x0b"s, {}},
        {"01,\\\r\n  02,\\ ; note \"q\"\r\n  03", "\x01"s, {}},
        {"01,\\\r\n  02,\\\r\n\r\n \t\r\n  03\r\n\"n\"=\"x\"", "\x01\x02\x03"s, "x"},
        {"01,\\\r\n  02, ; c\\\r\n  03", "\x01\x02\x03"s, {}},
        {"0a,\\\r\n  @=\"d\"\r\n\"n\"=\"y\"", "\x0a"s, "y"},
        {"0a,\\\r\n  ; comment\r\n\"n\"=\"z\"", "\x0a"s, "z"},
        {"0a,\\\r\n  zz,\\\r\n  01", std::nullopt, {}},
        {"0a,\\\r\n  0b", "\x0a\x0b"s, {}},
    };
    for (const ContinuedCase& c : cases) {
        test::ImportText("REGEDIT4\r\n[-" + key + "]\r\n[" + key + "]\r\n\"v\"=hex:" + c.lines + "\r\n");
        const auto value = GetRawValue(key, "v");
        if (c.bytes) {
            EXPECT_EQ(value, (StoredValue{REG_BINARY, *c.bytes})) << c.lines;
        } else {
            EXPECT_EQ(value, std::nullopt) << c.lines;
        }
        const auto next = GetRawValue(key, "n");
        if (c.next) {
            EXPECT_EQ(next, (StoredValue{REG_SZ, *c.next + '\0'})) << c.lines;
        } else {
            EXPECT_EQ(next, std::nullopt) << c.lines;
        }
    }
}

} // namespace
} // namespace hw::regfile
