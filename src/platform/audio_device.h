// Sound output: one stream of sample frames fed through buffers that the
// mixer owns and queues in turn.
//
// Threading: Open, Prepare, Start and Close are called on the user-interface
// thread; Queue is called there before Start and afterwards on the device's
// thread from within the buffer-done callback. The callback runs on the
// device's own thread, never on the caller's while one of these calls runs,
// and never again once Close has returned.
#pragma once

#include <cstdint>

// Format flags of the stream.
constexpr int AUDIO_FORMAT_16BIT = 1;  // 16-bit samples instead of 8-bit
constexpr int AUDIO_FORMAT_STEREO = 2; // two samples per frame, left first
constexpr int AUDIO_FORMAT_44KHZ = 4;  // 44100 frames per second instead of 22050

// Called on the device's thread each time a queued buffer has been played.
using AudioBufferDone = void (*)(void* context);

class AudioDevice {
  public:
    virtual ~AudioDevice() = default;

    // Opens the output for `formatFlags`, in buffers of `framesPerBuffer`
    // frames. The device stays paused until Start. Returns 1, or 0 when there
    // is no device or it refuses the format (no message is shown).
    virtual int Open(int formatFlags, int framesPerBuffer, AudioBufferDone done, void* context) = 0;
    // Makes a buffer known to the device before it is first queued. 0 on failure.
    virtual int Prepare(uint8_t* block, int bytes) = 0;
    // Queues a prepared buffer; buffers play in the order they were queued,
    // and the device reports each through the callback once it has been played.
    virtual void Queue(uint8_t* block, int bytes) = 0;
    // Starts playing the queued buffers.
    virtual void Start() = 0;
    // Stops playing, forgets the queued buffers and waits for a callback that
    // is running to return: no callback runs once this returns, so the
    // buffers may then be released.
    virtual void Close() = 0;
};
