#include "editors/hex_search.h"
#include "editors/picture_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace hw::editors {
namespace {

TEST(HexSearchTest, FindsTheByteTextCharacterForCharacterFromAPosition) {
    const std::string bytes("\x00\x11\x22\x33\x22", 5); // 00 11 22 33 22
    struct Case {
        std::string pattern;
        std::size_t from;
        std::optional<std::size_t> found;
    };
    const std::vector<Case> cases = {
        {"22", 0, 6},    {"22", 6, 6},          {"22", 7, 12},           {"22", 13, std::nullopt},
        {"22 33", 0, 6}, {"", 0, std::nullopt}, {"2 3", 0, 7}, // an untidy text matches across bytes
        {"3", 0, 9},     {"1 2", 0, 4},         {"44", 0, std::nullopt}, {"22 ", 0, 6},
    };
    for (const Case& test : cases)
        EXPECT_EQ(FindInByteText(bytes, test.pattern, test.from), test.found)
            << '"' << test.pattern << "\" from " << test.from;
}

TEST(HexSearchTest, FindsAcrossTheChunksOfALargeBuffer) {
    std::string bytes(300000, '\0');
    bytes[65535] = '\x12';
    bytes[65536] = '\x34';
    bytes[299999] = '\x56';
    EXPECT_EQ(FindInByteText(bytes, "12 34", 0), 3u * 65535);
    EXPECT_EQ(FindInByteText(bytes, "2 3", 0), 3u * 65535 + 1);
    EXPECT_EQ(FindInByteText(bytes, "56", 1), 3u * 299999);
    EXPECT_EQ(FindInByteText(bytes, "6", 1), 3u * 299999 + 1);
}

// Every pattern cut from the text across a 64 KiB chunk boundary, at every character of a byte and of many
// lengths, is found where the whole text has it first. Chunks count from where the search starts.
TEST(HexSearchTest, FindsEveryPatternThatStraddlesAChunkBoundary) {
    constexpr std::size_t kChunk = 1 << 16;
    std::string bytes(3 * kChunk + 100, '\0');
    std::uint32_t state = 12345; // a fixed sequence in which longer patterns occur once
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 24);
    }
    std::string text; // the whole byte text, the oracle
    for (const char byte : bytes) {
        static const char digits[] = "0123456789ABCDEF";
        if (!text.empty()) text += ' ';
        text += digits[static_cast<unsigned char>(byte) >> 4];
        text += digits[static_cast<unsigned char>(byte) & 0xF];
    }
    int patterns = 0;
    for (const std::size_t from : {std::size_t{0}, 3 * kChunk + 1, 3 * kChunk + 2}) {
        const std::size_t boundary = from - from % 3 + 3 * kChunk; // text position of the next chunk
        for (std::size_t start = boundary - 40; start < boundary + 5; ++start) {
            for (const std::size_t length : {2u, 5u, 7u, 8u, 10u, 11u, 14u, 23u, 38u}) {
                const std::string pattern = text.substr(start, length);
                ASSERT_EQ(FindInByteText(bytes, pattern, from), text.find(pattern, from))
                    << '"' << pattern << "\" from " << from << " at " << start;
                ++patterns;
            }
        }
    }
    EXPECT_EQ(patterns, 3 * 45 * 9);
}

TEST(PictureFormatTest, KnowsBitmapGifAndJpegByTheirMarks) {
    struct Case {
        std::string bytes;
        PictureFormat format;
    };
    const std::vector<Case> cases = {
        {"BM\x36\x00", PictureFormat::Bmp},
        {"GIF89a", PictureFormat::Gif},
        {"GIF", PictureFormat::Gif},
        {std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11), PictureFormat::Jpeg},
        {std::string("\xFF\xD8\xFF\xE0\x00\x10JFI", 9), PictureFormat::Unknown},
        {std::string(10, '\0'), PictureFormat::Unknown},
        {"B", PictureFormat::Unknown},
        {"", PictureFormat::Unknown},
    };
    for (const Case& test : cases)
        EXPECT_EQ(DetectPictureFormat(test.bytes), test.format) << test.bytes;
    EXPECT_EQ(PictureExtension(PictureFormat::Jpeg), "JPG");
}

} // namespace
} // namespace hw::editors
