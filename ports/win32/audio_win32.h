// Sound output through the wave mapper. The device's buffer-done notification
// only counts the played buffer and wakes the object's mixing thread: the
// mixer queues its next buffer from there, which a waveOut callback itself
// must not do.
#pragma once

#include "platform/audio_device.h"
#include "ports/win32/win32_platform.h"

#include <mmsystem.h>

class Win32Audio : public AudioDevice {
  public:
    Win32Audio() = default;
    // Closes the device if it is still open.
    ~Win32Audio() override;
    Win32Audio(const Win32Audio&) = delete;
    Win32Audio& operator=(const Win32Audio&) = delete;

    int Open(int formatFlags, int framesPerBuffer, AudioBufferDone done, void* context) override;
    int Prepare(uint8_t* block, int bytes) override;
    void Queue(uint8_t* block, int bytes) override;
    void Start() override;
    void Close() override;

  private:
    static constexpr int MAX_BUFFERS = 4;
    struct PreparedBuffer {
        uint8_t* block;
        WAVEHDR header;
    };

    static void CALLBACK DeviceCallback(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR,
                                        DWORD_PTR);
    static DWORD WINAPI MixThread(LPVOID self);
    void Mix();
    PreparedBuffer* Find(uint8_t* block);

    HWAVEOUT device = nullptr;
    PreparedBuffer buffers[MAX_BUFFERS] = {};
    int bufferCount = 0;
    AudioBufferDone bufferDone = nullptr;
    void* callbackContext = nullptr;
    HANDLE wakeEvent = nullptr;
    HANDLE mixThread = nullptr;
    // Buffers played and not yet reported; whether the mixing thread runs.
    volatile LONG pendingDone = 0;
    volatile LONG running = 0;
};
