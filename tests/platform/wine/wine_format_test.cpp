// Wine's registry file format: escapes, and files that come back byte for byte after reading and writing.
#include "platform/registry_store.h"
#include "real_prefix.h"
#include "regfile/reg_import.h"
#include "store/wine/wine_hive.h"
#include "store/wine/wine_prefix.h"
#include "store/wine/wine_text.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace hw;
using namespace hw::store::wine;
namespace fs = std::filesystem;

namespace {

TEST(WineText, EscapesAsWineWritesAndReadsThem) {
    struct Case {
        std::u16string units;
        std::string written;
    };
    const Case cases[] = {
        {u"plain", "plain"},
        {u"q\"b\\", "q\\\"b\\\\"},
        {u"\n\r\t\a\x1b", "\\n\\r\\t\\a\\e"},
        {u"\x01z\x01"
         u"7",
         "\\1z\\0017"},                        // octal, padded before an octal digit
        {u"\u00e4x\u00e4b", "\\xe4x\\x00e4b"}, // padded before a hex digit
        {u"\u20ac", "\\x20ac"},
        {u"\xd834\xdd1e", "\\xd834\\xdd1e"}, // a surrogate pair stays two units
        {std::u16string(1, u'\0') + u"0", "\\0000"},
    };
    for (const Case& c : cases) {
        std::string out;
        AppendEscaped(out, c.units, '"', '"');
        EXPECT_EQ(out, c.written);
        std::u16string back;
        EXPECT_EQ(ParseEscaped(out + "\"tail", '"', back), out.size() + 1) << out;
        EXPECT_EQ(back, c.units) << out;
    }
    // Wine also reads raw UTF-8 and unknown escapes.
    std::u16string read;
    ParseEscaped("Gr\xc3\xbc\\q\\x]", ']', read);
    EXPECT_EQ(read, u"Gr\u00fcqx");
    EXPECT_EQ(ParseEscaped("no end", '"', read), std::string_view::npos);

    // UTF-8 <-> UTF-16 keeps every byte: unpaired surrogates and bytes of no sequence alike.
    for (std::string text : {std::string("Gr\xc3\xbc\xc3\x9f\x65 \xf0\x9d\x84\x9e"),
                             std::string("\xed\xa0\x80"), std::string("a\0b", 3)})
        EXPECT_EQ(Utf8FromUtf16(Utf16FromUtf8(text)), text);
    EXPECT_EQ(Utf16FromUtf8("\xe4"), u"\u00e4");

    EXPECT_EQ(CompareNames("ABC", "abc"), 0);
    EXPECT_EQ(CompareNames("\xc3\x84pfel", "\xc3\xa4PFEL"), 0);
    EXPECT_LT(CompareNames("_x", "a"), 0); // Wine orders by lower case
    EXPECT_LT(CompareNames("ab", "abc"), 0);
}

TEST(WineFormat, ValuesAreWrittenAsWineWritesThem) {
    auto line = [](std::string name, DWORD type, std::string data) {
        std::string out;
        AppendValueText(out, WineValue{std::move(name), type, std::move(data), {}});
        return out;
    };
    EXPECT_EQ(line("", REG_SZ, std::string("x\0", 2)), "@=\"x\"\n");
    EXPECT_EQ(line("a\"b", REG_EXPAND_SZ, std::string("%P%\0", 4)), "\"a\\\"b\"=str(2):\"%P%\"\n");
    EXPECT_EQ(line("m", REG_MULTI_SZ, std::string("a\0b\0\0", 5)), "\"m\"=str(7):\"a\\0b\\0\"\n");
    EXPECT_EQ(line("d", REG_DWORD, std::string("\x78\x56\x34\x12", 4)), "\"d\"=dword:12345678\n");
    EXPECT_EQ(line("q", REG_QWORD, std::string("\1\0\0\0\0\0\0\2", 8)),
              "\"q\"=hex(b):01,00,00,00,00,00,00,02\n");
    EXPECT_EQ(line("b", REG_BINARY, ""), "\"b\"=hex:\n");
    EXPECT_EQ(line("u", REG_SZ, "no nul"), "\"u\"=hex(1):6e,00,6f,00,20,00,6e,00,75,00,6c,00\n");
    // Long data wraps after 76 columns with Wine's two-space indent.
    std::string wrapped = line("bin", REG_BINARY, std::string(40, '\xab'));
    EXPECT_EQ(wrapped.substr(0, wrapped.find('\n') + 1),
              "\"bin\"=hex:ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,\\\n");
    std::vector<WineValue> parsed;
    ParseSectionValues("[k] 1\n" + wrapped, parsed);
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0].data, std::string(40, '\xab'));
}

// Reading and writing a Wine file keeps it byte for byte, both when untouched keys are copied and when
// every key and value is written anew from what was read.
void ExpectRoundTrip(const std::string& text, const std::string& what) {
    Hive hive;
    hive.Load(text, "root");
    RenderMap map;
    EXPECT_TRUE(hive.Render(map) == text) << what;
    RenderMap rewritten;
    std::string again = hive.Render(rewritten, true);
    if (again != text) {
        std::size_t at =
            std::mismatch(again.begin(), again.end(), text.begin(), text.end()).first - again.begin();
        ADD_FAILURE() << what << " differs at " << at << ":\n"
                      << again.substr(at > 200 ? at - 200 : 0, 400) << "\n---- Wine wrote:\n"
                      << text.substr(at > 200 ? at - 200 : 0, 400);
    }
}

TEST(WineFormat, FreshPrefixFilesRoundTrip) {
    fs::path prefix = test::TemplatePrefix();
    if (prefix.empty()) GTEST_SKIP() << "Wine is not installed";
    for (const char* name : {"system.reg", "user.reg", "userdef.reg"})
        ExpectRoundTrip(test::ReadFile(prefix / name), name);
}

TEST(WineFormat, ACorpusWineRewroteRoundTrips) {
    fs::path shared = fs::path(HW_SOURCE_DIR) / ".." / "shared" / "bench" / "gen_corpus.py";
    if (test::TemplatePrefix().empty() || !fs::exists(shared))
        GTEST_SKIP() << "Wine or the corpus generator is missing";
    test::TempDir dir;
    fs::path prefix = test::CopyOfTemplate(dir), corpus = dir.path() / "corpus.reg";
    ASSERT_EQ(
        std::system(
            ("python3 '" + shared.string() + "' --size 10M -o '" + corpus.string() + "' >/dev/null").c_str()),
        0);
    {
        setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        std::string error;
        auto store = platform::OpenWineStore(prefix.string(), &error);
        ASSERT_TRUE(store) << error;
        platform::UseRegistry(std::move(store));
        EXPECT_EQ(regfile::ImportRegFile(corpus.string()), regfile::ImportResult::Success);
        platform::UseRegistry(nullptr);
    }
    // One change makes Wine write user.reg again, in its own words.
    ASSERT_EQ(test::RunInPrefix(prefix, "wine reg add 'HKCU\\Software\\Probe' /v x /d y /f"), 0);
    ExpectRoundTrip(test::ReadFile(prefix / "user.reg"), "user.reg with the corpus");
}

TEST(WineFormat, KeyTimesAreReadAsWineReadsThem) {
    if (test::TemplatePrefix().empty()) GTEST_SKIP() << "Wine is not installed";
    test::TempDir dir;
    fs::path prefix = test::CopyOfTemplate(dir);
    // Key lines without #time=, with seconds far beyond what Wine keeps of them.
    const std::string keys = "\n[Software\\\\Huge] 179671099196710977\n\"x\"=\"y\"\n"
                             "\n[Software\\\\Huger] 99999999999999999999999\n\"x\"=\"y\"\n";
    const std::string text = test::ReadFile(prefix / "user.reg") + keys;
    std::ofstream(prefix / "user.reg", std::ios::binary | std::ios::trunc) << text;
    ASSERT_EQ(test::RunInPrefix(prefix, "wine reg add 'HKCU\\Software\\Probe' /v x /d y /f"), 0);
    const std::string wines = test::ReadFile(prefix / "user.reg");
    Hive hive;
    hive.Load(text, "user");
    RenderMap map;
    const std::string ours = hive.Render(map, true);
    for (const char* key : {"[Software\\\\Huge]", "[Software\\\\Huger]"}) {
        auto section = [&](const std::string& file) {
            std::size_t at = file.find(key);
            return at == std::string::npos ? std::string() : file.substr(at, file.find("\n\n", at) - at);
        };
        EXPECT_FALSE(section(wines).empty()) << key;
        EXPECT_EQ(section(ours), section(wines));
    }
}

TEST(WineFormat, KilledSaveLeavesTheOldOrTheNewFile) {
    test::TempDir dir;
    std::string path = dir.file("system.reg");
    const std::string older(4 << 20, 'o'), newer(5 << 20, 'n');
    std::string error;
    ASSERT_TRUE(ReplaceFile(path, older, error)) << error;
    for (int round = 0; round < 6; ++round) {
        pid_t child = fork();
        if (child == 0) {
            for (int i = 0;; ++i) {
                std::string ignored;
                ReplaceFile(path, i % 2 ? older : newer, ignored);
            }
        }
        usleep(20000 + round * 7000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::string now = test::ReadFile(path);
        EXPECT_TRUE(now == older || now == newer) << "size " << now.size();
    }
}

} // namespace
