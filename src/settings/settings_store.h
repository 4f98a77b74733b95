// The user's settings: the active module, six general choices and the
// current value of every module parameter, read and written as a whole
// through the platform's store under the saver's name.
#pragma once

#include "platform/settings_backend.h"

#include <cstdint>

struct ThemeTables;

// What the user is told when the settings could not be saved, with the reason.
constexpr const char* SETTINGS_NOT_SAVED = "The settings could not be saved: %s";

constexpr int32_t PLAY_SELECTED = 0;
constexpr int32_t PLAY_RANDOM = 1;
constexpr int32_t PLAY_SEQUENTIAL = 2;

// What the monitors other than the primary show during a full-screen run.
constexpr int32_t OTHER_MONITORS_PLAY = 0;
constexpr int32_t OTHER_MONITORS_BLACK = 1;

// How big pictures are drawn: as the theme made them, or at the largest whole
// scale at which the 800 by 600 design fits the screen.
constexpr int32_t PICTURE_SIZE_ORIGINAL = 0;
constexpr int32_t PICTURE_SIZE_FIT = 1;

class SettingsStore {
  public:
    // The profile the settings are kept under (the saver's name).
    const char* saverName = "";
    // The module table whose parameter values are read and written.
    ThemeTables* theme = nullptr;
    // Where the platform keeps them; without one reads give the defaults and
    // writes fail.
    SettingsStorage* storage = nullptr;

    int32_t activeModule = 0;                    // the module an activation plays
    bool Sound = true;                           // sound output on
    int32_t Gamma = 0;                           // image brightness correction, -3 to +3
    int32_t PlayMode = PLAY_SELECTED;            // 0 selected module, 1 random, 2 in turn
    int32_t MasterVolume = 100;                  // per cent
    int32_t OtherMonitors = OTHER_MONITORS_PLAY; // play the module too, or stay black
    int32_t PictureSize = PICTURE_SIZE_FIT;      // original size, or fit the screen

    // Why the last write failed (naming the file or key); empty after a
    // write that worked.
    char writeFailure[SETTINGS_REASON_LEN] = {};

    // Loads `activeModule`, the general settings and every named parameter's
    // value of the module table (which must already be filled). Returns 1;
    // values that cannot be read take their defaults.
    int ReadSettings();
    // Stores the same values back, all in one write. Returns 1, or 0 when the
    // store failed: `writeFailure` says why, and what was stored before stays.
    int WriteSettings();
    // Restores the in-memory values a program has before any read.
    void ResetSettings();
};
