#include "engine/sine_table.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SineTable, NamedEntries) {
    EXPECT_EQ(SINE_TABLE[0], 0);
    EXPECT_EQ(SINE_TABLE[30], 32768);
    EXPECT_EQ(SINE_TABLE[45], 46341);
    EXPECT_EQ(SINE_TABLE[90], 65536);
    EXPECT_EQ(SINE_TABLE[179], 1143);
    EXPECT_EQ(SINE_TABLE[180], -1143);
    EXPECT_EQ(SINE_TABLE[270], -65527);
    EXPECT_EQ(SINE_TABLE[359], 0);
}

TEST(SineTable, EveryEntryWithinOneUnitOfTheScaledSine) {
    const double degree = std::acos(-1.0) / 180.0;
    for (int i = 0; i < 360; ++i) {
        const int angle = i < 180 ? i : i + 1;
        EXPECT_LT(std::fabs(SINE_TABLE[i] - 65536.0 * std::sin(angle * degree)), 1.0)
            << "entry " << i;
    }
}
