#include "platform/HexBytes.h"

#include <gtest/gtest.h>

namespace korvana {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(HexBytesTest, WritesLowerCasePairsAndReadsEitherCase) {
    EXPECT_EQ(toHex(Bytes{0x00, 0x0a, 0xff}), "000aff");
    EXPECT_EQ(toHex(Bytes{}), "");
    EXPECT_EQ(parseHex("000AfF"), (Bytes{0x00, 0x0a, 0xff}));
    EXPECT_EQ(parseHex(""), Bytes{});
}

TEST(HexBytesTest, RefusesWhatIsNotPairsOfHexDigits) {
    for (const char* text : {"0", "0x", " 00", "0g", "00 "}) {
        EXPECT_FALSE(parseHex(text)) << text;
    }
}

} // namespace
} // namespace korvana
