// The user's settings: five general choices and the current value of every
// module parameter, read and written as a whole through the platform's store.
#pragma once

#include <cstdint>

extern bool Sound;           // sound output on
extern int32_t Gamma;        // image brightness correction, -3 to +3
extern int32_t PlayMode;     // 0 selected module, 1 random, 2 in turn
extern int32_t MasterVolume; // per cent

constexpr int32_t PLAY_SELECTED = 0;
constexpr int32_t PLAY_RANDOM = 1;
constexpr int32_t PLAY_SEQUENTIAL = 2;

// Loads `activeModule`, the general settings and every named parameter's
// value of the module table (which must already be filled).
int ReadSettings();
// Stores the same values back. Both return 1: store failures are silent.
int WriteSettings();
// Restores the in-memory values a program has before any read.
void ResetSettings();
