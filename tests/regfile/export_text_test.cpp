// The text of exported lines against plain byte-by-byte forms of it: escaping and hex text at every place
// in and around the sixteen-byte blocks they are written in, and the lines of a file as the writer
// gathers, widens and drops them.
#include "regfile/reg_text_out.h"
#include "regfile/utf16.h"
#include "regfile/value_line.h"

#include "regfile_test_util.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace hw::regfile {
namespace {

using namespace std::string_literals;

std::string Escaped(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string Pairs(std::string_view bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : bytes) {
        if (!text.empty()) text += ',';
        text += kDigits[c >> 4];
        text += kDigits[c & 0x0F];
    }
    return text;
}

std::string Utf16Le(std::string_view text) {
    std::string wide;
    AppendUtf8AsUtf16Le(text, wide);
    return wide;
}

// The line for the value, appended after text already there, which must stay.
std::string LineOf(std::string_view name, DWORD type, std::string_view data, bool version5 = true,
                   ValueLineResult expected = ValueLineResult::Written) {
    std::string out = "before";
    EXPECT_EQ(
        AppendValueLine(name, type, reinterpret_cast<const BYTE*>(data.data()), data.size(), version5, out),
        expected);
    EXPECT_EQ(out.substr(0, 6), "before");
    return out.substr(6);
}

// One character in question at each place of texts up to three blocks long, or every byte from there on.
TEST(ValueLineText, EscapesAndFindsControlsWhereverTheyStand) {
    for (const char special : {'\\', '"', '\r', '\n', '\0', '\t'}) {
        const bool lineEnd = special == '\r' || special == '\n';
        for (std::size_t size = 1; size <= 49; ++size) {
            for (std::size_t at = 0; at < size; ++at) {
                for (const bool toTheEnd : {false, true}) {
                    std::string text(size, 'a');
                    for (std::size_t i = at; i < (toTheEnd ? size : at + 1); ++i)
                        text[i] = special;
                    const std::string what = std::to_string(static_cast<int>(special)) + " size " +
                                             std::to_string(size) + " at " + std::to_string(at);
                    ASSERT_EQ(FitsOnOneLine(text), !lineEnd) << what;
                    ASSERT_EQ(LineOf(text, REG_SZ, "1\0"s, true,
                                     lineEnd ? ValueLineResult::NameSplitsLine : ValueLineResult::Written),
                              "\"" + Escaped(text) + "\"=\"1\"")
                        << what;
                    const std::string data = text + '\0';
                    ASSERT_EQ(LineOf("v", REG_SZ, data), lineEnd || special == '\0'
                                                             ? "\"v\"=hex(1):" + Pairs(Utf16Le(data))
                                                             : "\"v\"=\"" + Escaped(text) + "\"")
                        << what;
                }
            }
        }
    }
}

TEST(ValueLineText, WritesEveryByteAndUnitInHex) {
    std::string everyByte;
    for (int c = 0; c < 256; ++c)
        everyByte += static_cast<char>(c);
    // ASCII, runs of other bytes shorter and longer than a short string holds, and bytes no UTF-8 has.
    std::string mixed =
        "%a\xC3\xA9" + std::string(20, 'b') + std::string(12, '\xC3') + "\xF0\x9F\x98\x80\xED\xA0\x80x";
    for (int i = 0; i < 10; ++i)
        mixed += "\xE2\x82\xAC";
    mixed += "\0\0"s;
    const test::CodePage westernEurope("1252");
    struct Case {
        std::string name;
        DWORD type;
        std::string data;
        bool version5;
        std::string line;
    };
    const Case cases[] = {
        {"b", REG_BINARY, everyByte, true, "\"b\"=hex:" + Pairs(everyByte)},
        {"b", REG_BINARY, "", true, "\"b\"=hex:"},
        {"d", REG_DWORD, "\x00\x9A\xFF\x0F"s, true, "\"d\"=dword:0FFF9A00"},
        {"n", REG_NONE, "", true, "\"n\"=hex(0):"},
        {"q", 0x1234ABCD, everyByte, true, "\"q\"=hex(1234abcd):" + Pairs(everyByte)},
        {"s", REG_SZ, everyByte, true, "\"s\"=hex(1):" + Pairs(Utf16Le(everyByte))},
        {"e", REG_EXPAND_SZ, everyByte.substr(1) + '\0', true,
         "\"e\"=hex(2):" + Pairs(Utf16Le(everyByte.substr(1) + '\0'))},
        {"m", REG_MULTI_SZ, mixed, true, "\"m\"=hex(7):" + Pairs(Utf16Le(mixed))},
        {"m", REG_MULTI_SZ, "", true, "\"m\"=hex(7):"},
        {"a", REG_EXPAND_SZ, "caf\xC3\xA9 \xE2\x82\xAC\0"s, false,
         "\"a\"=hex(2):" + Pairs("caf\xE9 \x80\0"s)},
        {"a", REG_SZ, "x\r\0"s, false, "\"a\"=hex(1):" + Pairs("x\r\0"s)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " " + std::to_string(c.type));
        EXPECT_EQ(LineOf(c.name, c.type, c.data, c.version5), c.line);
    }
    // What the code page cannot hold leaves the text as it was.
    LineOf("k", REG_SZ, "\xD0\x9A\r\0"s, false, ValueLineResult::NotInCodePage);
}

// Lines whose ends hold what UTF-16 writes in odd ways, over several of the writer's chunks, with a line
// longer than a chunk among them: the file is the lines widened one by one.
TEST(RegTextOutTest, Utf16FileIsEachLineWidenedWhateverTheChunks) {
    const std::string ends[] = {"",     "\xC3\xA9", "\xF0\x9F\x98\x80", "\xED\xA0\x80", "\xED\xB0\x80",
                                "\xFF", "\xC3",     "\xE2\x82"};
    std::vector<std::string> lines;
    std::size_t total = 0;
    for (std::size_t i = 0; total < (3u << 20); ++i) {
        std::string line = ends[i % std::size(ends)] +
                           std::string((i * 7919) % 4099, static_cast<char>('a' + i % 26)) +
                           ends[(i / std::size(ends)) % std::size(ends)];
        if (i == 300) line = std::string(700 << 10, 'x') + "\xED\xA0\x80" + line;
        total += line.size();
        lines.push_back(std::move(line));
    }
    test::TempDir dir;
    const std::string name = dir.file("out.reg");
    std::FILE* file = std::fopen(name.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    RegTextOut out(file, true);
    std::string expected = "\xFF\xFE";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out.Line() += lines[i];
        // Every fifth line is taken back, with the lines before it still waiting.
        if (i % 5 == 4) {
            out.DropLine();
            continue;
        }
        ASSERT_TRUE(out.EndLine());
        expected += Utf16Le(lines[i] + "\r\n");
    }
    out.Line() += "never ended";
    EXPECT_TRUE(out.Finish());
    std::fclose(file);
    const std::string written = test::ReadWholeFile(name);
    const auto differ = std::mismatch(written.begin(), written.end(), expected.begin(), expected.end());
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected) << "first difference at byte " << differ.first - written.begin();
}

// An ANSI file drops a line the code page cannot hold, and marks text that would read as UTF-8; a list of
// lines takes every line. DropLine takes back only the line being built.
TEST(RegTextOutTest, AnsiFilesAndLineListsKeepTheirForms) {
    const test::CodePage westernEurope("1252");
    struct Case {
        std::vector<std::string> lines;
        std::string file;
    };
    const Case cases[] = {
        {{"plain", "caf\xC3\xA9", "\xD0\x9A", "end"}, "plain\r\ncaf\xE9\r\nend\r\n"},
        {{"\xC3\x83\xC2\xA9", "\xD0\x9A"}, "\xC3\xA9\r\n; \xFF\r\n"},
        {{"ascii"}, "ascii\r\n"},
        {{"all ASCII, longer than a word", "0123\xC3\x83\xC2\xA9"
                                           "456789"},
         "all ASCII, longer than a word\r\n0123\xC3\xA9"
         "456789\r\n; \xFF\r\n"},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        const std::string name = dir.file("ansi.reg");
        std::FILE* file = std::fopen(name.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        RegTextOut out(file, false);
        RegLines list;
        RegTextOut toList(list);
        for (const std::string& line : c.lines) {
            for (RegTextOut* target : {&out, &toList}) {
                target->Line() += "dropped";
                target->DropLine();
                target->Line() += line;
            }
            EXPECT_EQ(out.EndLine(), line != "\xD0\x9A") << line;
            EXPECT_TRUE(toList.EndLine());
        }
        EXPECT_TRUE(out.Finish());
        std::fclose(file);
        EXPECT_EQ(test::ReadWholeFile(name), c.file);
        EXPECT_EQ(list, c.lines);
    }
}

} // namespace
} // namespace hw::regfile
