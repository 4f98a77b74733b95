// The sine of whole degrees scaled by 65536, the engine's only trigonometry.
#pragma once

#include <cstdint>

// Entry i is 65536 * sin(i degrees) for i < 180 and 65536 * sin((i + 1) degrees)
// from 180 on, each within one unit; the cosine of a is entry (a + 90) mod 360.
extern const int32_t SINE_TABLE[360];
