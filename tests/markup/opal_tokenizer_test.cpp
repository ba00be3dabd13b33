#include "markup/opal_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hw::markup;

namespace {

struct ReadResult {
    std::string chars;
    std::vector<bool> fromEntity;
};

ReadResult ReadAll(std::string_view text) {
    TOPALCursor cursor{text};
    ReadResult result;
    for (TOPALChar c = ReadChar(cursor); !c.AtEnd; c = ReadChar(cursor)) {
        result.chars += c.Ch;
        result.fromEntity.push_back(c.FromEntity);
    }
    return result;
}

std::vector<TOPALToken> Tokens(std::string_view text) {
    TOPALCursor cursor{text};
    std::vector<TOPALToken> tokens;
    for (TOPALToken token = ReadToken(cursor); !token.AtEnd; token = ReadToken(cursor))
        tokens.push_back(token);
    return tokens;
}

std::string OnlyTag(std::string_view text) {
    const auto tokens = Tokens(text);
    EXPECT_EQ(tokens.size(), 1u) << text;
    if (tokens.empty()) return "<none>";
    EXPECT_TRUE(tokens[0].IsTag) << text;
    return tokens[0].Text;
}

} // namespace

TEST(OpalReadChar, EntityTerminators) {
    // Terminators that stay in the text.
    EXPECT_EQ(ReadAll("&amp").chars, "&");
    EXPECT_EQ(ReadAll("&lt&gt<").chars, "<><");
    // Terminators that are consumed.
    EXPECT_EQ(ReadAll("&lt;x").chars, "<x");
    EXPECT_EQ(ReadAll("&lt x").chars, "<x");
    EXPECT_EQ(ReadAll("&quot\tx").chars, "\"x");
    EXPECT_EQ(ReadAll("&gt\r\nx").chars, ">x");
    // Anything else leaves the ampersand as a plain character.
    EXPECT_EQ(ReadAll("&lta").chars, "&lta");
    EXPECT_EQ(ReadAll("&gt\rx").chars, "&gt\rx");
    EXPECT_EQ(ReadAll("&gt\nx").chars, "&gt\nx");
    EXPECT_EQ(ReadAll("&nbsp;").chars, "&nbsp;");
    EXPECT_EQ(ReadAll("&AMP;").chars, "&AMP;");
    EXPECT_EQ(ReadAll("&").chars, "&");
}

TEST(OpalReadChar, MarksEntityCharacters) {
    const ReadResult read = ReadAll("<&lt;&x&amp&");
    EXPECT_EQ(read.chars, "<<&x&&");
    EXPECT_EQ(read.fromEntity, (std::vector<bool>{false, true, false, false, true, false}));
}

TEST(OpalReadChar, StopsAtNulWithoutMoving) {
    const std::string text("a\0b", 3);
    TOPALCursor cursor{text};
    EXPECT_EQ(ReadChar(cursor).Ch, 'a');
    EXPECT_TRUE(ReadChar(cursor).AtEnd);
    EXPECT_EQ(cursor.Pos, 1u);
    // An entity name cut off by the NUL is still terminated by it.
    const std::string entity("&gt\0x", 5);
    EXPECT_EQ(ReadAll(entity).chars, ">");
}

TEST(OpalReadToken, TextAndTagsAlternate) {
    const auto tokens = Tokens("  \r\n\tHello <b>world &lt;3 \r\n<x>");
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_FALSE(tokens[0].IsTag);
    EXPECT_EQ(tokens[0].Text, "Hello ");
    EXPECT_TRUE(tokens[1].IsTag);
    EXPECT_EQ(tokens[1].Text, "b");
    EXPECT_EQ(tokens[2].Text, "world <3 \r\n");
    EXPECT_FALSE(tokens[2].IsTag);
    EXPECT_EQ(tokens[3].Text, "x");
}

TEST(OpalReadToken, EndIsReportedOnlyAfterTheLastToken) {
    TOPALCursor cursor{"text"};
    const TOPALToken text = ReadToken(cursor);
    EXPECT_EQ(text.Text, "text");
    EXPECT_FALSE(text.AtEnd);
    EXPECT_TRUE(ReadToken(cursor).AtEnd);
    EXPECT_TRUE(ReadToken(cursor).AtEnd);

    TOPALCursor blanks{" \r\n\t "};
    EXPECT_TRUE(ReadToken(blanks).AtEnd);
    TOPALCursor empty{""};
    EXPECT_TRUE(ReadToken(empty).AtEnd);
}

TEST(OpalReadToken, AttributeBlockForm) {
    EXPECT_EQ(OnlyTag("<Input Type=checkbox keyname=\"HKCU\\x\">"),
              "input\r\ntype=checkbox\r\nkeyname=HKCU\\x");
    EXPECT_EQ(OnlyTag("<  LABEL   VALUE = Hi  >"), "label\r\nvalue=Hi");
    // Values keep their case, bare and empty attributes keep only their name.
    EXPECT_EQ(OnlyTag("<body ReadOnly bgcolor=\"\" x= >"), "body\r\nreadonly\r\nbgcolor\r\nx");
    EXPECT_EQ(OnlyTag("<a x=\"1\"y=2>"), "a\r\nx=1\r\ny=2");
    EXPECT_EQ(OnlyTag("<a=b>"), "a=b");
    EXPECT_EQ(OnlyTag("<>"), "");
    EXPECT_EQ(OnlyTag("< \r\n>"), "");
}

TEST(OpalReadToken, QuotedValues) {
    // Line breaks and tabs become one space each; markup characters are plain inside quotes.
    EXPECT_EQ(OnlyTag("<a v=\"a\r\nb\tc d\">"), "a\r\nv=a  b c d");
    EXPECT_EQ(OnlyTag("<a v=\"1<2>3\">"), "a\r\nv=1<2>3");
    // An entity quote neither opens nor closes a value.
    EXPECT_EQ(OnlyTag("<a v=\"say &quot;hi&quot;\">"), "a\r\nv=say \"hi\"");
    EXPECT_EQ(OnlyTag("<a v=&quot;x&quot;>"), "a\r\nv=\"x\"");
    EXPECT_EQ(OnlyTag("<a v=\"a&amp;b\">"), "a\r\nv=a&b");
}

TEST(OpalReadToken, EntityGreaterThan) {
    // It closes an unquoted value, ...
    const auto closed = Tokens("<label value=a&gt;b>");
    ASSERT_EQ(closed.size(), 2u);
    EXPECT_EQ(closed[0].Text, "label\r\nvalue=a");
    EXPECT_FALSE(closed[1].IsTag);
    EXPECT_EQ(closed[1].Text, "b>");
    // ... but is an ordinary character in a name, after a name, or at the start of a value.
    EXPECT_EQ(OnlyTag("<a&gt;b>"), "a>b");
    EXPECT_EQ(OnlyTag("<a &gt;b>"), "a\r\n>b");
    EXPECT_EQ(OnlyTag("<a v=&gt;b>"), "a\r\nv=>b");
    EXPECT_EQ(OnlyTag("<&gt;>"), ">");
    // An entity "<" never opens a tag.
    const auto text = Tokens("&lt;b&gt;");
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].Text, "<b>");
    EXPECT_FALSE(text[0].IsTag);
}

TEST(OpalReadToken, TextEndingInsideATag) {
    // Only attributes flushed before the end are kept, with the leading line break.
    auto tokens = Tokens("<label value=x y");
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_TRUE(tokens[0].IsTag);
    EXPECT_EQ(tokens[0].Text, "\r\nlabel\r\nvalue=x");
    tokens = Tokens("<opal");
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].Text, "");
    tokens = Tokens("<a v=\"open");
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].Text, "\r\na");
}

TEST(OpalReadToken, NulEndsTheText) {
    const std::string text("<a>b\0<c>", 8);
    const auto tokens = Tokens(text);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[1].Text, "b");
}
