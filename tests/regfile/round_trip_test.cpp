#include "core/key_ops.h"
#include "regfile/reg_encoding.h"
#include "regfile/reg_export.h"
#include "regfile/reg_import.h"

#include "regfile_test_util.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

namespace hw::regfile {
namespace {

using test::StoredValue;

const std::string kKey = "HKEY_CURRENT_USER\\Software\\RoundTrip";

struct Sample {
    std::string key;
    std::string name;
    StoredValue value;
};

std::vector<Sample> Samples() {
    using namespace std::string_literals;
    std::vector<Sample> samples = {
        {kKey, "", {REG_SZ, "default\0"s}},
        {kKey, "plain", {REG_SZ, "C:\\Program Files\\\"quoted\"\0"s}},
        {kKey, "utf8 \xC3\xA9", {REG_SZ, "caf\xC3\xA9 \xFF\x01\0"s}},
        {kKey, "empty string", {REG_SZ, "\0"s}},
        {kKey, "no bytes", {REG_SZ, ""}},
        {kKey, "no nul", {REG_SZ, "abc"}},
        {kKey, "two nuls", {REG_SZ, "abc\0\0"s}},
        {kKey, "inner nul", {REG_SZ, "a\0b\0"s}},
        {kKey, "line ends", {REG_SZ, "a\r\nb\rc\nd\0"s}},
        {kKey, "expand", {REG_EXPAND_SZ, "%SystemRoot%\\x\0"s}},
        {kKey, "multi", {REG_MULTI_SZ, "one\0two\0\0"s}},
        {kKey, "binary", {REG_BINARY, "\x00\xFF\x10"s}},
        {kKey, "empty binary", {REG_BINARY, ""}},
        {kKey, "dword", {REG_DWORD, "\x78\x56\x34\x12"s}},
        {kKey, "short dword", {REG_DWORD, "\x01"s}},
        {kKey, "long dword", {REG_DWORD, "\x01\x02\x03\x04\x05"s}},
        {kKey, "big endian", {REG_DWORD_BIG_ENDIAN, "\x00\x00\x00\x01"s}},
        {kKey, "link", {REG_LINK, "\\\0R\0"s}},
        {kKey, "none", {REG_NONE, "\x05"s}},
        {kKey, "resources", {REG_RESOURCE_LIST, "\x01\x02"s}},
        {kKey, "descriptor", {REG_FULL_RESOURCE_DESCRIPTOR, "\x03"s}},
        {kKey, "requirements", {REG_RESOURCE_REQUIREMENTS_LIST, "\x04"s}},
        {kKey, "qword", {REG_QWORD, "\x01\x02\x03\x04\x05\x06\x07\x08"s}},
        {kKey, "odd type", {0xFFFFFFFF, "\xAB"s}},
        {kKey, "quote\"=\"inside", {REG_SZ, "x\0"s}},
        {kKey, "ends \"=", {REG_SZ, "y\0"s}},
        {kKey, "name \"=hex:", {REG_EXPAND_SZ, "z\0"s}},
        {kKey, "name \"=dword:1", {REG_BINARY, "\x01"s}},
        {kKey, "back\\slash\\", {REG_SZ, "\\\\\"\\\0"s}},
        {kKey, "@", {REG_SZ, "at\0"s}},
        {kKey + "\\x]y", "in bracket key", {REG_SZ, "1\0"s}},
        {kKey + "\\Deep\\Er\\Est", "", {REG_DWORD, "\x00\x00\x00\x00"s}},
    };
    std::string allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes += static_cast<char>(i);
    samples.push_back({kKey, "all bytes", {REG_BINARY, allBytes}});
    samples.push_back({kKey, "all bytes text", {REG_SZ, allBytes}});
    samples.push_back({kKey, "long", {REG_BINARY, std::string(100000, '\x5A')}});
    return samples;
}

// Export, delete, import: every value must come back with its type and bytes, through a UTF-16 file.
TEST(RoundTripTest, ExportThenImportGivesEveryValueBack) {
    test::TempRegistry registry;
    const auto samples = Samples();
    for (const Sample& sample : samples)
        test::SetRawValue(sample.key, sample.name, sample.value.type, sample.value.bytes);
    test::SetRawValue(kKey + "\\Empty", "", REG_SZ, "\0");
    core::DeleteValuePath(kKey + "\\Empty", "");

    const std::string file = registry.dir().file("round.reg");
    ASSERT_EQ(ExportKeyPathToFile(kKey, file, RegFileHeader()), ExportResult::Success);
    const std::string firstExport = test::ReadWholeFile(file);
    ASSERT_TRUE(core::DeleteKeyPath(kKey));
    ASSERT_FALSE(test::KeyPresent(kKey));

    ASSERT_EQ(ImportRegFile(file), ImportResult::Success);
    for (const Sample& sample : samples) {
        EXPECT_EQ(test::GetRawValue(sample.key, sample.name), sample.value)
            << sample.key << " " << sample.name;
    }
    EXPECT_TRUE(test::KeyPresent(kKey + "\\Empty"));

    // A second export of the imported tree is the same file.
    ASSERT_EQ(ExportKeyPathToFile(kKey, file, RegFileHeader()), ExportResult::Success);
    EXPECT_EQ(test::ReadWholeFile(file), firstExport);
}

// A REGEDIT4 file is text in the ANSI code page: what the code page cannot hold is left out and named,
// everything else comes back.
TEST(RoundTripTest, AnsiFilesLeaveOutAndNameWhatTheCodePageCannotHold) {
    using namespace std::string_literals;
    test::TempRegistry registry;
    const std::vector<Sample> kept = {
        {kKey, "caf\xC3\xA9", {REG_SZ, "\xE2\x82\xAC 5\0"s}},
        {kKey, "expand", {REG_EXPAND_SZ, "%\xC3\xA9%\0"s}},
        {kKey, "looks like UTF-8", {REG_SZ, "\xC3\x83\xC2\xA9\0"s}}, // "Ã©" in Windows-1252 is C3 A9
    };
    for (const Sample& sample : kept)
        test::SetRawValue(sample.key, sample.name, sample.value.type, sample.value.bytes);
    test::SetRawValue(kKey, "cyrillic", REG_SZ, "\xD0\x96\0"s);
    test::SetRawValue(kKey, "raw", REG_MULTI_SZ, "\xFF\0\0"s);
    test::SetRawValue(kKey + "\\\xD0\x96", "v", REG_SZ, "1\0"s);

    const std::string file = registry.dir().file("ansi.reg");
    const ExportReport report = ExportKeyPathToFileReported(kKey, file, "REGEDIT4");
    ASSERT_EQ(report.result, ExportResult::Success);
    EXPECT_EQ(report.leftOut,
              (std::vector<std::string>{kKey + " \"cyrillic\"", kKey + " \"raw\"", kKey + "\\\xD0\x96"}));
    const std::string bytes = test::ReadWholeFile(file);
    EXPECT_NE(bytes.find("\"caf\xE9\"=\"\x80 5\"\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\"expand\"=hex(2):25,E9,25,00\r\n"), std::string::npos);
    ASSERT_TRUE(core::DeleteKeyPath(kKey));
    ASSERT_EQ(ImportRegFile(file), ImportResult::Success);
    for (const Sample& sample : kept)
        EXPECT_EQ(test::GetRawValue(sample.key, sample.name), sample.value) << sample.name;
}

TEST(RoundTripTest, Version5FilesAreUtf16WithCrLf) {
    test::TempRegistry registry;
    test::SetRawValue(kKey + "\\\xD0\x9A", "\xC3\xBC", REG_EXPAND_SZ, std::string("%\xE2\x82\xAC%\0", 6));
    const std::string file = registry.dir().file("v5.reg");
    ASSERT_EQ(ExportKeyPathToFile(kKey, file, std::string(kVersion5Header)), ExportResult::Success);
    const std::u16string expected = u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n[" +
                                    std::u16string(kKey.begin(), kKey.end()) + u"]\r\n\r\n[" +
                                    std::u16string(kKey.begin(), kKey.end()) +
                                    u"\\\u041A]\r\n\"\u00FC\"=hex(2):25,00,AC,20,25,00,00,00\r\n";
    EXPECT_EQ(test::ReadWholeFile(file),
              std::string(reinterpret_cast<const char*>(expected.data()), 2 * expected.size()));
}

} // namespace
} // namespace hw::regfile
