// Controls of the headless sound output for tests and tools. The device is a
// capture device: it "plays" a queued buffer by keeping its bytes, one buffer
// for every 125 ms that the virtual clock advances (HeadlessAdvanceTime), and
// calls the buffer-done callback right there, on the caller's thread. In
// threaded mode a device thread of its own plays the buffers back to back
// instead, as a real device's callback thread would.
#pragma once

#include <cstdint>
#include <vector>

constexpr uint32_t HEADLESS_AUDIO_BUFFER_MS = 125;

// Closes the device and restores every control to its default.
void HeadlessAudioReset();

// Without a device, opening fails (default: a device is present).
void HeadlessAudioSetAvailable(bool available);
// Makes preparing buffers fail.
void HeadlessAudioFailPrepare(bool fail);
// In threaded mode the next opened device plays on a thread of its own.
void HeadlessAudioUseThread(bool threaded);

bool HeadlessAudioIsOpen();
// Format flags and frames per buffer of the open device.
int HeadlessAudioFormat();
int HeadlessAudioFrames();
// Buffers queued and not yet played.
int HeadlessAudioQueued();
// Buffers played since the device was opened.
uint64_t HeadlessAudioBuffersPlayed();

// Plays the oldest queued buffer now, whatever the clock says. Returns 0 when
// the device is closed, not started or has nothing queued.
int HeadlessAudioPlayOne();

// Every byte played since the last clear (kept unless switched off). Read it
// only while no device thread runs.
const std::vector<uint8_t>& HeadlessAudioPlayed();
void HeadlessAudioClearPlayed();
void HeadlessAudioKeepPlayed(bool keep);

// Writes everything played from now on to a WAV file, until the recording is
// stopped. Returns 0 when the file cannot be created.
int HeadlessAudioRecordTo(const char* path);
// Completes the WAV file's header and closes it. Returns 0 on a write error.
int HeadlessAudioStopRecording();

// Called by the virtual clock: an advance plays the buffers that fall due, a
// jump (HeadlessSetTime) moves the device's clock without playing.
void HeadlessAudioClockAdvanced();
void HeadlessAudioClockSet();
