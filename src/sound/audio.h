// The mixer: four channels mixed into one 22050 Hz 8-bit stereo stream on the
// audio device's thread.
#pragma once

#include <cstdint>

class CSound;

class CAudio {
  public:
    // Starts `sound` on the first free channel; 0 when all four are busy.
    // Returns 1 without doing anything while sound output is off.
    int StartSound(uint32_t stopTime, CSound* sound, int volume, int pan);
    // Frees the first channel that plays `sound`.
    void StopSound(CSound* sound);
    // Recomputes the gains of the first channel that plays `sound`.
    void SetSoundVolumePan(CSound* sound, int volume, int pan);
};

extern CAudio audio;
