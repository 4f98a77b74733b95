#include "engine/random.h"

#include <gtest/gtest.h>

TEST(Random, GeneratorFollowsTheLinearCongruentialSequence) {
    SeedRandom(0);
    EXPECT_EQ(RandomNext(), 38);
    EXPECT_EQ(RandomNext(), 7719);
    EXPECT_EQ(RandomNext(), 21238);
    EXPECT_EQ(RandomNext(), 2437);
}

TEST(Random, BelowAndBetweenStayInTheirRanges) {
    SeedRandom(7);
    for (int i = 0; i < 1000; ++i) {
        const int32_t below = RandomBelow(7);
        EXPECT_GE(below, 0);
        EXPECT_LT(below, 7);
        const int32_t between = RandomBetween(-30, 30);
        EXPECT_GE(between, -30);
        EXPECT_LE(between, 29);
    }
}

TEST(Random, EmptyRangesNeverDivideByZero) {
    SeedRandom(1);
    EXPECT_EQ(RandomBelow(0), 0);
    EXPECT_EQ(RandomBelow(-5), 0);
    EXPECT_EQ(RandomBetween(5, 5), 5);
    EXPECT_EQ(RandomBetween(9, 2), 9);
    const uint32_t before = randomState;
    EXPECT_EQ(RandomAround(1234, 0), 1234);
    EXPECT_EQ(randomState, before);
}

TEST(Random, AroundGivesCentreMinusSpreadUpToCentrePlusSpreadMinusOne) {
    SeedRandom(0);
    EXPECT_EQ(RandomAround(5000, 1000), 5000 + 38 - 1000);
    SeedRandom(99);
    int32_t low = 1 << 30;
    int32_t high = -(1 << 30);
    for (int i = 0; i < 20000; ++i) {
        const int32_t v = RandomAround(5000, 10);
        low = std::min(low, v);
        high = std::max(high, v);
    }
    EXPECT_EQ(low, 4990);
    EXPECT_EQ(high, 5009);
}

TEST(Random, WideSpreadsStepInPowersOfTen) {
    SeedRandom(3);
    for (int i = 0; i < 200; ++i) {
        const int32_t v = RandomAround(0, 100000); // width 200000 -> 20000 steps of 10
        EXPECT_GE(v, -100000);
        EXPECT_LT(v, 100000);
        EXPECT_EQ((v + 100000) % 10, 0);
    }
}

TEST(Random, ExtremeArgumentsDoNotOverflow) {
    SeedRandom(5);
    for (int i = 0; i < 100; ++i) {
        const int32_t v = RandomAround(INT32_MAX, INT32_MAX);
        EXPECT_GE(v, 0);
        const int32_t w = RandomAround(INT32_MIN, INT32_MIN);
        EXPECT_LE(w, 0);
        const int32_t between = RandomBetween(INT32_MIN, INT32_MAX);
        (void)between;
    }
    SeedRandom(0);
    EXPECT_EQ(RandomAround(100, -10), 100 + 38 % 20 - 10); // a negative spread counts as its size
}
