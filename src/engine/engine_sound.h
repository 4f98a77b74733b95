// The engine's three calls into the mixer, through a table that tests can
// point elsewhere to see what the engine asks for.
#pragma once

#include <cstdint>

class CSound;

struct EngineSoundCalls {
    int (*start)(uint32_t stopTime, CSound* sound, int volume, int pan);
    void (*stop)(CSound* sound);
    void (*setVolumePan)(CSound* sound, int volume, int pan);
};

// The mixer's own operations by default.
extern EngineSoundCalls engineSound;
extern const EngineSoundCalls MIXER_SOUND_CALLS;

inline void StartSound(uint32_t stopTime, CSound* sound, int volume, int pan) {
    engineSound.start(stopTime, sound, volume, pan); // a dropped sound needs no handling here
}
inline void StopSound(CSound* sound) {
    engineSound.stop(sound);
}
inline void SetSoundVolumePan(CSound* sound, int volume, int pan) {
    engineSound.setVolumePan(sound, volume, pan);
}
