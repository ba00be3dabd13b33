#include "app/command_line.h"

#include <gtest/gtest.h>

namespace hw::app {
namespace {

CommandLine Parse(const std::string& text) {
    return ParseCommandLineText(text);
}

TEST(ParseCommandLineText, PicksTheFirstKeywordInTheFixedOrder) {
    EXPECT_EQ(Parse("").mode, Mode::Normal);
    EXPECT_EQ(Parse("whatever").mode, Mode::Normal);
    EXPECT_EQ(Parse("/export /import").mode, Mode::Import);
    EXPECT_EQ(Parse("/del /export").mode, Mode::Export);
    EXPECT_EQ(Parse("/bin /.reg /.opal").mode, Mode::OpalWindow);
    EXPECT_EQ(Parse("/bin /.reg").mode, Mode::RegFileWindow);
    EXPECT_EQ(Parse("/? /bin").mode, Mode::HexEditorWindow);
    EXPECT_EQ(Parse("/del /?").mode, Mode::Usage);
    EXPECT_EQ(Parse("/help").mode, Mode::Usage);
    EXPECT_EQ(Parse("/reg /del").mode, Mode::Delete);
    EXPECT_EQ(Parse("/reg").mode, Mode::RegisterAssociations);
    EXPECT_EQ(Parse("/unreg").mode, Mode::UnregisterAssociations);
    // Plain substrings: "/delete" holds "/del".
    EXPECT_EQ(Parse("/delete").mode, Mode::Delete);
}

TEST(ParseCommandLineText, MatchesKeywordsAndMarkersRegardlessOfCaseAndKeepsTheNamesCase) {
    const CommandLine line = Parse("/IMPORT /FILE:<X.REG>");
    EXPECT_EQ(line.mode, Mode::Import);
    EXPECT_EQ(line.fileName, "X.REG");

    const CommandLine del = Parse("/Del /Key:<HKCU\\Software\\Test> /VALUE:<Name>");
    EXPECT_EQ(del.mode, Mode::Delete);
    EXPECT_EQ(del.keyName, "HKCU\\Software\\Test");
    EXPECT_EQ(del.valueName, "Name");
}

TEST(ParseCommandLineText, MarkerRuleTakesTheTextUpToTheNextCloser) {
    EXPECT_EQ(Parse("/import /file:<C:\\Data\\Fonts.reg>").fileName, "C:\\Data\\Fonts.reg");
    EXPECT_EQ(Parse("/import /file:< spaced name.reg >").fileName, " spaced name.reg ");
    // A name holding ">" is cut there.
    EXPECT_EQ(Parse("/import /file:<a>b.reg>").fileName, "a");
    // No closer, or the marker ends the text: empty.
    EXPECT_EQ(Parse("/import /file:<a.reg").fileName, "");
    EXPECT_EQ(Parse("/import /file:<").fileName, "");
    EXPECT_EQ(Parse("/import /file:<>").fileName, "");
    // The first marker counts.
    EXPECT_EQ(Parse("/import /file:<one.reg> /file:<two.reg>").fileName, "one.reg");
}

TEST(ParseCommandLineText, ExtractsOnlyWhatTheModeUses) {
    const CommandLine import = Parse("/import /file:<a.reg> /key:<hkcu> /value:<v>");
    EXPECT_EQ(import.fileName, "a.reg");
    EXPECT_EQ(import.keyName, "");
    EXPECT_EQ(import.valueName, "");

    const CommandLine del = Parse("/del /file:<a.reg> /key:<hkcu\\x> /value:<v>");
    EXPECT_EQ(del.fileName, "");
    EXPECT_EQ(del.keyName, "hkcu\\x");
    EXPECT_EQ(del.valueName, "v");
    // An empty value marker leaves the value name empty, so the whole key is the target.
    EXPECT_EQ(Parse("/del /key:<hkcu\\x> /value:<>").valueName, "");

    for (const char* text : {"/bin /file:<b.bin>", "/.reg /file:<b.bin>", "/.opal /file:<b.bin>"}) {
        const CommandLine window = Parse(text);
        EXPECT_EQ(window.fileName, "b.bin") << text;
        EXPECT_TRUE(IsWindowMode(window.mode)) << text;
    }
    EXPECT_FALSE(IsWindowMode(Parse("/? /file:<b.bin>").mode));
}

TEST(ParseCommandLineText, AskIsClearedOnlyByTheBracketedSwitchOnImport) {
    EXPECT_TRUE(Parse("/import /file:<a.reg>").ask);
    EXPECT_FALSE(Parse("/import /file:<a.reg> /ask:[no]").ask);
    EXPECT_FALSE(Parse("/import /file:<a.reg> /ASK:[NO]").ask);
    EXPECT_TRUE(Parse("/import /file:<a.reg> /ask:no").ask);
    EXPECT_TRUE(Parse("/export /file:<a.reg> /ask:[no]").ask);
}

TEST(ParseCommandLineText, ExportKeyMarkerNeedsALeadingBlank) {
    const CommandLine spaced = Parse("/export /file:<a.reg> /key:<hkcu\\software>");
    EXPECT_EQ(spaced.keyName, "hkcu\\software");
    const CommandLine joined = Parse("/export /file:<a.reg>/key:<hkcu\\software>");
    EXPECT_EQ(joined.fileName, "a.reg");
    EXPECT_EQ(joined.keyName, "");
    // The delete job takes the marker without the blank.
    EXPECT_EQ(Parse("/del/key:<hkcu\\x>").keyName, "hkcu\\x");
}

TEST(ParseCommandLineText, IgnoresKeywordsAndMarkersInsideMarkerValues) {
    const CommandLine opened = Parse("/.reg /file:</home/me/import/x.reg>");
    EXPECT_EQ(opened.mode, Mode::RegFileWindow);
    EXPECT_EQ(opened.fileName, "/home/me/import/x.reg");

    EXPECT_EQ(Parse("/import /file:</usr/bin/x.reg>").mode, Mode::Import);
    EXPECT_EQ(Parse("/del /key:<hkcu\\a/bin/b>").mode, Mode::Delete);
    EXPECT_EQ(Parse("/file:</tmp/del/reg>").mode, Mode::Normal);

    // A marker typed inside another marker's value is not a marker.
    const CommandLine nested = Parse("/del /value:</key:<inner> /key:<outer>");
    EXPECT_EQ(nested.keyName, "outer");
    EXPECT_EQ(nested.valueName, "/key:<inner");
    // Nor is the no-ask switch.
    EXPECT_TRUE(Parse("/import /file:</tmp/ask:[no]/a.reg>").ask);
    // A value without its closer hides the rest of the text.
    EXPECT_EQ(Parse("/.reg /file:<a /bin").mode, Mode::RegFileWindow);
}

TEST(ParseCommandLine, JoinsArgumentsWithSingleBlanksWithoutTheProgramPath) {
    const CommandLine line = ParseCommandLine({"/import", "/file:<my", "file.reg>", "/ask:[no]"});
    EXPECT_EQ(line.mode, Mode::Import);
    EXPECT_EQ(line.fileName, "my file.reg");
    EXPECT_FALSE(line.ask);
    EXPECT_EQ(ParseCommandLine({}).mode, Mode::Normal);
    EXPECT_EQ(ParseCommandLine({"", "/export", "/file:<a>", "/key:<k>"}).keyName, "k");
}

TEST(ParseCommandLine, ShellSwitches) {
    const CommandLine import = ParseCommandLine({"--import", "a b.reg"});
    EXPECT_EQ(import.mode, Mode::Import);
    EXPECT_EQ(import.fileName, "a b.reg");
    EXPECT_TRUE(import.ask);
    EXPECT_TRUE(import.usageError.empty());
    EXPECT_FALSE(ParseCommandLine({"--import", "--yes", "a.reg"}).ask);
    EXPECT_FALSE(ParseCommandLine({"--import", "a.reg", "--yes"}).ask);

    const CommandLine exported = ParseCommandLine({"--export", "HKCU\\Software\\Bin", "/tmp/bin/out.reg"});
    EXPECT_EQ(exported.mode, Mode::Export);
    EXPECT_EQ(exported.keyName, "HKCU\\Software\\Bin");
    EXPECT_EQ(exported.fileName, "/tmp/bin/out.reg");

    const CommandLine deleteKey = ParseCommandLine({"--delete", "HKCU\\A"});
    EXPECT_EQ(deleteKey.mode, Mode::Delete);
    EXPECT_EQ(deleteKey.keyName, "HKCU\\A");
    EXPECT_EQ(deleteKey.valueName, "");
    EXPECT_EQ(ParseCommandLine({"--delete", "HKCU\\A", "V>1"}).valueName, "V>1");

    EXPECT_EQ(ParseCommandLine({"--help"}).mode, Mode::Usage);
    // Only as the first argument.
    EXPECT_EQ(ParseCommandLine({"/del", "--help"}).mode, Mode::Delete);
}

TEST(ParseCommandLine, MalformedShellSwitchesAreUsageErrors) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--import"},
             {"--import", "a.reg", "b.reg"},
             {"--import", "a.reg", "--force"},
             {"--export", "HKCU"},
             {"--export", "HKCU", "a.reg", "b"},
             {"--export", "HKCU", "a.reg", "--yes"},
             {"--delete"},
             {"--delete", "HKCU\\A", "v", "w"},
             {"--delete", "HKCU\\A", ""},
         }) {
        EXPECT_FALSE(ParseCommandLine(arguments).usageError.empty()) << arguments.size() << arguments[0];
    }
}

TEST(ResolveFileName, RelativeNamesResolveAgainstTheStartFolder) {
    CommandLine line;
    line.fileName = "sub/a.reg";
    ResolveFileName(line, "/home/me");
    EXPECT_EQ(line.fileName, "/home/me/sub/a.reg");

    line.fileName = "/abs/a.reg";
    ResolveFileName(line, "/home/me");
    EXPECT_EQ(line.fileName, "/abs/a.reg");

    line.fileName = "";
    ResolveFileName(line, "/home/me");
    EXPECT_EQ(line.fileName, "");
}

} // namespace
} // namespace hw::app

namespace hw::app {
namespace {

TEST(ParseCommandLine, FileWindowOptionsTakeTheNextArgumentVerbatim) {
    // A crafted folder name must stay a name, whatever switches it spells.
    const std::string crafted = "/tmp/a> /export /file:<pwned.reg> /key:<HKCU>/x.opal";
    const CommandLine opal = ParseCommandLine({"--opal", crafted});
    EXPECT_EQ(opal.mode, Mode::OpalWindow);
    EXPECT_EQ(opal.fileName, crafted);
    EXPECT_TRUE(opal.usageError.empty());
    const CommandLine reg = ParseCommandLine({"--edit-reg", "--yes"});
    EXPECT_EQ(reg.mode, Mode::RegFileWindow);
    EXPECT_EQ(reg.fileName, "--yes");
    EXPECT_EQ(ParseCommandLine({"--hex", "/import b>.bin"}).mode, Mode::HexEditorWindow);
    EXPECT_EQ(ParseCommandLine({"--hex", "/import b>.bin"}).fileName, "/import b>.bin");
    // Without exactly one file nothing opens.
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"--opal"}, {"--hex", "a", "b"}}) {
        const CommandLine line = ParseCommandLine(arguments);
        EXPECT_EQ(line.mode, Mode::Usage);
        EXPECT_FALSE(line.usageError.empty());
    }
}

} // namespace
} // namespace hw::app

namespace hw::app {
namespace {

TEST(ParseCommandLineText, TextAfterTheCloserOfANameIsAUsageErrorInEveryMode) {
    // A name holding ">" is cut there; what follows must not be dropped, or the job acts on another name.
    for (const char* text :
         {"/del /key:<HKCU\\Software\\P>X>", "/del /key:<hkcu\\a> /value:<v>w>", "/import /file:<a>b.reg>",
          "/export /file:<a.reg>x /key:<hkcu>", "/export /file:<a.reg> /key:<hkcu\\p>>",
          "/.reg /file:<a>b.reg>", "/bin /file:<a>b.bin>", "/reg /key:<x>y"}) {
        const CommandLine line = Parse(text);
        EXPECT_FALSE(line.usageError.empty()) << text;
        EXPECT_FALSE(IsWindowMode(line.mode)) << text;
    }
    for (const char* text :
         {"/del /key:<hkcu\\a> /value:<v>", "/del /key:<hkcu\\a>/value:<v>",
          "/export /file:<a.reg>/key:<hkcu>", "/import /file:<a.reg>/ask:[no]",
          "/import /file:<a.reg>/ASK:[NO]", "/.reg /file:<a.reg>", "/import /file:<a.reg"}) {
        EXPECT_EQ(Parse(text).usageError, "") << text;
    }
}

TEST(ParseCommandLine, OptionsMayComeBeforeTheJobSwitch) {
    const CommandLine import = ParseCommandLine({"--yes", "--import", "a.reg"});
    EXPECT_EQ(import.mode, Mode::Import);
    EXPECT_EQ(import.fileName, "a.reg");
    EXPECT_FALSE(import.ask);
    EXPECT_EQ(import.usageError, "");
    EXPECT_FALSE(ParseCommandLine({"--yes", "--export", "HKCU", "a.reg"}).usageError.empty());
    // --yes alone names no job, and must not open the window either.
    const CommandLine alone = ParseCommandLine({"--yes"});
    EXPECT_FALSE(alone.usageError.empty());
    EXPECT_FALSE(IsWindowMode(alone.mode));
    EXPECT_EQ(ParseCommandLine({"--other"}).mode, Mode::Normal);
}

} // namespace
} // namespace hw::app
