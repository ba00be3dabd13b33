#include "core/value_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace hw::core {
namespace {

std::vector<BYTE> Bytes(std::string_view text, std::size_t capacity) {
    std::vector<BYTE> bytes(capacity, 0xEE);
    std::size_t count = capacity;
    HexToBytes(text, bytes.data(), count);
    bytes.resize(count);
    return bytes;
}

TEST(HexText, BytesToHexWithEitherSeparator) {
    const BYTE bytes[] = {0x0A, 0xFF, 0x00};
    EXPECT_EQ(BytesToHex(bytes, 3, ','), "0A,FF,00");
    EXPECT_EQ(BytesToHex(bytes, 3, ' '), "0A FF 00");
    EXPECT_EQ(BytesToHex(bytes, 1, ' '), "0A");
    EXPECT_EQ(BytesToHex(nullptr, 0, ' '), "");
}

TEST(HexText, PrintableKeepsOnlyAsciiLettersAndDigits) {
    const BYTE bytes[] = {0x41, 0x20, 0x7A, 0x2E, 0x00, 0x39, 0xC3, 0xA9, 0xFF};
    EXPECT_EQ(BytesToPrintable(bytes, sizeof bytes), "A.z..9...");
}

TEST(HexText, HexToBytesReadsPairsAtEveryThirdPosition) {
    EXPECT_EQ(Bytes(" 0a,ff,7 ", 3), (std::vector<BYTE>{0x0A, 0xFF}));
    EXPECT_EQ(Bytes("1,2", 1), (std::vector<BYTE>{0x10}));
    EXPECT_EQ(Bytes("zz", 1), (std::vector<BYTE>{0xFF}));
    EXPECT_EQ(Bytes("\t01 02 03\t", 3), (std::vector<BYTE>{1, 2, 3}));
    EXPECT_EQ(Bytes("", 2), std::vector<BYTE>{});
    EXPECT_EQ(Bytes("   ", 2), std::vector<BYTE>{});
}

TEST(HexText, HexToBytesStopsAtCapacity) {
    EXPECT_EQ(Bytes("01 02 03 04", 2), (std::vector<BYTE>{1, 2}));
    EXPECT_EQ(Bytes("01 0", 2), (std::vector<BYTE>{1}));
}

TEST(HexText, TolerantNumberClampsStrayCharacters) {
    EXPECT_EQ(HexPairToByte(""), 0);
    EXPECT_EQ(HexPairToByte("7f"), 0x7F);
    EXPECT_EQ(HexPairToByte(" 1"), 0x01);    // below "0" counts as 0
    EXPECT_EQ(HexPairToByte(":@"), 0x99);    // between "9" and "A" counts as 9
    EXPECT_EQ(HexPairToByte("g\xE9"), 0xFF); // from "G" upward counts as F
    EXPECT_EQ(HexPairToByte("FFFFFFFF"), 0xFFFFFFFFLL);
    EXPECT_EQ(HexPairToByte("123456789"), -1);
}

TEST(HexText, StrictNumberAndItsMessages) {
    EXPECT_EQ(HexToDWord("ffffffff"), 4294967295u);
    EXPECT_EQ(HexToDWord("00Ab"), 0xABu);
    EXPECT_EQ(HexToDWord(""), 0u);
    const auto messageOf = [](std::string_view text) {
        try {
            HexToDWord(text);
        } catch (const HexConversionError& error) {
            return std::string(error.what());
        }
        return std::string("no failure");
    };
    EXPECT_EQ(messageOf("123456789"), "Value overflow");
    EXPECT_EQ(messageOf("12G"), "Invalid char");
    EXPECT_EQ(messageOf("12 "), "Invalid char");
    EXPECT_EQ(messageOf("-1"), "Invalid char");
}

TEST(HexText, SwapDWordReversesBytes) {
    EXPECT_EQ(SwapDWord(0x01000000u), 1u);
    EXPECT_EQ(SwapDWord(0x12345678u), 0x78563412u);
    EXPECT_EQ(SwapDWord(SwapDWord(0xCAFEBABEu)), 0xCAFEBABEu);
}

TEST(ValueTextsOf, TextTypesStopAtTheFirstNulOrTheDataEnd) {
    const BYTE multi[] = {'a', 0, 'b', 0, 0};
    EXPECT_EQ(ValueTextsOf(REG_MULTI_SZ, multi, sizeof multi).value, "a");
    const BYTE unterminated[] = {'h', 'i'};
    const auto texts = ValueTextsOf(REG_SZ, unterminated, sizeof unterminated);
    EXPECT_EQ(texts.value, "hi");
    EXPECT_EQ(texts.display, "\"hi\"");
}

TEST(ValueTextsOf, NumbersInBothByteOrders) {
    const BYTE ff[] = {0xFF, 0, 0, 0};
    EXPECT_EQ(ValueTextsOf(REG_DWORD, ff, 4).value, "255");
    EXPECT_EQ(ValueTextsOf(REG_DWORD, ff, 4).display, "0x000000FF (255)");
    const BYTE all[] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ValueTextsOf(REG_DWORD, all, 4).display, "0xFFFFFFFF (4294967295)");
    const BYTE one[] = {0, 0, 0, 1};
    EXPECT_EQ(ValueTextsOf(REG_DWORD_BIG_ENDIAN, one, 4).value, "1");
}

TEST(ValueTextsOf, ShortNumberReadsOnlyTheBytesItHas) {
    const BYTE two[] = {0x34, 0x12};
    EXPECT_EQ(ValueTextsOf(REG_DWORD, two, 2).value, std::to_string(0x1234));
    EXPECT_EQ(ValueTextsOf(REG_DWORD, two, 0).value, "0");
}

TEST(ValueTextsOf, OtherTypesAsByteTextAndPrintable) {
    const BYTE ab[] = {0x41, 0x42};
    const auto texts = ValueTextsOf(REG_BINARY, ab, 2);
    EXPECT_EQ(texts.value, "41 42");
    EXPECT_EQ(texts.display, "AB");
    EXPECT_EQ(ValueTextsOf(0, ab, 1).value, "41");
}

} // namespace
} // namespace hw::core
