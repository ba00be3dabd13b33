// Registration files against real Wine: what we export imports into Wine with exactly our values, and files
// Wine reads give us the values Wine gives them.
#include "platform/wine/real_prefix.h"
#include "regfile/reg_encoding.h"
#include "regfile/reg_export.h"
#include "regfile/reg_import.h"
#include "regfile/utf16.h"

#include "regfile_test_util.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

namespace hw::regfile {
namespace {

using namespace std::string_literals;
using test::ExportedKeys;
using test::ExportedValue;

const std::string kKey = "HKEY_CURRENT_USER\\Software\\HwWine";

// What Wine holds under kKey after running the command (which names the file as %F).
ExportedKeys ImportedByWine(const std::string& command, const std::string& file) {
    test::TempDir dir;
    const std::filesystem::path prefix = test::CopyOfTemplate(dir);
    std::string line = command;
    line.replace(line.find("%F"), 2, "'" + test::WinePath(file) + "'");
    EXPECT_EQ(test::RunInPrefix(prefix, line), 0) << line;
    const std::filesystem::path out = dir.path() / "out.reg";
    EXPECT_EQ(test::RunInPrefix(prefix, "wine regedit /e '" + test::WinePath(out) + "' '" + kKey + "'"), 0);
    return test::ParseWineExport(out);
}

// Our values under kKey, for the keys and names Wine lists.
ExportedKeys OursLike(const ExportedKeys& wine) {
    ExportedKeys ours;
    for (const auto& [key, values] : wine) {
        ours[key];
        for (const auto& [name, value] : values) {
            const auto stored = test::GetRawValue(key, name);
            if (stored) ours[key][name] = {stored->type, stored->bytes};
        }
    }
    return ours;
}

class WineRegFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::TemplatePrefix().empty()) GTEST_SKIP() << "Wine is not installed";
    }
    test::TempRegistry registry_;
};

TEST_F(WineRegFileTest, OurExportImportsIntoWineWithExactlyOurValues) {
    const std::string cyrillicKey = kKey + "\\\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87"; // Ключ
    const ExportedKeys ours = {
        {kKey,
         {{"", {REG_SZ, "default\0"s}},
          {"name_\xC3\xBCn\xC3\xAF",
           {REG_SZ, "\xD0\x94\xD0\xBE\xD0\xBA \xE2\x82\xAC \xE2\x80\x93 \xE2\x80\x9C\xE2\x80\x9D\0"s}},
          {"empty", {REG_SZ, "\0"s}},
          {"expand", {REG_EXPAND_SZ, "%SystemRoot%\\caf\xC3\xA9\0"s}},
          {"multi", {REG_MULTI_SZ, "one\0\0thr\xC3\xA9\xC3\xA9\0\0"s}},
          {"dword", {REG_DWORD, "\x78\x56\x34\x12"s}},
          {"binary", {REG_BINARY, "\x00\xFF\x10"s}},
          {"qword", {REG_QWORD, "\x01\x02\x03\x04\x05\x06\x07\x08"s}},
          {"big", {REG_DWORD_BIG_ENDIAN, "\x00\x00\x00\x01"s}},
          {"none", {REG_NONE, ""s}}}},
        {cyrillicKey, {{"\xD0\xB8\xD0\xBC\xD1\x8F", {REG_SZ, "1\0"s}}}},
    };
    for (const auto& [key, values] : ours)
        for (const auto& [name, value] : values)
            test::SetRawValue(key, name, value.type, value.data);
    const std::string file = registry_.dir().file("ours.reg");
    ASSERT_EQ(ExportKeyPathToFile(kKey, file, std::string(kVersion5Header)), ExportResult::Success);
    for (const char* command : {"wine regedit /s %F", "wine reg import %F"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(ImportedByWine(command, file), ours);
    }
}

TEST_F(WineRegFileTest, FilesWineReadsGiveUsWineValues) {
    const std::string forms = "[" + kKey + "]\r\n\"blanks\" = \"x\"\r\n\"tabs\"\t=\t\"y\"\t \r\n" +
                              "\"dword\"=dword:00000001 ; on\r\n\"dword tab\"=dword:2\t\r\n" +
                              "\"one digit\"=hex:1,2,3\r\n\"hex note\"=hex:01,02 ; bytes\r\n";
    std::string utf16 = "\xFF\xFE";
    AppendUtf8AsUtf16Le(std::string(kVersion5Header) + "\r\n\r\n" + forms +
                            "\"caf\xC3\xA9\"=\"\xE2\x82\xAC\"\r\n" +
                            "\"expand\"=hex(2):25,00,ac,20,25,00,00,00\r\n" +
                            "\"multi\"=hex(7):61,00,00,00,00,00,62,00,00,00,00,00\r\n",
                        utf16);
    const std::string ansi = "REGEDIT4\r\n\r\n" + forms + "\"caf\xE9\"=\"\x80 \x96 \x93\x94\"\r\n" +
                             "\"expand\"=hex(2):25,e9,25,00\r\n";
    for (const auto& [what, bytes] : {std::pair{"UTF-16", utf16}, std::pair{"Windows-1252", ansi}}) {
        SCOPED_TRACE(what);
        const std::string file = registry_.dir().file("in.reg");
        test::WriteWholeFile(file, bytes);
        ASSERT_EQ(ImportRegFile(file), ImportResult::Success);
        const ExportedKeys wine = ImportedByWine("wine regedit /s %F", file);
        ASSERT_EQ(wine.count(kKey), 1u);
        EXPECT_GE(wine.at(kKey).size(), 8u);
        EXPECT_EQ(OursLike(wine), wine);
    }
}

} // namespace
} // namespace hw::regfile
