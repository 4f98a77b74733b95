// The headless sound output, a capture device. It "plays" a queued buffer by
// keeping its bytes, one buffer for every 125 ms that the virtual clock
// advances, and calls the buffer-done callback right there, on the caller's
// thread. In threaded mode a device thread of its own plays the buffers back
// to back instead, as a real device's callback thread would.
#pragma once

#include "platform/audio_device.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

class SystemServices;

constexpr uint32_t HEADLESS_AUDIO_BUFFER_MS = 125;

class HeadlessAudio : public AudioDevice {
  public:
    // `clock`: the virtual clock whose advance plays the buffers.
    explicit HeadlessAudio(SystemServices& clock) : clock(clock) {}
    ~HeadlessAudio() override;
    HeadlessAudio(const HeadlessAudio&) = delete;
    HeadlessAudio& operator=(const HeadlessAudio&) = delete;

    int Open(int formatFlags, int framesPerBuffer, AudioBufferDone done, void* context) override;
    int Prepare(uint8_t* block, int bytes) override;
    void Queue(uint8_t* block, int bytes) override;
    void Start() override;
    void Close() override;

    // Closes the device and restores every control to its default.
    void Reset();
    // Without a device, opening fails (default: a device is present).
    void SetAvailable(bool available);
    // Makes preparing buffers fail.
    void FailPrepare(bool fail);
    // In threaded mode the next opened device plays on a thread of its own.
    void UseThread(bool threaded);

    bool IsOpen();
    // Format flags and frames per buffer of the open device.
    int Format();
    int Frames();
    // Buffers queued and not yet played.
    int Queued();
    // Buffers played since the device was opened.
    uint64_t BuffersPlayed();
    // Times the device was opened since the last reset.
    int Opens();
    // Plays the oldest queued buffer now, whatever the clock says. Returns 0
    // when the device is closed, not started or has nothing queued.
    int PlayOne();

    // Every byte played since the last clear (kept unless switched off). Read
    // it only while no device thread runs.
    const std::vector<uint8_t>& Played() const { return played; }
    void ClearPlayed();
    void KeepPlayed(bool keep);

    // Writes everything played from now on to a WAV file, until the recording
    // is stopped. Returns 0 when the file cannot be created.
    int RecordTo(const char* path);
    // Completes the WAV file's header and closes it. Returns 0 on a write error.
    int StopRecording();

    // Told by the virtual clock: an advance plays the buffers that fall due, a
    // jump moves the device's clock without playing.
    void ClockAdvanced();
    void ClockSet();

  private:
    static constexpr int MAX_QUEUED = 8;
    struct QueuedBuffer {
        uint8_t* block;
        int bytes;
    };

    void DeviceThread();
    void StopDeviceThread();
    // While the device is closed the speakers are silent: the recording is
    // filled with silence up to `now`, so that it keeps time with the clock.
    // Called with deviceLock held.
    void RecordSilenceUntil(uint32_t now);

    SystemServices& clock;
    // Guards everything below against the device thread. The callback is
    // always called without it held, because the mixer queues its next
    // buffer from there.
    std::mutex deviceLock;
    bool available = true;
    bool failPrepare = false;
    bool threaded = false;
    bool keepPlayed = true;

    bool open = false;
    bool started = false;
    AudioBufferDone bufferDone = nullptr;
    void* callbackContext = nullptr;
    int openFormat = 0;
    int openFrames = 0;
    QueuedBuffer queue[MAX_QUEUED] = {};
    int queued = 0;
    uint64_t buffersPlayed = 0;
    int opens = 0;
    uint32_t clockMark = 0; // virtual time up to which buffers have been played
    std::vector<uint8_t> played;

    std::FILE* recording = nullptr;
    uint32_t recordedBytes = 0;
    uint32_t recordStart = 0; // the clock's time when the recording began
    int recordFormat = AUDIO_FORMAT_STEREO;
    bool recordFailed = false;

    std::thread deviceThread;
    std::atomic<bool> threadRunning{false};
};
