#include "engine/engine_sound.h"

#include "sound/audio.h"

namespace {

int MixerStart(void* target, uint32_t stopTime, CSound* sound, int volume, int pan) {
    return static_cast<CAudio*>(target)->StartSound(stopTime, sound, volume, pan);
}
void MixerStop(void* target, CSound* sound) {
    static_cast<CAudio*>(target)->StopSound(sound);
}
void MixerSetVolumePan(void* target, CSound* sound, int volume, int pan) {
    static_cast<CAudio*>(target)->SetSoundVolumePan(sound, volume, pan);
}

int SilentStart(void*, uint32_t, CSound*, int, int) {
    return 1;
}
void SilentStop(void*, CSound*) {}
void SilentVolumePan(void*, CSound*, int, int) {}

} // namespace

EngineSoundCalls EngineSoundCalls::Silent() {
    return {SilentStart, SilentStop, SilentVolumePan, nullptr};
}

EngineSoundCalls EngineSoundCalls::Mixer(CAudio& audio) {
    return {MixerStart, MixerStop, MixerSetVolumePan, &audio};
}
