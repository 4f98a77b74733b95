// The sound output on Qt Multimedia: a QAudioSink in pull mode on a thread of
// its own. The sink reads the queued buffers through a QIODevice; a buffer
// counts as played once the sink has taken all of it, and the mixer is then
// called on the same thread to mix and queue the next one. The sink keeps
// only a short buffer of its own, so the mixer's two buffers set the latency.
#pragma once

#include "platform/audio_device.h"

#include <QtGlobal>
#include <cstdint>
#include <memory>
#include <mutex>

class QAudioSink;
class QThread;

class QtAudio : public AudioDevice {
  public:
    QtAudio();
    // Closes the device.
    ~QtAudio() override;
    QtAudio(const QtAudio&) = delete;
    QtAudio& operator=(const QtAudio&) = delete;

    // Fails without a QCoreApplication, without an output device or when it
    // refuses the format.
    int Open(int formatFlags, int framesPerBuffer, AudioBufferDone done, void* context) override;
    int Prepare(uint8_t* block, int bytes) override;
    void Queue(uint8_t* block, int bytes) override;
    void Start() override;
    void Close() override;

  private:
    class QueueReader;
    static constexpr int MAX_QUEUED = 8;
    struct QueuedBuffer {
        uint8_t* block;
        int bytes;
    };

    // Fills `data` from the queue, and with silence where the queue runs
    // out; on the audio thread, for the sink.
    qint64 Read(char* data, qint64 maxSize);
    // Runs `f` on the audio thread and waits for it.
    template <typename F> void OnAudioThread(F f);

    std::mutex deviceLock; // guards the queue; never held while the callback runs
    QueuedBuffer queue[MAX_QUEUED] = {};
    int queued = 0;
    int readOffset = 0; // bytes of queue[0] already taken
    AudioBufferDone bufferDone = nullptr;
    void* callbackContext = nullptr;
    uint8_t silence = 0x80;

    // While the device is open: its thread, the reader that lives there, and
    // the sink, which is made and deleted there.
    std::unique_ptr<QThread> audioThread;
    std::unique_ptr<QueueReader> reader;
    QAudioSink* sink = nullptr;
};
