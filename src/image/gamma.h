// Brightness curves applied to every GIF colour table as it is loaded, chosen
// by the user's Gamma setting.
#pragma once

#include <cstdint>

constexpr int GAMMA_MIN = -3;
constexpr int GAMMA_MAX = 3;

// Output values of each curve at the inputs 64, 128 and 192, for -3 to +3.
extern const uint8_t GAMMA_CURVES[7][3];

// Rewrites a 768-byte RGB table in place with the curve of `setting`, the
// user's Gamma setting: -3 (darkest) to +3 (brightest), 0 = none; values
// outside the range act as the nearest end.
void ApplyGammaCurve(uint8_t* table, int setting);
