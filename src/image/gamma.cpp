#include "image/gamma.h"

const uint8_t GAMMA_CURVES[7][3] = {
    {17, 66, 148},  {32, 92, 169},   {49, 113, 183},  {64, 128, 192},
    {86, 149, 205}, {104, 164, 213}, {119, 175, 221},
};

void ApplyGammaCurve(uint8_t* table, int setting) {
    if (setting < GAMMA_MIN) setting = GAMMA_MIN;
    if (setting > GAMMA_MAX) setting = GAMMA_MAX;
    if (setting == 0) return;
    const uint8_t* row = GAMMA_CURVES[setting - GAMMA_MIN];
    // The curve runs through (0, 0), (64, p64), (128, p128), (192, p192) and
    // towards (256, 255), straight between those points.
    const int points[5] = {0, row[0], row[1], row[2], 255};
    uint8_t map[256];
    for (int v = 0; v < 256; ++v) {
        int segment = v >> 6;
        int low = points[segment];
        int high = points[segment + 1];
        map[v] = static_cast<uint8_t>(low + (high - low) * (v - (segment << 6)) / 64);
    }
    for (int i = 0; i < 768; ++i) table[i] = map[table[i]];
}
