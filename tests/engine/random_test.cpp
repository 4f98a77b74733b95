#include "engine/random.h"

#include <gtest/gtest.h>

TEST(Random, GeneratorFollowsTheLinearCongruentialSequence) {
    RandomGenerator random;
    random.SeedRandom(0);
    EXPECT_EQ(random.RandomNext(), 38);
    EXPECT_EQ(random.RandomNext(), 7719);
    EXPECT_EQ(random.RandomNext(), 21238);
    EXPECT_EQ(random.RandomNext(), 2437);
}

TEST(Random, BelowAndBetweenStayInTheirRanges) {
    RandomGenerator random;
    random.SeedRandom(7);
    for (int i = 0; i < 1000; ++i) {
        const int32_t below = random.RandomBelow(7);
        EXPECT_GE(below, 0);
        EXPECT_LT(below, 7);
        const int32_t between = random.RandomBetween(-30, 30);
        EXPECT_GE(between, -30);
        EXPECT_LE(between, 29);
    }
}

TEST(Random, EmptyRangesNeverDivideByZero) {
    RandomGenerator random;
    random.SeedRandom(1);
    EXPECT_EQ(random.RandomBelow(0), 0);
    EXPECT_EQ(random.RandomBelow(-5), 0);
    EXPECT_EQ(random.RandomBetween(5, 5), 5);
    EXPECT_EQ(random.RandomBetween(9, 2), 9);
    const uint32_t before = random.randomState;
    EXPECT_EQ(random.RandomAround(1234, 0), 1234);
    EXPECT_EQ(random.randomState, before);
}

TEST(Random, AroundGivesCentreMinusSpreadUpToCentrePlusSpreadMinusOne) {
    RandomGenerator random;
    random.SeedRandom(0);
    EXPECT_EQ(random.RandomAround(5000, 1000), 5000 + 38 - 1000);
    random.SeedRandom(99);
    int32_t low = 1 << 30;
    int32_t high = -(1 << 30);
    for (int i = 0; i < 20000; ++i) {
        const int32_t v = random.RandomAround(5000, 10);
        low = std::min(low, v);
        high = std::max(high, v);
    }
    EXPECT_EQ(low, 4990);
    EXPECT_EQ(high, 5009);
}

TEST(Random, WideSpreadsStepInPowersOfTen) {
    RandomGenerator random;
    random.SeedRandom(3);
    for (int i = 0; i < 200; ++i) {
        const int32_t v = random.RandomAround(0, 100000); // width 200000 -> 20000 steps of 10
        EXPECT_GE(v, -100000);
        EXPECT_LT(v, 100000);
        EXPECT_EQ((v + 100000) % 10, 0);
    }
}

TEST(Random, ExtremeArgumentsDoNotOverflow) {
    RandomGenerator random;
    random.SeedRandom(5);
    for (int i = 0; i < 100; ++i) {
        const int32_t v = random.RandomAround(INT32_MAX, INT32_MAX);
        EXPECT_GE(v, 0);
        const int32_t w = random.RandomAround(INT32_MIN, INT32_MIN);
        EXPECT_LE(w, 0);
        const int32_t between = random.RandomBetween(INT32_MIN, INT32_MAX);
        (void)between;
    }
    random.SeedRandom(0);
    EXPECT_EQ(random.RandomAround(100, -10),
              100 + 38 % 20 - 10); // a negative spread counts as its size
}
