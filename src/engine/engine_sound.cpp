#include "engine/engine_sound.h"

#include "sound/audio.h"

namespace {

int MixerStart(uint32_t stopTime, CSound* sound, int volume, int pan) {
    return audio.StartSound(stopTime, sound, volume, pan);
}
void MixerStop(CSound* sound) {
    audio.StopSound(sound);
}
void MixerSetVolumePan(CSound* sound, int volume, int pan) {
    audio.SetSoundVolumePan(sound, volume, pan);
}

} // namespace

const EngineSoundCalls MIXER_SOUND_CALLS = {MixerStart, MixerStop, MixerSetVolumePan};
EngineSoundCalls engineSound = MIXER_SOUND_CALLS;
