#include "editors/hex_search.h"
#include "editors/picture_format.h"

#include <gtest/gtest.h>

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
