// The settings and the Setup scan that the dialogs work on.
#pragma once

#include <cstdint>

extern bool Sound;
extern int32_t Gamma;
extern int32_t PlayMode;
extern int32_t MasterVolume;

int ReadSettings();
int WriteSettings();
int ScanThemeSetup();
