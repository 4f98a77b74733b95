#include "engine/random.h"

#include <cstdint>

void RandomGenerator::SeedRandom(uint32_t seed) {
    randomState = seed;
}

int32_t RandomGenerator::RandomNext() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int32_t>((randomState >> 16) & 0x7FFF);
}

int32_t RandomGenerator::RandomBelow(int32_t n) {
    if (n < 1) return 0;
    return RandomNext() % n;
}

int32_t RandomGenerator::RandomBetween(int32_t lo, int32_t hi) {
    if (hi <= lo) return lo;
    const int64_t range = static_cast<int64_t>(hi) - lo;
    return static_cast<int32_t>(lo + RandomNext() % range);
}

int32_t RandomGenerator::RandomAround(int32_t centre, int32_t spread) {
    int64_t half = spread < 0 ? -static_cast<int64_t>(spread) : spread;
    if (half == 0) return centre;
    int64_t width = 2 * half;
    int64_t multiplier = 1;
    while (width >= 32767) {
        width /= 10;
        multiplier *= 10;
    }
    const int64_t value = centre + multiplier * (RandomNext() % width) - half;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}
