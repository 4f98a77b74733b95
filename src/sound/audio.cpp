#include "sound/audio.h"

CAudio audio;

// Sound output is off until the mixer is opened.
int CAudio::StartSound(uint32_t, CSound*, int, int) {
    return 1;
}
void CAudio::StopSound(CSound*) {}
void CAudio::SetSoundVolumePan(CSound*, int, int) {}
