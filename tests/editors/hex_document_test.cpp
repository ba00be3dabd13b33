#include "editors/hex_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hw::editors {
namespace {

// Bytes from byte text ("00 11 22").
std::string BytesOf(const std::string& hexText) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hexText.size(); i += 3)
        bytes += static_cast<char>(std::stoi(hexText.substr(i, 2), nullptr, 16));
    return bytes;
}

HexDocument DocumentOf(const std::string& hexText, TextRange hexSelection = {}) {
    HexDocument document;
    document.SetBytes(BytesOf(hexText));
    document.hex.Set(hexSelection);
    document.SyncCharsFromHex();
    return document;
}

TEST(HexDocumentTest, TypingHexDigitsOverwritesOnADigitAndInsertsAfterAByte) {
    struct Case {
        std::string before;
        TextRange selection;
        std::string typed;
        std::string after;
        std::size_t caret;
    };
    const std::vector<Case> cases = {
        {"", {0, 0}, "A", "A0", 1},
        {"", {0, 0}, "A5", "A5", 2},
        {"", {0, 0}, "A51", "A5 10", 4}, // at the end a new byte; the caret stands before its 0
        {"12 34", {3, 0}, "F", "12 F4", 4},
        {"12 34", {2, 0}, "F", "12 F0 34", 4},
        {"12 34", {0, 0}, "f", "F2 34", 1},
        {"12 34", {1, 0}, "F", "1F 34", 2},
        {"12 34", {0, 5}, "7", "70", 1},          // wholly selected
        {"12 34 56", {0, 2}, "7", "70 34 56", 1}, // selection from the start keeps the blank after it
        {"12 34 56", {2, 3}, "7", "12 70 56", 4}, // a blank and a pair
        {"12 34 56", {2, 6}, "7", "12 70", 4},    // reaching the end: appended in place of the selection
        {"12 34", {4, 0}, "G", "12 34", 4},       // not a digit: nothing
        {"00 11 22 33", {3, 1}, "9", "00 90 11 22 33", 4}, // a part-byte selection is rounded first
    };
    for (const Case& test : cases) {
        HexDocument document = DocumentOf(test.before, test.selection);
        for (char typed : test.typed)
            document.TypeHexDigit(typed);
        EXPECT_EQ(document.HexText(), test.after) << test.before << " typing " << test.typed;
        EXPECT_EQ(document.HexRange(), (TextRange{test.caret, 0})) << test.before << " typing " << test.typed;
        EXPECT_EQ(document.PrintableText().size(), document.ByteCount());
    }
}

TEST(HexDocumentTest, DeleteRemovesOneByteAndNeverLeavesALeadingBlank) {
    struct Case {
        std::string before;
        TextRange selection;
        bool inChars;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"00 11 22", {0, 0}, false, "11 22"},
        {"00 11 22", {1, 0}, false, "11 22"},
        {"00 11 22", {6, 0}, false, "00 11"},
        {"00 11 22", {2, 0}, false, "00 22"}, // on the blank after byte 0: byte 1 goes
        {"00 11 22", {8, 0}, false, "00 11 22"},
        {"00 11 22", {2, 6}, false, "00 22"}, // a selection does not widen it
        {"41 42 43", {0, 2}, true, "43"},     // characters 0 and 1
        {"41 42 43", {1, 0}, true, "41 43"},
        {"41 42 43", {3, 0}, true, "41 42 43"},
    };
    for (const Case& test : cases) {
        HexDocument document = DocumentOf(test.before);
        if (test.inChars) {
            document.chars.Set(test.selection);
            document.DeleteInChars();
        } else {
            document.hex.Set(test.selection);
            document.DeleteInHex();
        }
        EXPECT_EQ(document.HexText(), test.after) << test.before << " at " << test.selection.start;
    }
}

TEST(HexDocumentTest, RoundingAndMappingGiveWholeBytesInBothColumns) {
    // A drag from the middle of byte 1 to the middle of byte 3 of 00 11 22 33 44.
    HexDocument document = DocumentOf("00 11 22 33 44", {4, 6});
    document.RoundHexSelection();
    EXPECT_EQ(document.HexRange(), (TextRange{2, 6}));
    EXPECT_EQ(document.CharRange(), (TextRange{1, 2}));

    struct Mapping {
        TextRange chars;
        TextRange hex;
    };
    for (const Mapping& mapping : {Mapping{{0, 0}, {0, 0}}, Mapping{{0, 2}, {0, 5}}, Mapping{{1, 2}, {2, 6}},
                                   Mapping{{3, 0}, {8, 0}}}) {
        EXPECT_EQ(CharToHexRange(mapping.chars), mapping.hex);
        EXPECT_EQ(HexToCharRange(mapping.hex), mapping.chars);
    }
    // Within one byte nothing is left; a selection reaching the end keeps the end.
    EXPECT_EQ(RoundedHexRange({3, 1}, 14), (TextRange{2, 0}));
    EXPECT_EQ(RoundedHexRange({1, 13}, 14), (TextRange{0, 14}));
}

TEST(HexDocumentTest, TypingInTheCharacterColumnInsertsOrReplacesWithOneByte) {
    HexDocument document = DocumentOf("41 42 43");
    document.chars.Set({1, 0});
    EXPECT_TRUE(document.TypeCharacter('Z'));
    EXPECT_EQ(document.HexText(), "41 5A 42 43");
    document.chars.Set({0, 3});
    EXPECT_TRUE(document.TypeCharacter('0'));
    EXPECT_EQ(document.HexText(), "30 43");
    EXPECT_FALSE(document.TypeCharacter(' '));
    EXPECT_EQ(document.PrintableText(), "0C");
}

TEST(HexDocumentTest, CopyAndPasteLandBeforeTheCaretsByteOrInPlaceOfTheSelection) {
    HexDocument source = DocumentOf("41 42 43", {0, 5});
    EXPECT_EQ(source.CopiedBytes(), BytesOf("41 42"));
    source.hex.Set({0, 0});
    EXPECT_EQ(source.CopiedBytes(), "");

    struct Case {
        std::string before;
        TextRange selection;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"00 11 22 33", {10, 0}, "00 11 22 41 42 33"}, // low digit of byte 3
        {"00 11 22 33", {8, 0}, "00 11 22 41 42 33"},  // the blank before byte 3
        {"00 11 22 33", {0, 0}, "41 42 00 11 22 33"},
        {"00 11 22 33", {11, 0}, "00 11 22 33 41 42"},
        {"", {0, 0}, "41 42"},
        {"00 11 22 33", {2, 6}, "00 41 42 33"},
        {"00 11 22 33", {0, 5}, "41 42 22 33"},
    };
    for (const Case& test : cases) {
        HexDocument document = DocumentOf(test.before, test.selection);
        document.Paste(BytesOf("41 42"));
        EXPECT_EQ(document.HexText(), test.after) << test.before << " at " << test.selection.start;
    }
}

TEST(HexDocumentTest, LinesAndPrintedLinesFollowTheByteCount) {
    for (std::size_t count : {0u, 16u, 33u, 256u, 257u}) {
        HexDocument document;
        document.SetBytes(std::string(count, 'A'));
        EXPECT_EQ(document.LineCount(), count == 0 ? 1 : (count + 15) / 16) << count;
    }
    HexDocument document;
    document.SetBytes(std::string(33, '\0') + "A");
    EXPECT_EQ(document.LineText(2), "00000020  00 41" + std::string(44, ' ') + ".A");
}

} // namespace
} // namespace hw::editors
