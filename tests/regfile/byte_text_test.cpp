// Byte text read piece by piece, as continued lines bring it, gives the bytes the whole text means.
#include "regfile/byte_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hw::regfile {
namespace {

struct Case {
    std::vector<std::string> pieces;
    bool valid;
    std::vector<std::uint8_t> bytes;
};

TEST(ByteTextDecoder, ReadsPiecesAsOneText) {
    const Case cases[] = {
        {{}, true, {}},
        {{"01,ab,FF"}, true, {0x01, 0xAB, 0xFF}},
        {{"1,a,"}, true, {0x01, 0x0A}},
        {{" 01 , 0 2 ,\t3"}, true, {0x01, 0x02, 0x03}},
        {{"01,0", "2,03"}, true, {0x01, 0x02, 0x03}},
        {{"01,", "", ",02"}, false, {}},
        {{"0102"}, false, {}},
        {{"zz"}, false, {}},
        {{",01"}, false, {}},
        {{"01,,02"}, false, {}},
        {{"01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,g1"}, false, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes{0x99};
        ByteTextDecoder decoder(bytes);
        std::string joined;
        for (const std::string& piece : c.pieces) {
            decoder.Feed(piece);
            joined += piece + "|";
        }
        EXPECT_EQ(decoder.Valid(), c.valid) << joined;
        if (c.valid) {
            EXPECT_EQ(bytes, c.bytes) << joined;
        }
    }
    std::vector<std::uint8_t> bytes;
    ByteTextDecoder continued(bytes);
    continued.Feed("01,\\02,", '\\');
    EXPECT_TRUE(continued.Valid());
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x01, 0x02}));
}

// A piece read and then taken back leaves the bytes and the reading as they were, the byte a lone first
// digit began included.
TEST(ByteTextDecoder, RewindTakesBackAPiece) {
    std::vector<std::uint8_t> bytes;
    ByteTextDecoder decoder(bytes);
    decoder.Feed("ab,1");
    for (const char* piece : {"\"x", "2,zz", "3,44,5", ""}) {
        const ByteTextDecoder::Mark mark = decoder.Where();
        decoder.Feed(piece);
        decoder.Rewind(mark);
        EXPECT_TRUE(decoder.Valid()) << piece;
        EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xAB, 0x01})) << piece;
    }
    decoder.Feed("2,3");
    EXPECT_TRUE(decoder.Valid());
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xAB, 0x12, 0x03}));
}

} // namespace
} // namespace hw::regfile
