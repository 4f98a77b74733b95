#include "ports/win32/audio_win32.h"

// The device's thread: counts the buffer and wakes the mixing thread.
void CALLBACK Win32Audio::DeviceCallback(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR,
                                         DWORD_PTR) {
    auto* self = reinterpret_cast<Win32Audio*>(instance);
    if (message != WOM_DONE || !self) return;
    InterlockedIncrement(&self->pendingDone);
    SetEvent(self->wakeEvent);
}

DWORD WINAPI Win32Audio::MixThread(LPVOID self) {
    static_cast<Win32Audio*>(self)->Mix();
    return 0;
}

void Win32Audio::Mix() {
    while (InterlockedCompareExchange(&running, 0, 0)) {
        WaitForSingleObject(wakeEvent, INFINITE);
        while (InterlockedCompareExchange(&running, 0, 0) && pendingDone > 0) {
            InterlockedDecrement(&pendingDone);
            bufferDone(callbackContext);
        }
    }
}

Win32Audio::PreparedBuffer* Win32Audio::Find(uint8_t* block) {
    for (int i = 0; i < bufferCount; ++i) {
        if (buffers[i].block == block) return &buffers[i];
    }
    return nullptr;
}

Win32Audio::~Win32Audio() {
    Close();
}

int Win32Audio::Open(int formatFlags, int framesPerBuffer, AudioBufferDone done, void* context) {
    if (device || !done || framesPerBuffer <= 0) return 0;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = (formatFlags & AUDIO_FORMAT_STEREO) ? 2 : 1;
    format.nSamplesPerSec = (formatFlags & AUDIO_FORMAT_44KHZ) ? 44100 : 22050;
    format.wBitsPerSample = (formatFlags & AUDIO_FORMAT_16BIT) ? 16 : 8;
    format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;

    wakeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!wakeEvent) return 0;
    bufferDone = done;
    callbackContext = context;
    pendingDone = 0;
    bufferCount = 0;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(DeviceCallback),
                    reinterpret_cast<DWORD_PTR>(this),
                    CALLBACK_FUNCTION | WAVE_ALLOWSYNC) != MMSYSERR_NOERROR) {
        device = nullptr;
        CloseHandle(wakeEvent);
        wakeEvent = nullptr;
        return 0;
    }
    waveOutPause(device); // nothing plays before Start
    running = 1;
    mixThread = CreateThread(nullptr, 0, MixThread, this, 0, nullptr);
    if (!mixThread) {
        running = 0;
        waveOutClose(device);
        device = nullptr;
        CloseHandle(wakeEvent);
        wakeEvent = nullptr;
        return 0;
    }
    // The mixer must keep pace with the device, whatever the animation does.
    SetThreadPriority(mixThread, THREAD_PRIORITY_TIME_CRITICAL);
    return 1;
}

int Win32Audio::Prepare(uint8_t* block, int bytes) {
    if (!device || !block || bytes <= 0 || bufferCount == MAX_BUFFERS) return 0;
    PreparedBuffer& b = buffers[bufferCount];
    b.block = block;
    b.header = WAVEHDR{};
    b.header.lpData = reinterpret_cast<LPSTR>(block);
    b.header.dwBufferLength = static_cast<DWORD>(bytes);
    if (waveOutPrepareHeader(device, &b.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return 0;
    ++bufferCount;
    return 1;
}

void Win32Audio::Queue(uint8_t* block, int bytes) {
    PreparedBuffer* b = device ? Find(block) : nullptr;
    if (!b || bytes <= 0 || static_cast<DWORD>(bytes) > b->header.dwBufferLength) return;
    waveOutWrite(device, &b->header, sizeof(WAVEHDR));
}

void Win32Audio::Start() {
    if (device) waveOutRestart(device);
}

void Win32Audio::Close() {
    if (!device) return;
    // Stop the mixing thread first, so that nothing is queued while the
    // device hands its buffers back; then reset and close the device before
    // the caller frees the blocks.
    InterlockedExchange(&running, 0);
    SetEvent(wakeEvent);
    WaitForSingleObject(mixThread, INFINITE);
    CloseHandle(mixThread);
    mixThread = nullptr;
    waveOutReset(device);
    for (int i = 0; i < bufferCount; ++i) {
        waveOutUnprepareHeader(device, &buffers[i].header, sizeof(WAVEHDR));
    }
    bufferCount = 0;
    waveOutClose(device);
    device = nullptr;
    CloseHandle(wakeEvent);
    wakeEvent = nullptr;
    bufferDone = nullptr;
    callbackContext = nullptr;
}
