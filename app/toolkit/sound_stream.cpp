#include "app/toolkit/sound_stream.h"

#include "app/toolkit/sound_file.h"

#include <QDeadlineTimer>
#include <QThread>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <vector>

namespace {

// Rides out a busy machine, and is what a Stop may still let through.
constexpr pa_usec_t kBufferUs = 100'000;
constexpr int kChunksPerSecond = 50;
// A thread stuck on a sound server that no longer answers is left to the end of the process.
constexpr int kThreadEndWaitMs = 2000;

struct SimpleStreamEnd {
    void operator()(pa_simple* stream) const { pa_simple_free(stream); }
};
using SimpleStream = std::unique_ptr<pa_simple, SimpleStreamEnd>;

// A connection of its own for each sound; null, with `error` set, when the server refuses.
SimpleStream Connect(const pa_sample_spec& format, const QByteArray& sink, int& error) {
    const auto none = static_cast<std::uint32_t>(-1);
    const pa_buffer_attr buffer{
        none, static_cast<std::uint32_t>(pa_usec_to_bytes(kBufferUs, &format)), none, none, none};
    return SimpleStream(pa_simple_new(nullptr, "Chimewell", PA_STREAM_PLAYBACK,
                                      sink.isEmpty() ? nullptr : sink.constData(), "Sound", &format,
                                      nullptr, &buffer, &error));
}

UnicodeString ServerError(int error) {
    return QStringLiteral("the sound server said: %1").arg(QString::fromUtf8(pa_strerror(error)));
}

} // namespace

TSoundStream::TSoundStream(FailureHandler failed)
    : m_failed(std::move(failed))
    , m_thread(std::make_unique<QThread>())
    , m_worker(new QObject) {
    m_worker->moveToThread(m_thread.get());
    connect(m_thread.get(), &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->setObjectName(QStringLiteral("sound stream"));
    m_thread->start();
}

TSoundStream::~TSoundStream() {
    Stop();
    m_thread->quit();
    if (!m_thread->wait(QDeadlineTimer(kThreadEndWaitMs)))
        static_cast<void>(m_thread.release());
}

void TSoundStream::Play(std::unique_ptr<TSoundFile> file, const UnicodeString& fileName,
                        const QByteArray& sink) {
    const unsigned sound = ++m_current;
    QMetaObject::invokeMethod(
        m_worker,
        [this, file = std::shared_ptr<TSoundFile>(std::move(file)), fileName, sink, sound] {
            Run(*file, fileName, sink, sound);
        },
        Qt::QueuedConnection);
}

void TSoundStream::Run(TSoundFile& file, const UnicodeString& fileName, const QByteArray& sink,
                       unsigned sound) {
    if (m_current != sound)
        return;
    const pa_sample_spec format{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(file.GetSampleRate()),
                                static_cast<std::uint8_t>(file.GetChannels())};
    if (!pa_sample_spec_valid(&format) || file.GetChannels() > static_cast<int>(PA_CHANNELS_MAX))
        return Fail(fileName, QStringLiteral("its rate or channels cannot be played"));
    int error = 0;
    const SimpleStream stream = Connect(format, sink, error);
    if (!stream)
        return Fail(fileName, ServerError(error));
    std::vector<std::int16_t> chunk(
        static_cast<std::size_t>(file.GetSampleRate() / kChunksPerSecond + 1) * file.GetChannels());
    while (m_current == sound) {
        const std::size_t count = file.Read(chunk);
        // Returns once all of it has been heard.
        if (count == 0) {
            pa_simple_drain(stream.get(), &error);
            return;
        }
        if (pa_simple_write(stream.get(), chunk.data(), count * sizeof(std::int16_t), &error) < 0)
            return Fail(fileName, ServerError(error));
    }
    pa_simple_flush(stream.get(), &error);
}

void TSoundStream::Fail(const UnicodeString& fileName, const UnicodeString& reason) {
    QMetaObject::invokeMethod(
        this, [this, fileName, reason] { m_failed(fileName, reason); }, Qt::QueuedConnection);
}
