#include "ports/qt/audio_device_qt.h"

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

namespace {

constexpr int SINK_BUFFER_MS = 60;

} // namespace

// Feeds the sink from the device's queue.
class QtAudio::QueueReader : public QIODevice {
  public:
    explicit QueueReader(QtAudio& device) : device(device) {}

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return QIODevice::bytesAvailable() + (1 << 20); }

  protected:
    qint64 readData(char* data, qint64 maxSize) override { return device.Read(data, maxSize); }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    QtAudio& device;
};

QtAudio::QtAudio() = default;

QtAudio::~QtAudio() {
    Close();
}

qint64 QtAudio::Read(char* data, qint64 maxSize) {
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

template <typename F> void QtAudio::OnAudioThread(F f) {
    QMetaObject::invokeMethod(reader.get(), f, Qt::BlockingQueuedConnection);
}

int QtAudio::Open(int formatFlags, int framesPerBuffer, AudioBufferDone done, void* context) {
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
    audioThread = std::make_unique<QThread>();
    audioThread->setObjectName("glimmora-audio");
    reader = std::make_unique<QueueReader>(*this);
    reader->moveToThread(audioThread.get());
    audioThread->start(QThread::HighPriority);
    OnAudioThread([this, device, format] {
        sink = new QAudioSink(device, format);
        sink->setBufferSize(format.bytesForDuration(SINK_BUFFER_MS * 1000));
        reader->open(QIODevice::ReadOnly);
    });
    return 1;
}

int QtAudio::Prepare(uint8_t* block, int bytes) {
    return audioThread && block && bytes > 0;
}

void QtAudio::Queue(uint8_t* block, int bytes) {
    std::lock_guard<std::mutex> hold(deviceLock);
    if (!audioThread || queued == MAX_QUEUED || !block || bytes <= 0) return;
    queue[queued++] = {block, bytes};
}

void QtAudio::Start() {
    if (!audioThread) return;
    OnAudioThread([this] {
        if (sink->state() == QAudio::StoppedState) sink->start(reader.get());
    });
}

void QtAudio::Close() {
    if (!audioThread) return;
    // Runs on the audio thread, so no read of the queue is in progress.
    OnAudioThread([this] {
        sink->stop();
        delete sink;
        sink = nullptr;
        reader->close();
    });
    audioThread->quit();
    audioThread->wait();
    reader.reset();
    audioThread.reset();
    std::lock_guard<std::mutex> hold(deviceLock);
    queued = 0;
    readOffset = 0;
    bufferDone = nullptr;
    callbackContext = nullptr;
}
