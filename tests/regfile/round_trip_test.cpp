#include "core/key_ops.h"
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

// Export, delete, import: every value must come back with its type and bytes.
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

} // namespace
} // namespace hw::regfile
