// The sound output on Qt Multimedia: a QAudioSink in pull mode on a thread of
// its own. The sink reads the queued buffers through a QIODevice; a buffer
// counts as played once the sink has taken all of it, and the mixer is then
// called on the same thread to mix and queue the next one. The sink keeps
// only a short buffer of its own, so the mixer's two buffers set the latency.
#include "platform/audio_device.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

constexpr int MAX_QUEUED = 8;
constexpr int SINK_BUFFER_MS = 60;

struct QueuedBuffer {
    uint8_t* block;
    int bytes;
};

std::mutex deviceLock; // guards the queue; never held while the callback runs
QueuedBuffer queue[MAX_QUEUED];
int queued = 0;
int readOffset = 0; // bytes of queue[0] already taken
AudioBufferDone bufferDone = nullptr;
void* callbackContext = nullptr;
uint8_t silence = 0x80;

// Feeds the sink from the queue, and silence when the queue is empty.
class QueueReader : public QIODevice {
  public:
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return QIODevice::bytesAvailable() + (1 << 20); }

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        qint64 filled = 0;
        while (filled < maxSize) {
            AudioBufferDone done = nullptr;
            void* context = nullptr;
            {
                std::lock_guard<std::mutex> hold(deviceLock);
                if (queued == 0) break;
                QueuedBuffer& b = queue[0];
                qint64 n = std::min<qint64>(b.bytes - readOffset, maxSize - filled);
                std::memcpy(data + filled, b.block + readOffset, static_cast<size_t>(n));
                filled += n;
                readOffset += static_cast<int>(n);
                if (readOffset >= b.bytes) {
                    for (int i = 1; i < queued; ++i) queue[i - 1] = queue[i];
                    --queued;
                    readOffset = 0;
                    done = bufferDone;
                    context = callbackContext;
                }
            }
            if (done) done(context); // the mixer queues its next buffer from here
        }
        if (filled < maxSize) {
            std::memset(data + filled, silence, static_cast<size_t>(maxSize - filled));
        }
        return maxSize;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

QThread* audioThread = nullptr;
QAudioSink* sink = nullptr;
QueueReader* reader = nullptr;

template <typename F> void OnAudioThread(F f) {
    QMetaObject::invokeMethod(reader, f, Qt::BlockingQueuedConnection);
}

} // namespace

int AudioDeviceOpen(int formatFlags, int framesPerBuffer, AudioBufferDone done, void* context) {
    if (audioThread || !done || framesPerBuffer <= 0) return 0;
    if (!QCoreApplication::instance()) return 0;
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return 0;
    QAudioFormat format;
    format.setSampleRate(formatFlags & AUDIO_FORMAT_44KHZ ? 44100 : 22050);
    format.setChannelCount(formatFlags & AUDIO_FORMAT_STEREO ? 2 : 1);
    format.setSampleFormat(formatFlags & AUDIO_FORMAT_16BIT ? QAudioFormat::Int16
                                                            : QAudioFormat::UInt8);
    if (!device.isFormatSupported(format)) return 0;
    {
        std::lock_guard<std::mutex> hold(deviceLock);
        queued = 0;
        readOffset = 0;
        bufferDone = done;
        callbackContext = context;
        silence = formatFlags & AUDIO_FORMAT_16BIT ? 0 : 0x80;
    }
    audioThread = new QThread();
    audioThread->setObjectName("glimmora-audio");
    reader = new QueueReader();
    reader->moveToThread(audioThread);
    audioThread->start(QThread::HighPriority);
    OnAudioThread([device, format] {
        sink = new QAudioSink(device, format);
        sink->setBufferSize(format.bytesForDuration(SINK_BUFFER_MS * 1000));
        reader->open(QIODevice::ReadOnly);
    });
    return 1;
}

int AudioDevicePrepare(uint8_t* block, int bytes) {
    return audioThread && block && bytes > 0;
}

void AudioDeviceQueue(uint8_t* block, int bytes) {
    std::lock_guard<std::mutex> hold(deviceLock);
    if (!audioThread || queued == MAX_QUEUED || !block || bytes <= 0) return;
    queue[queued++] = {block, bytes};
}

void AudioDeviceStart() {
    if (!audioThread) return;
    OnAudioThread([] {
        if (sink->state() == QAudio::StoppedState) sink->start(reader);
    });
}

void AudioDeviceClose() {
    if (!audioThread) return;
    // Runs on the audio thread, so no read of the queue is in progress.
    OnAudioThread([] {
        sink->stop();
        delete sink;
        sink = nullptr;
        reader->close();
    });
    audioThread->quit();
    audioThread->wait();
    delete reader;
    reader = nullptr;
    delete audioThread;
    audioThread = nullptr;
    std::lock_guard<std::mutex> hold(deviceLock);
    queued = 0;
    readOffset = 0;
    bufferDone = nullptr;
    callbackContext = nullptr;
}
