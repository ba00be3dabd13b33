#include "util/text.h"

#include <gtest/gtest.h>

namespace hw::util {
namespace {

TEST(TextTest, TrimBlanksRemovesOnlyBlanksAndTabs) {
    EXPECT_EQ(TrimBlanks(" \t \t"), "");
    EXPECT_EQ(TrimBlanks("\t a b \t"), "a b");
    EXPECT_EQ(TrimBlanks("\r\nx\r\n "), "\r\nx\r\n");
    EXPECT_EQ(TrimBlanks(""), "");
}

TEST(TextTest, TextBetweenTakesFirstCloserAfterOpener) {
    EXPECT_EQ(TextBetween("abc", "a", "c"), "b");
    EXPECT_EQ(TextBetween("abc", "c", "c"), "");
    EXPECT_EQ(TextBetween("abc", "a", "x"), "");
    EXPECT_EQ(TextBetween("abc", "x", "c"), "");
    EXPECT_EQ(TextBetween("/import /file:<C:\\a.reg>", "/file:<", ">"), "C:\\a.reg");
    EXPECT_EQ(TextBetween("/file:<a>b>", "/file:<", ">"), "a");
    EXPECT_EQ(TextBetween("/FILE:<a>", "/file:<", ">"), "");
    // A closer before the opener does not count.
    EXPECT_EQ(TextBetween("> /key:<k>", "/key:<", ">"), "k");
}

TEST(TextTest, CuttingAtDelimiters) {
    EXPECT_EQ(TextBeforeLastChar("a,b,c", ','), "a,b");
    EXPECT_EQ(TextBefore("a,b,c", ","), "a");
    EXPECT_EQ(TextAfter("a,b,c", ","), "b,c");
    EXPECT_EQ(TextBeforeLastChar("abc", ','), "");
    EXPECT_EQ(TextBefore("abc", ","), "");
    EXPECT_EQ(TextAfter("abc", ","), "");
    EXPECT_EQ(TextAfter("key=a=b", "="), "a=b");
    EXPECT_EQ(TextBefore("a::b", "::"), "a");
    EXPECT_EQ(TextAfter("a::b", "::"), "b");
}

TEST(TextTest, ReplaceTextCaseHandling) {
    EXPECT_EQ(ReplaceText("aXbxc", "x", "-", true), "a-b-c");
    EXPECT_EQ(ReplaceText("aXbxc", "x", "-", false), "aXb-c");
    // Unmatched parts keep their own spelling when matching ignores case.
    EXPECT_EQ(ReplaceText("Hello HELLO", "hello", "bye", true), "bye bye");
    EXPECT_EQ(ReplaceText("MixEd", "xe", "", true), "Mid");
}

TEST(TextTest, ReplaceTextDoesNotOverlapOrRescan) {
    EXPECT_EQ(ReplaceText("a\\\\b", "\\\\", "\\", false), "a\\b");
    EXPECT_EQ(ReplaceText("\\\\\\", "\\\\", "\\", false), "\\\\");
    EXPECT_EQ(ReplaceText("aaa", "a", "aa", false), "aaaaaa");
    EXPECT_EQ(ReplaceText("aaaa", "aa", "b", false), "bb");
}

TEST(TextTest, ReplaceTextEmptyInputs) {
    EXPECT_EQ(ReplaceText("abc", "", "x", false), "abc");
    EXPECT_EQ(ReplaceText("", "a", "x", true), "");
    EXPECT_EQ(ReplaceText("abcabc", "b", "", false), "acac");
}

TEST(TextTest, ReplaceTextKeepsHighBytes) {
    // UTF-8 bytes must never be altered by the case folding.
    EXPECT_EQ(ReplaceText("\xC3\xA4x\xC3\x84", "X", "y", true), "\xC3\xA4y\xC3\x84");
}

TEST(TextTest, ReplaceChar) {
    EXPECT_EQ(ReplaceChar("a\\b\\c", '\\', "\\\\"), "a\\\\b\\\\c");
    EXPECT_EQ(ReplaceChar("abc", 'b', ""), "ac");
    EXPECT_EQ(ReplaceChar("", 'b', "x"), "");
}

TEST(TextTest, SplitTextDropsEmptyPiecesButCountsSeparators) {
    std::vector<std::string> pieces;
    EXPECT_EQ(SplitText("\\A\\\\B", '\\', pieces), 4);
    EXPECT_EQ(pieces, (std::vector<std::string>{"A", "B"}));

    pieces = {"kept"};
    EXPECT_EQ(SplitText("x", '\\', pieces), 1);
    EXPECT_EQ(pieces, (std::vector<std::string>{"kept", "x"}));

    pieces.clear();
    EXPECT_EQ(SplitText("", ',', pieces), 1);
    EXPECT_TRUE(pieces.empty());
}

TEST(TextTest, UpperCaseAsciiLeavesOtherBytes) {
    EXPECT_EQ(UpperCaseAscii("abz{AZ\xE4"), "ABZ{AZ\xE4");
}

} // namespace
} // namespace hw::util
