// The mixer: four channels mixed into one 22050 Hz 8-bit stereo stream on the
// audio device's thread.
//
// The device is open only while something plays: an open output stream keeps
// the computer from sleeping and the monitor on. A start opens it again when
// it is closed, and CloseWhenIdle (on the engine's thread) closes it once the
// mixer has sent AUDIO_IDLE_BUFFERS silent buffers in a row.
//
// Threads: the engine's thread starts, stops and re-pans sounds; the device's
// thread mixes. They share no lock. A channel's request words (sound, stop
// time, gains, start count) are written by the engine only, the finished
// count by the mixer only; all are atomic. A start detaches the channel,
// writes the rest and attaches the sound last, so the mixer sees either a
// free channel or a complete request. The play position and the prepared
// chunk belong to the mixing thread alone.
#pragma once

#include <atomic>
#include <cstdint>

class CSound;
struct ErrorSink;

constexpr int AUDIO_CHANNELS = 4;
constexpr int AUDIO_FRAMES_PER_BUFFER = 2756; // about 125 ms at 22050 Hz
constexpr int AUDIO_MAX_FRAMES = 22050;
constexpr uint32_t AUDIO_NEVER = 0xFFFFFFFF; // stop time of a sound that plays to its end
constexpr int AUDIO_FULL_GAIN = 65535;
constexpr int AUDIO_NORMAL_GAIN = 16384; // volume 100: a quarter of full scale
// Silent buffers in a row (about two seconds) after which the device closes.
constexpr uint32_t AUDIO_IDLE_BUFFERS = 16;

struct AudioChannel {
    // Written by the engine's thread.
    std::atomic<CSound*> sound{nullptr}; // none: the channel is free
    std::atomic<uint32_t> stopTime{AUDIO_NEVER};
    std::atomic<int32_t> leftGain{0};
    std::atomic<int32_t> rightGain{0};
    std::atomic<uint32_t> startCount{0}; // counts the starts on this channel
    // Written by the mixing thread: the start count of the last play that ended.
    std::atomic<uint32_t> finishedCount{0};

    // The mixing thread's own.
    uint8_t* chunkBuffer = nullptr;
    const uint8_t* chunkPointer = nullptr; // none: nothing to mix this pass
    CSound* playing = nullptr;             // the sound the play state below belongs to
    uint32_t playingStart = 0;
    int headPhase = 0;
    int loopCounter = 0;
    uint32_t readPosition = 0; // byte offset in the sound's data
    uint32_t bytesLeft = 0;    // in the current segment
};

class AudioDevice;

class CAudio {
  public:
    // Where Init reports its failures.
    ErrorSink* errors = nullptr;
    // The output the mixer feeds; without one sound stays off.
    AudioDevice* device = nullptr;
    // The section clock the mixer cuts sounds by: milliseconds since the
    // current section began, written by the engine's thread.
    const std::atomic<uint32_t>* sectionClock = nullptr;
    // Set while the mixer runs.
    std::atomic<uint32_t> audioOn{0};

    // Opens the output device and starts mixing. Returns 1 when the mixer runs
    // and also when no device is available (sound then stays off silently);
    // 0 after a reported failure.
    int Init(int formatFlags, int framesPerBuffer);
    // Stops the device, waits for the mixing in progress and releases the buffers.
    void Shutdown();
    // Closes the device while nothing plays: after AUDIO_IDLE_BUFFERS silent
    // buffers, when no channel holds a sound. The next start opens it again.
    // Called on the engine's thread, now and then.
    void CloseWhenIdle();
    // Whether the device is open (the engine's thread's view).
    bool DeviceOpen() const { return deviceOpen; }

    // Starts `sound` on the first free channel, opening the device if it was
    // closed; 0 when all four are busy or the device cannot be opened again.
    // Returns 1 without doing anything while sound output is off.
    int StartSound(uint32_t stopTime, CSound* sound, int volume, int pan);
    // Frees the first channel that plays `sound`.
    void StopSound(CSound* sound);
    // Recomputes the gains of the first channel that plays `sound`.
    void SetSoundVolumePan(CSound* sound, int volume, int pan);

    // Overall volume in percent, 0 to 100; applies to sounds started or
    // re-panned from then on.
    void SetMasterVolume(int percent);
    int MasterVolume() const { return masterVolume.load(std::memory_order_relaxed); }

    // Gain in 1/65536 of a volume 0..127 (100 gives a quarter of full scale),
    // scaled by the master volume. Volumes below 0 are silent.
    int VolumeToGain(int volume) const;
    // Splits the gain of `volume` between left and right by `pan` (0..127, 64 centre).
    void Gains(int volume, int pan, int32_t* left, int32_t* right) const;

    // One mixing pass, run on the device's thread when a buffer has been
    // played: mixes the prepared chunks into the next buffer, queues it and
    // prepares the next chunks.
    void MixBuffer();
    // Prepares channel `c`'s next chunk of source samples at section time `now`.
    void FillChunk(int c, uint32_t now);

    bool IsChannelBusy(int c) const;
    const AudioChannel& Channel(int c) const { return channels[c]; }
    int FramesPerBuffer() const { return framesPerBuffer; }

  private:
    // Opens the device over the allocated buffers, queues two silent ones and
    // starts it; false when the device refuses (`prepareFailed`: a buffer
    // could not be prepared).
    bool OpenDevice(bool* prepareFailed);
    void Release();
    void BeginPlay(AudioChannel& ch, CSound* sound, uint32_t start);
    // Marks the play of `start` over, after counting the silence anew.
    void FinishPlay(AudioChannel& ch, uint32_t start);
    bool NextSegment(AudioChannel& ch, const CSound* sound);
    int FindPlaying(const CSound* sound) const;

    int formatFlags = 0;
    int framesPerBuffer = 0;
    int bytesPerBuffer = 0;
    uint8_t* blocks[2] = {nullptr, nullptr};
    int nextBuffer = 0;      // the mixing thread's while the device is open
    bool deviceOpen = false; // the engine's thread's
    // Silent buffers queued in a row, written by the mixing thread.
    std::atomic<uint32_t> silentBuffers{0};
    AudioChannel channels[AUDIO_CHANNELS];
    std::atomic<int> masterVolume{100};
};
