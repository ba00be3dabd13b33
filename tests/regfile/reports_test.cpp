// What imports and exports tell their callers: failed lines, progress and stops, left-out names, and files
// that are only replaced when complete.
#include "regfile/reg_export.h"
#include "regfile/reg_import.h"

#include "regfile_test_util.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace hw::regfile {
namespace {

const std::string kKey = "HKEY_CURRENT_USER\\Software\\ReportTest";

class ReportsTest : public ::testing::Test {
  protected:
    std::string WriteFile(const std::string& name, const std::string& text) {
        const std::string file = registry.dir().file(name);
        test::WriteWholeFile(file, text);
        return file;
    }
    std::size_t FilesInDir() const {
        std::size_t count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(registry.dir().path()))
            ++count;
        return count;
    }
    test::TempRegistry registry;
};

TEST_F(ReportsTest, FailedLinesAreNamedWithLineAndSection) {
    const std::string file = WriteFile("x.reg", "REGEDIT4\r\n"
                                                "\r\n"
                                                "[" +
                                                    kKey +
                                                    "]\r\n"
                                                    "\"Bytes\"=hex:01,02,\\\r\n"
                                                    "  03\r\n"
                                                    "\"Bad\"=dword:zz\r\n"
                                                    "[-HKEY_CURRENT_USER]\r\n"
                                                    "\"Good\"=\"1\"\r\n");
    const ImportReport report = ImportRegFileReported(file);
    EXPECT_EQ(report.result, ImportResult::Incomplete);
    ASSERT_EQ(report.failures.size(), 2u);
    EXPECT_EQ(report.failures[0].line, 6u); // counted past the continued byte line
    EXPECT_EQ(report.failures[0].section, kKey);
    EXPECT_EQ(report.failures[1].line, 7u);
    EXPECT_EQ(report.failures[1].section, "HKEY_CURRENT_USER");
    EXPECT_EQ(DescribeImportFailures(report)[0], "line 6 [" + kKey + "]: not a DWORD number");
    EXPECT_TRUE(test::GetRawValue(kKey, "Bytes").has_value());

    std::string many = "REGEDIT4\r\n[" + kKey + "]\r\n";
    for (int i = 0; i < 12; ++i)
        many += "\"v\"=dword:x\r\n";
    const std::vector<std::string> described =
        DescribeImportFailures(ImportRegFileReported(WriteFile("m.reg", many)));
    ASSERT_EQ(described.size(), 11u);
    EXPECT_EQ(described.back(), "... and 2 more");
    EXPECT_EQ(ImportRegFileReported(registry.dir().path().string()).result, ImportResult::Incomplete);
}

TEST_F(ReportsTest, ValuesWrittenTogetherFailOneByOneInFileOrder) {
    const std::string longName(MAX_VALUE_NAME_LENGTH + 1, 'n');
    const std::string big(1 << 21, 'b'); // written on its own, past the gathered ones
    struct Line {
        std::string text;
        std::string failure; // empty: written
    };
    const std::string denied = "the value could not be written: access denied";
    const std::string tooLong = "the value could not be written: invalid name or data";
    const std::vector<Line> lines = {
        {"[" + kKey + "]", ""},
        {"\"A\"=\"1\"", ""},
        {"\"" + longName + "\"=\"2\"", tooLong},
        {"\"B\"=dword:zz", "not a DWORD number"},
        {"\"C\"=hex(2):41,00", ""},
        {"\"Big\"=\"" + big + "\"", ""},
        {"\"" + longName + "\"=\"" + big + "\"", tooLong},
        {"\"D\"=dword:4", ""},
        {"[HKEY_LOCAL_MACHINE\\HARDWARE\\Import]", "the key could not be opened or created: access denied"},
        {"[HKEY_LOCAL_MACHINE\\HARDWARE]", ""},
        {"\"E\"=\"1\"", denied},
        {"\"F\"=\"2\"", denied},
        {"[" + kKey + "\\Sub]", ""},
        {"\"G\"=\"3\"", ""},
    };
    std::string text = "REGEDIT4\n";
    std::vector<std::size_t> failedLines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i].text + "\n";
        if (!lines[i].failure.empty()) failedLines.push_back(i + 2);
    }
    const ImportReport report = ImportRegFileReported(WriteFile("f.reg", text));
    std::vector<std::size_t> reported;
    for (const ImportFailure& failure : report.failures)
        reported.push_back(failure.line);
    EXPECT_EQ(reported, failedLines);
    for (const ImportFailure& failure : report.failures)
        EXPECT_EQ(failure.reason, lines[failure.line - 2].failure) << failure.line;
    EXPECT_EQ(report.failures.back().section, "HKEY_LOCAL_MACHINE\\HARDWARE");
    for (const char* name : {"A", "C", "D"})
        EXPECT_TRUE(test::GetRawValue(kKey, name)) << name;
    EXPECT_EQ(test::GetRawValue(kKey, "Big")->bytes, big + '\0');
    EXPECT_TRUE(test::GetRawValue(kKey + "\\Sub", "G"));
}

TEST_F(ReportsTest, ProgressStopsBeforeTheNextSection) {
    std::string text = "REGEDIT4\r\n";
    for (int key = 0; key < 400; ++key) {
        text += "[" + kKey + "\\K" + std::to_string(key) + "]\r\n";
        for (int value = 0; value < 20; ++value)
            text += "\"V" + std::to_string(value) + "\"=\"" + std::string(80, 'x') + "\"\r\n";
    }
    std::uint64_t lastDone = 0, lastTotal = 0;
    int calls = 0;
    const ImportReport report =
        ImportRegFileReported(WriteFile("p.reg", text), [&](std::uint64_t done, std::uint64_t total) {
            lastDone = done;
            lastTotal = total;
            return ++calls < 2;
        });
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.result, ImportResult::Success);
    EXPECT_EQ(lastTotal, text.size());
    EXPECT_LT(lastDone, text.size());
    // Whole sections only: the last key imported holds all its values, the next is absent.
    int imported = 0;
    while (test::KeyPresent(kKey + "\\K" + std::to_string(imported)))
        ++imported;
    ASSERT_GT(imported, 0);
    ASSERT_LT(imported, 400);
    EXPECT_TRUE(test::GetRawValue(kKey + "\\K" + std::to_string(imported - 1), "V19").has_value());
}

TEST_F(ReportsTest, ExportsReplaceFilesOnlyWhenCompleteAndNameWhatTheyLeaveOut) {
    test::SetRawValue(kKey, "fine", REG_SZ, std::string("1\0", 2));
    test::SetRawValue(kKey, "two\nlines", REG_SZ, std::string("2\0", 2));
    test::SetRawValue(kKey + "\\bad\rkey", "x", REG_SZ, std::string("3\0", 2));
    for (int i = 0; i < 600; ++i)
        test::SetRawValue(kKey + "\\Many\\K" + std::to_string(i), "", REG_SZ, std::string(1, '\0'));

    const std::string file = WriteFile("out.reg", "old content");
    const std::size_t filesBefore = FilesInDir();
    ExportReport cancelled =
        ExportKeyPathToFileReported(kKey, file, "REGEDIT4", [](std::uint64_t) { return false; });
    EXPECT_EQ(cancelled.result, ExportResult::Cancelled);
    EXPECT_EQ(test::ReadWholeFile(file), "old content");
    EXPECT_EQ(FilesInDir(), filesBefore); // no temporary file left behind

    const ExportReport report = ExportKeyPathToFileReported(kKey, file, "REGEDIT4");
    EXPECT_EQ(report.result, ExportResult::Success);
    EXPECT_EQ(report.leftOut, (std::vector<std::string>{kKey + " \"two\\nlines\"", kKey + "\\bad\\rkey"}));
    const std::string written = test::ReadWholeFile(file);
    EXPECT_NE(written.find("\"fine\"=\"1\""), std::string::npos);
    EXPECT_EQ(written.find("lines"), std::string::npos);
    EXPECT_EQ(FilesInDir(), filesBefore);

    EXPECT_EQ(ExportKeyPathToFileReported(kKey, registry.dir().file("no/such/dir.reg"), "REGEDIT4").result,
              ExportResult::WriteFailed);
}

} // namespace
} // namespace hw::regfile
