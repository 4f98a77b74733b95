#include "sound/audio.h"
#include "base/error_sink.h"
#include "platform/audio_device.h"
#include "sound/sound.h"

#include <cstring>
#include <new>

namespace {

constexpr uint8_t SILENCE = 0x80;

void BufferDone(void* context) {
    CAudio* audio = static_cast<CAudio*>(context);
    if (audio->audioOn.load(std::memory_order_acquire)) audio->MixBuffer();
}

// The head's length: the loop point, kept within the data.
uint32_t HeadLength(const CSound* sound) {
    if (sound->loopPoint <= 0) return 0;
    return uint32_t(sound->loopPoint) < sound->length ? uint32_t(sound->loopPoint) : sound->length;
}

uint8_t ClampSample(int v) {
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

} // namespace

int CAudio::Init(int flags, int frames) {
    if (audioOn.load(std::memory_order_acquire)) return 1;
    // The mixing below makes 8-bit stereo at 22050 Hz only; any other format
    // is treated like a device that refuses it: sound stays off.
    if (flags != AUDIO_FORMAT_STEREO || frames <= 0 || frames > AUDIO_MAX_FRAMES) return 1;
    if (!device) return 1;

    formatFlags = flags;
    framesPerBuffer = frames;
    bytesPerBuffer = frames * 2;
    bool allocated = true;
    for (uint8_t*& block : blocks) {
        block = new (std::nothrow) uint8_t[size_t(bytesPerBuffer)];
        allocated = allocated && block;
    }
    for (AudioChannel& ch : channels) {
        ch.chunkBuffer = new (std::nothrow) uint8_t[size_t(framesPerBuffer)];
        allocated = allocated && ch.chunkBuffer;
    }
    for (AudioChannel& ch : channels) {
        ch.sound.store(nullptr, std::memory_order_relaxed);
        ch.stopTime.store(AUDIO_NEVER, std::memory_order_relaxed);
        ch.leftGain.store(0, std::memory_order_relaxed);
        ch.rightGain.store(0, std::memory_order_relaxed);
        ch.startCount.store(0, std::memory_order_relaxed);
        ch.finishedCount.store(0, std::memory_order_relaxed);
    }
    // Without a device sound is off, and nothing is said.
    bool prepareFailed = false;
    if (allocated && !OpenDevice(&prepareFailed) && !prepareFailed) {
        Release();
        return 1;
    }
    if (!allocated) {
        Release();
        if (errors) errors->ReportErrorF("Out of memory: %s", "CAudio::Init()");
        return 0;
    }
    if (prepareFailed) {
        Release();
        if (errors)
            errors->ReportErrorF("Multimedia error: %s",
                                 "CAudio::Init() waveOutPrepareHeader failed");
        return 0;
    }
    return 1;
}

bool CAudio::OpenDevice(bool* prepareFailed) {
    *prepareFailed = false;
    if (!device->Open(formatFlags, framesPerBuffer, BufferDone, this)) return false;
    if (!device->Prepare(blocks[0], bytesPerBuffer) ||
        !device->Prepare(blocks[1], bytesPerBuffer)) {
        device->Close();
        *prepareFailed = true;
        return false;
    }
    // No callback runs before Start: the mixing thread's state is set here.
    for (uint8_t* block : blocks) std::memset(block, SILENCE, size_t(bytesPerBuffer));
    for (AudioChannel& ch : channels) {
        ch.chunkPointer = nullptr;
        ch.playing = nullptr;
    }
    silentBuffers.store(0, std::memory_order_relaxed);
    // Buffer 0 comes back first. The index is settled before the device can
    // call back, and the device starts only once both buffers are queued.
    nextBuffer = 0;
    deviceOpen = true;
    audioOn.store(1, std::memory_order_release); // the callback mixes from now on
    device->Queue(blocks[0], bytesPerBuffer);
    device->Queue(blocks[1], bytesPerBuffer);
    device->Start();
    return true;
}

void CAudio::Shutdown() {
    if (!audioOn.load(std::memory_order_acquire)) return;
    audioOn.store(0, std::memory_order_release);
    if (deviceOpen) device->Close(); // no mixing pass runs after this
    deviceOpen = false;
    for (AudioChannel& ch : channels) ch.sound.store(nullptr, std::memory_order_relaxed);
    Release();
}

// The channels are looked at first: a play that the mixer has marked finished
// reset the silent count before (FinishPlay), so a count read afterwards
// does not include the buffers before the play's last chunk.
void CAudio::CloseWhenIdle() {
    if (!audioOn.load(std::memory_order_acquire) || !deviceOpen) return;
    for (int c = 0; c < AUDIO_CHANNELS; c++) {
        if (IsChannelBusy(c)) return;
    }
    if (silentBuffers.load(std::memory_order_acquire) < AUDIO_IDLE_BUFFERS) return;
    // Every buffer in flight is silent and nothing waits to play.
    device->Close();
    deviceOpen = false;
}

void CAudio::Release() {
    for (uint8_t*& block : blocks) {
        delete[] block;
        block = nullptr;
    }
    for (AudioChannel& ch : channels) {
        delete[] ch.chunkBuffer;
        ch.chunkBuffer = nullptr;
        ch.chunkPointer = nullptr;
        ch.playing = nullptr;
    }
}

void CAudio::SetMasterVolume(int percent) {
    masterVolume.store(percent < 0 ? 0 : percent > 100 ? 100 : percent, std::memory_order_relaxed);
}

int CAudio::VolumeToGain(int volume) const {
    if (volume <= 0) return 0; // a fade's last step can fall below 0: silence
    if (volume > SOUND_MAX_LEVEL) volume = SOUND_MAX_LEVEL;
    int gain = volume <= 100 ? volume * AUDIO_NORMAL_GAIN / 100
                             : (volume - 100) * 49151 / 27 + AUDIO_NORMAL_GAIN;
    return gain * MasterVolume() / 100;
}

void CAudio::Gains(int volume, int pan, int32_t* left, int32_t* right) const {
    int gain = VolumeToGain(volume);
    if (pan < 0) pan = 0;
    if (pan > SOUND_MAX_LEVEL) pan = SOUND_MAX_LEVEL;
    *left = *right = gain;
    if (pan < 64) *left = pan * gain / 64;
    if (pan > 64) *right = (128 - pan) * gain / 64;
}

bool CAudio::IsChannelBusy(int c) const {
    const AudioChannel& ch = channels[c];
    return ch.sound.load(std::memory_order_acquire) != nullptr &&
           ch.finishedCount.load(std::memory_order_acquire) !=
               ch.startCount.load(std::memory_order_relaxed);
}

int CAudio::FindPlaying(const CSound* sound) const {
    for (int c = 0; c < AUDIO_CHANNELS; c++) {
        if (channels[c].sound.load(std::memory_order_relaxed) == sound && IsChannelBusy(c))
            return c;
    }
    return -1;
}

int CAudio::StartSound(uint32_t stopTime, CSound* sound, int volume, int pan) {
    if (!audioOn.load(std::memory_order_acquire)) return 1;
    if (!sound) return 0;
    for (int c = 0; c < AUDIO_CHANNELS; c++) {
        if (IsChannelBusy(c)) continue;
        AudioChannel& ch = channels[c];
        int32_t left, right;
        Gains(volume, pan, &left, &right);
        ch.sound.store(nullptr, std::memory_order_release); // detach first
        ch.startCount.store(ch.startCount.load(std::memory_order_relaxed) + 1,
                            std::memory_order_release);
        ch.stopTime.store(stopTime, std::memory_order_relaxed);
        ch.leftGain.store(left, std::memory_order_relaxed);
        ch.rightGain.store(right, std::memory_order_relaxed);
        ch.sound.store(sound, std::memory_order_release); // attach last
        bool prepareFailed = false;
        if (!deviceOpen && !OpenDevice(&prepareFailed)) {
            // No device now: the sound is dropped and its channel stays free.
            ch.sound.store(nullptr, std::memory_order_release);
            return 0;
        }
        return 1;
    }
    return 0; // all channels busy: the sound is dropped
}

void CAudio::StopSound(CSound* sound) {
    if (!audioOn.load(std::memory_order_acquire) || !sound) return;
    int c = FindPlaying(sound);
    if (c >= 0) channels[c].sound.store(nullptr, std::memory_order_release);
}

void CAudio::SetSoundVolumePan(CSound* sound, int volume, int pan) {
    if (!audioOn.load(std::memory_order_acquire) || !sound) return;
    int c = FindPlaying(sound);
    if (c < 0) return;
    int32_t left, right;
    Gains(volume, pan, &left, &right);
    channels[c].leftGain.store(left, std::memory_order_relaxed);
    channels[c].rightGain.store(right, std::memory_order_relaxed);
}

void CAudio::MixBuffer() {
    uint8_t* out = blocks[nextBuffer];
    // Take every chunk (and its gains) before mixing.
    const uint8_t* chunks[AUDIO_CHANNELS];
    int32_t left[AUDIO_CHANNELS];
    int32_t right[AUDIO_CHANNELS];
    int active = 0;
    for (AudioChannel& ch : channels) {
        if (!ch.chunkPointer) continue;
        chunks[active] = ch.chunkPointer;
        left[active] = ch.leftGain.load(std::memory_order_relaxed);
        right[active] = ch.rightGain.load(std::memory_order_relaxed);
        active++;
    }
    for (int i = 0; i < framesPerBuffer; i++) {
        int l = 128;
        int r = 128;
        for (int k = 0; k < active; k++) {
            int s = chunks[k][i] - 128;
            l += (s * left[k]) >> 16; // floor division by 65536
            r += (s * right[k]) >> 16;
        }
        out[2 * i] = ClampSample(l);
        out[2 * i + 1] = ClampSample(r);
    }
    device->Queue(out, bytesPerBuffer);
    nextBuffer ^= 1;
    if (active == 0) {
        silentBuffers.store(silentBuffers.load(std::memory_order_relaxed) + 1,
                            std::memory_order_release);
    } else {
        silentBuffers.store(0, std::memory_order_release);
    }
    uint32_t now = sectionClock ? sectionClock->load(std::memory_order_relaxed) : 0;
    for (int c = 0; c < AUDIO_CHANNELS; c++) FillChunk(c, now);
}

void CAudio::FinishPlay(AudioChannel& ch, uint32_t start) {
    ch.playing = nullptr;
    silentBuffers.store(0, std::memory_order_release);
    ch.finishedCount.store(start, std::memory_order_release);
}

void CAudio::BeginPlay(AudioChannel& ch, CSound* sound, uint32_t start) {
    ch.playing = sound;
    ch.playingStart = start;
    ch.readPosition = 0;
    if (HeadLength(sound) != 0) {
        ch.headPhase = 1;
        ch.loopCounter = sound->headCount;
        ch.bytesLeft = HeadLength(sound);
    } else {
        ch.headPhase = 0;
        ch.loopCounter = 0;
        ch.bytesLeft = sound->length;
    }
}

// Moves on at the end of a segment: the next repeat of the head or the tail,
// the tail after the head, or the start again for a looping sound. False when
// the sound is over.
bool CAudio::NextSegment(AudioChannel& ch, const CSound* sound) {
    uint32_t loop = HeadLength(sound);
    if (ch.loopCounter != 0) {
        if (ch.headPhase) {
            if (--ch.loopCounter == 0) {
                ch.headPhase = 0;
                ch.loopCounter = sound->tailCount;
                ch.readPosition = loop;
                ch.bytesLeft = sound->length - loop;
            } else {
                ch.readPosition = 0;
                ch.bytesLeft = loop;
            }
        } else if (--ch.loopCounter != 0) {
            ch.readPosition = loop;
            ch.bytesLeft = sound->length - loop;
        }
    }
    if (ch.bytesLeft == 0 && (sound->flags & SOUND_LOOP)) {
        ch.readPosition = 0;
        if (loop != 0) {
            ch.headPhase = 1;
            ch.loopCounter = sound->headCount;
            ch.bytesLeft = loop;
        } else {
            ch.bytesLeft = sound->length;
        }
    }
    return ch.bytesLeft != 0;
}

void CAudio::FillChunk(int c, uint32_t now) {
    AudioChannel& ch = channels[c];
    ch.chunkPointer = nullptr;
    // A start count that changes while the sound is read means a new start is
    // being written: leave the channel until the next pass.
    uint32_t start = ch.startCount.load(std::memory_order_acquire);
    CSound* sound = ch.sound.load(std::memory_order_acquire);
    if (!sound || ch.startCount.load(std::memory_order_acquire) != start ||
        ch.finishedCount.load(std::memory_order_relaxed) == start) {
        ch.playing = nullptr;
        return;
    }
    if (ch.playing != sound || ch.playingStart != start) BeginPlay(ch, sound, start);
    if (now >= ch.stopTime.load(std::memory_order_relaxed)) {
        FinishPlay(ch, start);
        return;
    }
    uint32_t size = uint32_t(framesPerBuffer);
    uint32_t filled = 0;
    for (;;) {
        uint32_t n = ch.bytesLeft < size - filled ? ch.bytesLeft : size - filled;
        sound->ReadSamples(ch.readPosition, ch.chunkBuffer + filled, n);
        ch.readPosition += n;
        ch.bytesLeft -= n;
        filled += n;
        if (ch.bytesLeft != 0) break; // the chunk is full and the segment goes on
        if (!NextSegment(ch, sound)) {
            std::memset(ch.chunkBuffer + filled, SILENCE, size - filled);
            FinishPlay(ch, start);
            break;
        }
        if (filled == size) break;
    }
    if (filled > 0) ch.chunkPointer = ch.chunkBuffer;
}
