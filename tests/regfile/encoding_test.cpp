// What a registration file's bytes mean: every encoding and header, the odd line forms other tools write,
// and the lines whose bytes cannot be read exactly.
#include "regfile/ansi_codec.h"
#include "regfile/reg_export.h"
#include "regfile/reg_import.h"
#include "regfile/utf16.h"

#include "regfile_test_util.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace hw::regfile {
namespace {

using namespace std::string_literals;
using test::GetRawValue;
using test::StoredValue;

const std::string kKey = "HKEY_CURRENT_USER\\Software\\EncodingTest";
const std::string kV5 = std::string(kVersion5Header);

std::string HexOf(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes)
        text += std::string(text.empty() ? "" : ",") + kDigits[c >> 4] + kDigits[c & 15];
    return text;
}

enum class FileForm { Utf16, Utf8, Ansi };

// How a file of this form and header carries text: the file's own bytes and a text payload's bytes.
struct Writer {
    FileForm form;
    bool version5;
    std::string File(const std::string& utf8) const {
        std::string bytes;
        if (form == FileForm::Utf16) {
            bytes = "\xFF\xFE";
            AppendUtf8AsUtf16Le(utf8, bytes);
        } else if (form == FileForm::Ansi) {
            EXPECT_TRUE(AnsiCodec::Current().Encode(utf8, bytes));
        } else {
            bytes = utf8;
        }
        return bytes;
    }
    std::string Payload(const std::string& utf8) const {
        if (version5 || form == FileForm::Utf16) {
            std::string bytes;
            AppendUtf8AsUtf16Le(utf8, bytes);
            return HexOf(bytes);
        }
        return HexOf(File(utf8));
    }
};

// A file holding every form in question; `word` is text outside ASCII that the encoding can hold.
std::string SampleFile(const Writer& writer, const std::string& word) {
    const std::string section = "[" + kKey + "\\" + word + "]";
    return (writer.version5 ? kV5 : "REGEDIT4"s) + "\r\n\r\n" + section + "\r\n" + "\"name_" + word +
           "\"=\"" + word + "\"\r\n" + "\"blanks\" = \"x\"\r\n\"tabs\"\t=\t\"y\"\t \r\n@ = \"default\"\r\n" +
           "\"commented\"=\"c\" ; a \"quoted\" note\r\n" +
           "\"dword\"=dword:00000001 ; on\r\n\"dword tab\"=dword:2\t\r\n" +
           "\"one digit\"=hex:1,2,3\r\n\"hex note\"=hex:01,02 ; bytes\r\n" +
           "\"sz\"=hex(1):" + writer.Payload(word + "\0"s) + "\r\n" +
           "\"expand\"=hex(2):" + writer.Payload("%SystemRoot%\\" + word + "\0"s) + "\r\n" +
           "\"multi\"=hex(7):" + writer.Payload(word + "\0\0b\0\0"s) + ",\\\r\n  00,00\r\n";
}

void ExpectSampleValues(const std::string& word, bool version5) {
    const std::string key = kKey + "\\" + word;
    EXPECT_EQ(GetRawValue(key, "name_" + word), (StoredValue{REG_SZ, word + "\0"s}));
    EXPECT_EQ(GetRawValue(key, "blanks"), (StoredValue{REG_SZ, "x\0"s}));
    EXPECT_EQ(GetRawValue(key, "tabs"), (StoredValue{REG_SZ, "y\0"s}));
    EXPECT_EQ(GetRawValue(key, ""), (StoredValue{REG_SZ, "default\0"s}));
    EXPECT_EQ(GetRawValue(key, "commented"), (StoredValue{REG_SZ, "c\0"s}));
    EXPECT_EQ(GetRawValue(key, "dword"), (StoredValue{REG_DWORD, "\x01\0\0\0"s}));
    EXPECT_EQ(GetRawValue(key, "dword tab"), (StoredValue{REG_DWORD, "\x02\0\0\0"s}));
    EXPECT_EQ(GetRawValue(key, "one digit"), (StoredValue{REG_BINARY, "\x01\x02\x03"s}));
    EXPECT_EQ(GetRawValue(key, "hex note"), (StoredValue{REG_BINARY, "\x01\x02"s}));
    EXPECT_EQ(GetRawValue(key, "sz"), (StoredValue{REG_SZ, word + "\0"s}));
    EXPECT_EQ(GetRawValue(key, "expand"), (StoredValue{REG_EXPAND_SZ, "%SystemRoot%\\" + word + "\0"s}));
    // The continuation adds one NUL unit: two bytes in UTF-16, two NULs in a single-byte payload.
    EXPECT_EQ(GetRawValue(key, "multi"),
              (StoredValue{REG_MULTI_SZ, word + (version5 ? "\0\0b\0\0\0"s : "\0\0b\0\0\0\0"s)}));
}

// Whether bytes are UTF-8 does not depend on where in the file, or in a block read, a sequence stands.
TEST(RegEncodingTest, Utf8IsRecognisedWhereverItsSequencesStand) {
    const std::string sequences[] = {"\xC3\xA9",     "\xE2\x82\xAC",    "\xF0\x9D\x84\x9E", "\xE9",
                                     "\xC3",         "\xC0\xAF",        "\xED\xA0\x80",     "\xC3\xA9\xE9",
                                     "\xE2\x82\x41", "\xF4\x90\x80\x80"};
    test::TempDir dir;
    for (const std::size_t offset : {0, 1, 7, 8, 30, 31, 32, 33, 63, 64, 100}) {
        for (const std::string& sequence : sequences) {
            for (const std::string& after : {std::string(), std::string(40, 'b')}) {
                const std::string bytes = std::string(offset, 'a') + sequence + after;
                const RegEncoding expected = IsValidUtf8(bytes) ? RegEncoding::Utf8 : RegEncoding::Ansi;
                EXPECT_EQ(EncodingOfRegBytes(bytes), expected) << offset << " " << HexOf(sequence);
                const std::string file = dir.file("utf8.reg");
                test::WriteWholeFile(file, bytes);
                const int fd = ::open(file.c_str(), O_RDONLY);
                bool readable = false;
                EXPECT_EQ(WholeFileIsUtf8(fd, std::string(), readable), expected == RegEncoding::Utf8)
                    << offset << " " << HexOf(sequence);
                EXPECT_TRUE(readable);
                ::close(fd);
            }
        }
    }
    // Sequences cut by, or ending with, the block a file is read in.
    for (const std::size_t before : {1, 2, 3, 4}) {
        for (const std::string& sequence : {"\xE2\x82\xAC"s, "\xF0\x9D\x84\x9E"s, "\xF0\x9D\x84"s}) {
            const std::string file = dir.file("blocks.reg");
            test::WriteWholeFile(file,
                                 std::string((1 << 20) - before, 'a') + sequence + std::string(1 << 20, 'z'));
            const int fd = ::open(file.c_str(), O_RDONLY);
            bool readable = false;
            EXPECT_EQ(WholeFileIsUtf8(fd, std::string(), readable),
                      sequence.size() != 3 || sequence[0] != '\xF0')
                << before << " " << HexOf(sequence);
            EXPECT_TRUE(readable);
            ::close(fd);
        }
    }
}

TEST(RegEncodingTest, EveryEncodingAndHeaderGivesTheSameValues) {
    const std::string western = "caf\xC3\xA9 \xE2\x82\xAC\xE2\x80\x93\xE2\x80\x9C\xE2\x80\x9D"; // café €–“”
    const std::string cyrillic = "\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87";                            // Ключ
    struct Case {
        const char* what;
        Writer writer;
        const char* codePage;
        std::string word;
    };
    const Case cases[] = {
        {"UTF-16, version 5", {FileForm::Utf16, true}, "1252", western + cyrillic},
        {"UTF-16, REGEDIT4", {FileForm::Utf16, false}, "1252", cyrillic},
        {"UTF-8, version 5", {FileForm::Utf8, true}, "1252", western + cyrillic},
        {"UTF-8, REGEDIT4", {FileForm::Utf8, false}, "1252", western},
        {"Windows-1252, REGEDIT4", {FileForm::Ansi, false}, "1252", western},
        {"Windows-1252, version 5", {FileForm::Ansi, true}, "1252", western},
        {"Windows-1251, REGEDIT4", {FileForm::Ansi, false}, "1251", cyrillic},
        {"Windows-1251, version 5", {FileForm::Ansi, true}, "1251", cyrillic},
        // Two-byte characters whose second byte is a backslash: 表 is 95 5C.
        {"Shift-JIS, REGEDIT4", {FileForm::Ansi, false}, "932", "\xE8\xA1\xA8\xE7\xA4\xBA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempRegistry registry;
        const test::CodePage codePage(c.codePage);
        EXPECT_EQ(test::ImportText(c.writer.File(SampleFile(c.writer, c.word))), ImportResult::Success);
        ExpectSampleValues(c.word, c.writer.version5 || c.writer.form == FileForm::Utf16);
    }
}

TEST(RegEncodingTest, OddPayloadsOfVersion5FilesAreReadInTheFilesEncoding) {
    test::TempRegistry registry;
    // As earlier versions of this program wrote them: UTF-8 payloads in a UTF-8 file.
    EXPECT_EQ(test::ImportText(kV5 + "\r\n[" + kKey + "]\r\n\"old\"=hex(2):25,c3,a9,25,00\r\n"),
              ImportResult::Success);
    EXPECT_EQ(GetRawValue(kKey, "old"), (StoredValue{REG_EXPAND_SZ, "%\xC3\xA9%\0"s}));
    // An ANSI file's odd payload is text in the code page.
    EXPECT_EQ(test::ImportText(kV5 + "\r\n[" + kKey + "]\r\n\"e\xE9\"=hex(2):25,e9,25,00,00\r\n"),
              ImportResult::Success);
    EXPECT_EQ(GetRawValue(kKey, "e\xC3\xA9"), (StoredValue{REG_EXPAND_SZ, "%\xC3\xA9%\0\0"s}));
}

TEST(RegEncodingTest, LinesWhoseBytesCannotBeReadExactlyFailAndWriteNothing) {
    test::TempRegistry registry;
    const char* const refused[] = {"hex:0102",     "hex:zz",          "hex:01,,02",
                                   "hex(2):1,234", "dword:123456789", "dword:1 2"};
    std::string text = "REGEDIT4\r\n[" + kKey + "]\r\n";
    for (std::size_t i = 0; i < std::size(refused); ++i)
        text += "\"v" + std::to_string(i) + "\"=" + refused[i] + "\r\n";
    text += "\"after\"=hex:0a\r\n";
    const std::string file = registry.dir().file("bad.reg");
    test::WriteWholeFile(file, text);
    const ImportReport report = ImportRegFileReported(file);
    EXPECT_EQ(report.result, ImportResult::Incomplete);
    ASSERT_EQ(report.failures.size(), std::size(refused));
    for (std::size_t i = 0; i < std::size(refused); ++i) {
        SCOPED_TRACE(refused[i]);
        EXPECT_EQ(report.failures[i].line, i + 3);
        EXPECT_EQ(GetRawValue(kKey, "v" + std::to_string(i)), std::nullopt);
    }
    EXPECT_EQ(GetRawValue(kKey, "after"), (StoredValue{REG_BINARY, "\x0A"}));
}

TEST(RegEncodingTest, TextSurvivesUtf16WhateverItsBytes) {
    const std::string texts[] = {
        "plain",
        "caf\xC3\xA9 \xF0\x9F\x98\x80", // UTF-8, a pair included
        "caf\xE9 \xFF\x80",             // not UTF-8
        "\xED\xA0\x80",                 // a lone high surrogate's form
        "\xED\xA0\x80\x80",             // ... followed by a stray byte
        "\xED\xA0\x80\xED\xB0\x80",     // two halves that must not pair up
        "\xED\xB2\x80",                 // the form of an escaped byte
        "\xC3",                         // cut short
        std::string("a\0b\0\0", 5),
        "x\xED\xA0\x80y\xED\xB0\x80z\xC3\xA9", // ASCII between the halves and after
    };
    for (const std::string& text : texts) {
        std::u16string units;
        AppendUtf8AsUtf16(text, units);
        std::string back;
        AppendUtf16AsUtf8(units, back);
        EXPECT_EQ(back, text);
        std::string little;
        AppendUtf8AsUtf16Le(text, little);
        std::string expected;
        for (char16_t unit : units)
            expected.append({static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)});
        EXPECT_EQ(little, expected);
    }
}

} // namespace
} // namespace hw::regfile
