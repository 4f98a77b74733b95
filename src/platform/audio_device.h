// Sound output: one stream of sample frames fed through buffers that the
// mixer owns and queues in turn. Each platform implements these functions in
// its own folder; the core only calls them.
#pragma once

#include <cstdint>

// Format flags of the stream.
constexpr int AUDIO_FORMAT_16BIT = 1;  // 16-bit samples instead of 8-bit
constexpr int AUDIO_FORMAT_STEREO = 2; // two samples per frame, left first
constexpr int AUDIO_FORMAT_44KHZ = 4;  // 44100 frames per second instead of 22050

// Called on the device's thread each time a queued buffer has been played.
using AudioBufferDone = void (*)(void* context);

// Opens the output for `formatFlags`, in buffers of `framesPerBuffer` frames.
// The device stays paused until AudioDeviceStart. Returns 1, or 0 when there
// is no device or it refuses the format (no message is shown).
int AudioDeviceOpen(int formatFlags, int framesPerBuffer, AudioBufferDone done, void* context);

// Makes a buffer known to the device before it is first queued. 0 on failure.
int AudioDevicePrepare(uint8_t* block, int bytes);

// Queues a prepared buffer; buffers play in the order they were queued, and
// the device reports each through the callback once it has been played.
void AudioDeviceQueue(uint8_t* block, int bytes);

// Starts playing the queued buffers.
void AudioDeviceStart();

// Stops playing, forgets the queued buffers and waits for a callback that is
// running to return: no callback runs once this returns, so the buffers may
// then be released.
void AudioDeviceClose();
