#include "platform/resources.h"

#include <gtest/gtest.h>

TEST(Resources, BuiltInSettingsRecordHoldsTheDefaults) {
    const auto bytes = FindResource("TEXT", 105);
    ASSERT_EQ(bytes.size(), 12u);
    const std::uint8_t expected[12] = {0, 1, 1, 25, 25, 6, 6, 6, 1, 0, 0, 0x80};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(bytes[i], expected[i]) << "byte " << i;
}

TEST(Resources, UnknownTypeOrIdIsEmpty) {
    EXPECT_TRUE(FindResource("TEXT", 9999).empty());
    EXPECT_TRUE(FindResource("WAVE", 105).empty());
}

TEST(Resources, DefaultHighScoreTableLayout) {
    const auto table = FindResource("TEXT", 102);
    ASSERT_EQ(table.size(), 270u);
    const int scores[8] = {131072, 65536, 32768, 16384, 8192, 4096, 2048, 1024};
    for (std::size_t row = 0; row < 8; ++row) {
        const std::size_t at = row * 34;
        for (std::size_t i = 0; i < 26; ++i) {
            const std::uint8_t c = table[at + i];
            EXPECT_TRUE(c == 0x50 || (c >= 0x71 && c <= 0x8A) || (c >= '0' && c <= '9'))
                << "row " << row << " place " << i;
        }
        EXPECT_NE(table[at], 0x50) << "a name begins with a letter";
        int score = 0;
        for (int k = 5; k >= 0; --k)
            score = score * 10 + (table[at + 26 + static_cast<std::size_t>(k)] - '0');
        EXPECT_EQ(score, scores[row]);
        if (row < 7) {
            EXPECT_EQ(table[at + 32], '\r');
            EXPECT_EQ(table[at + 33], '\n');
        }
    }
}
