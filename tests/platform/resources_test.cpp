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
