#include <gtest/gtest.h>

#include <string_view>

#include "platform/Crc32.h"

namespace {

std::span<const uint8_t> BytesOf(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(Crc32, StandardCheckValueFedWholeOrInPieces) {
    EXPECT_EQ(thorn::Crc32Of(BytesOf("123456789")), 0xCBF43926u);
    EXPECT_EQ(thorn::Crc32Of({}), 0u);
    thorn::Crc32 pieces;
    pieces.Update(BytesOf("1234"));
    pieces.Update({});
    pieces.Update(BytesOf("56789"));
    EXPECT_EQ(pieces.Value(), 0xCBF43926u);
    thorn::Crc32 resumed(thorn::Crc32Of(BytesOf("1234")));
    resumed.Update(BytesOf("56789"));
    EXPECT_EQ(resumed.Value(), 0xCBF43926u);
}

}  // namespace
