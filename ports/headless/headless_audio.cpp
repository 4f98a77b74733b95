// The headless sound output: a capture device driven by the virtual clock, or
// by a device thread of its own in threaded mode.
#include "ports/headless/headless_audio.h"

#include "platform/system.h"

#include <algorithm>

namespace {

void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

// The 44-byte header of a PCM WAV file holding `dataBytes` of the format.
void WavHeader(uint8_t* h, int format, uint32_t dataBytes) {
    int channels = (format & AUDIO_FORMAT_STEREO) ? 2 : 1;
    int bits = (format & AUDIO_FORMAT_16BIT) ? 16 : 8;
    uint32_t rate = (format & AUDIO_FORMAT_44KHZ) ? 44100 : 22050;
    int align = channels * bits / 8;
    std::copy_n("RIFF", 4, h);
    Put32(h + 4, 36 + dataBytes);
    std::copy_n("WAVEfmt ", 8, h + 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1);
    Put16(h + 22, uint32_t(channels));
    Put32(h + 24, rate);
    Put32(h + 28, rate * uint32_t(align));
    Put16(h + 32, uint32_t(align));
    Put16(h + 34, uint32_t(bits));
    std::copy_n("data", 4, h + 36);
    Put32(h + 40, dataBytes);
}

} // namespace

HeadlessAudio::~HeadlessAudio() {
    Reset();
}

// Takes the oldest queued buffer, keeps its bytes and reports it played.
int HeadlessAudio::PlayOne() {
    AudioBufferDone done;
    void* context;
    {
        std::lock_guard<std::mutex> hold(deviceLock);
        if (!open || !started || queued == 0) return 0;
        QueuedBuffer b = queue[0];
        for (int i = 1; i < queued; i++) queue[i - 1] = queue[i];
        queued--;
        if (keepPlayed) played.insert(played.end(), b.block, b.block + b.bytes);
        if (recording && std::fwrite(b.block, 1, size_t(b.bytes), recording) != size_t(b.bytes)) {
            recordFailed = true;
        }
        recordedBytes += uint32_t(b.bytes);
        buffersPlayed++;
        done = bufferDone;
        context = callbackContext;
    }
    done(context);
    return 1;
}

void HeadlessAudio::DeviceThread() {
    while (threadRunning.load(std::memory_order_acquire)) {
        if (!PlayOne()) std::this_thread::yield();
    }
}

void HeadlessAudio::StopDeviceThread() {
    threadRunning.store(false, std::memory_order_release);
    if (deviceThread.joinable()) deviceThread.join();
}

void HeadlessAudio::RecordSilenceUntil(uint32_t now) {
    if (!recording) return;
    const bool stereo = (recordFormat & AUDIO_FORMAT_STEREO) != 0;
    const bool wide = (recordFormat & AUDIO_FORMAT_16BIT) != 0;
    const uint64_t rate = (recordFormat & AUDIO_FORMAT_44KHZ) ? 44100 : 22050;
    const uint32_t frameBytes = (stereo ? 2u : 1u) * (wide ? 2u : 1u);
    const uint64_t due = uint64_t(now - recordStart) * rate / 1000 * frameBytes;
    if (due <= recordedBytes) return;
    // Silence: the middle value of unsigned 8-bit samples, zero of signed 16-bit ones.
    uint8_t quiet[256];
    std::fill_n(quiet, sizeof(quiet), wide ? uint8_t(0) : uint8_t(0x80));
    uint64_t missing = due - recordedBytes;
    while (missing > 0) {
        const size_t n = size_t(std::min<uint64_t>(missing, sizeof(quiet)));
        if (std::fwrite(quiet, 1, n, recording) != n) recordFailed = true;
        recordedBytes += uint32_t(n);
        missing -= n;
    }
}

int HeadlessAudio::Open(int formatFlags, int framesPerBuffer, AudioBufferDone done, void* context) {
    std::lock_guard<std::mutex> hold(deviceLock);
    if (!available || open || !done || framesPerBuffer <= 0) return 0;
    RecordSilenceUntil(clock.Milliseconds());
    open = true;
    ++opens;
    started = false;
    bufferDone = done;
    callbackContext = context;
    openFormat = formatFlags;
    openFrames = framesPerBuffer;
    queued = 0;
    buffersPlayed = 0;
    clockMark = clock.Milliseconds();
    return 1;
}

int HeadlessAudio::Prepare(uint8_t* block, int bytes) {
    std::lock_guard<std::mutex> hold(deviceLock);
    return open && !failPrepare && block && bytes > 0;
}

void HeadlessAudio::Queue(uint8_t* block, int bytes) {
    std::lock_guard<std::mutex> hold(deviceLock);
    if (!open || queued == MAX_QUEUED) return;
    queue[queued++] = {block, bytes};
}

void HeadlessAudio::Start() {
    std::lock_guard<std::mutex> hold(deviceLock);
    if (!open || started) return;
    started = true;
    clockMark = clock.Milliseconds();
    if (threaded) {
        threadRunning.store(true, std::memory_order_release);
        deviceThread = std::thread(&HeadlessAudio::DeviceThread, this);
    }
}

void HeadlessAudio::Close() {
    StopDeviceThread(); // waits for a callback in progress
    std::lock_guard<std::mutex> hold(deviceLock);
    open = false;
    started = false;
    queued = 0;
    bufferDone = nullptr;
    callbackContext = nullptr;
}

void HeadlessAudio::Reset() {
    Close();
    StopRecording();
    std::lock_guard<std::mutex> hold(deviceLock);
    available = true;
    failPrepare = false;
    threaded = false;
    keepPlayed = true;
    buffersPlayed = 0;
    opens = 0;
    openFormat = 0;
    openFrames = 0;
    played.clear();
}

void HeadlessAudio::SetAvailable(bool on) {
    std::lock_guard<std::mutex> hold(deviceLock);
    available = on;
}
void HeadlessAudio::FailPrepare(bool fail) {
    std::lock_guard<std::mutex> hold(deviceLock);
    failPrepare = fail;
}
void HeadlessAudio::UseThread(bool on) {
    std::lock_guard<std::mutex> hold(deviceLock);
    threaded = on;
}

bool HeadlessAudio::IsOpen() {
    std::lock_guard<std::mutex> hold(deviceLock);
    return open;
}
int HeadlessAudio::Format() {
    std::lock_guard<std::mutex> hold(deviceLock);
    return openFormat;
}
int HeadlessAudio::Frames() {
    std::lock_guard<std::mutex> hold(deviceLock);
    return openFrames;
}
int HeadlessAudio::Queued() {
    std::lock_guard<std::mutex> hold(deviceLock);
    return queued;
}
uint64_t HeadlessAudio::BuffersPlayed() {
    std::lock_guard<std::mutex> hold(deviceLock);
    return buffersPlayed;
}
int HeadlessAudio::Opens() {
    std::lock_guard<std::mutex> hold(deviceLock);
    return opens;
}

void HeadlessAudio::ClearPlayed() {
    std::lock_guard<std::mutex> hold(deviceLock);
    played.clear();
}
void HeadlessAudio::KeepPlayed(bool keep) {
    std::lock_guard<std::mutex> hold(deviceLock);
    keepPlayed = keep;
}

int HeadlessAudio::RecordTo(const char* path) {
    StopRecording();
    std::lock_guard<std::mutex> hold(deviceLock);
    recording = std::fopen(path, "wb");
    if (!recording) return 0;
    recordedBytes = 0;
    recordStart = clock.Milliseconds();
    recordFailed = false;
    recordFormat = open ? openFormat : AUDIO_FORMAT_STEREO;
    uint8_t header[44];
    WavHeader(header, recordFormat, 0);
    if (std::fwrite(header, 1, sizeof(header), recording) != sizeof(header)) recordFailed = true;
    return 1;
}

int HeadlessAudio::StopRecording() {
    std::lock_guard<std::mutex> hold(deviceLock);
    if (!recording) return 1;
    if (!open) RecordSilenceUntil(clock.Milliseconds()); // the silence since the device closed
    uint8_t header[44];
    WavHeader(header, recordFormat, recordedBytes);
    bool ok = !recordFailed;
    if (recordedBytes % 2) ok = ok && std::fputc(0, recording) != EOF; // chunks end on even bytes
    ok = ok && std::fseek(recording, 0, SEEK_SET) == 0 &&
         std::fwrite(header, 1, sizeof(header), recording) == sizeof(header);
    ok = std::fclose(recording) == 0 && ok;
    recording = nullptr;
    return ok;
}

void HeadlessAudio::ClockAdvanced() {
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(deviceLock);
            if (!open || !started || threaded) return;
            uint32_t now = clock.Milliseconds();
            if (int32_t(now - clockMark) < int32_t(HEADLESS_AUDIO_BUFFER_MS)) return;
            clockMark += HEADLESS_AUDIO_BUFFER_MS;
        }
        PlayOne(); // an empty queue is an underrun: the time passes in silence
    }
}

void HeadlessAudio::ClockSet() {
    std::lock_guard<std::mutex> hold(deviceLock);
    clockMark = clock.Milliseconds();
}
