// The engine's random numbers: one linear congruential generator and the
// three helpers that scheduling, positions and bounces draw from.
#pragma once

#include <cstdint>

struct RandomGenerator {
    uint32_t randomState = 0;

    // Restarts the generator from `seed` (the millisecond clock in a real run).
    void SeedRandom(uint32_t seed);
    // The next value of the generator, 0..32767.
    int32_t RandomNext();
    // r mod n; 0 when n is below 1 (an empty range has nothing to draw from).
    int32_t RandomBelow(int32_t n);
    // lo + (r mod (hi - lo)); lo when hi is not above lo.
    int32_t RandomBetween(int32_t lo, int32_t hi);
    // A value in [centre - spread, centre + spread - 1]: steps of 1 while the
    // range fits the generator, else steps of 10, 100, ... Spread 0 gives the
    // centre; a negative spread counts as its size. Clamped to 32 bits.
    int32_t RandomAround(int32_t centre, int32_t spread);
};
