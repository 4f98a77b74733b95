// The engine's three calls into the mixer, through a table that tests can
// point elsewhere to see what the engine asks for.
#pragma once

#include <cstdint>

class CAudio;
class CSound;

struct EngineSoundCalls {
    int (*start)(void* target, uint32_t stopTime, CSound* sound, int volume, int pan);
    void (*stop)(void* target, CSound* sound);
    void (*setVolumePan)(void* target, CSound* sound, int volume, int pan);
    void* target; // passed to each call

    // Calls that do nothing: an engine without sound.
    static EngineSoundCalls Silent();
    // The mixer's own operations.
    static EngineSoundCalls Mixer(CAudio& audio);
};
