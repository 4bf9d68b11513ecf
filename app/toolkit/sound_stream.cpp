#include "app/toolkit/sound_stream.h"

#include "app/toolkit/sound_source.h"

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
    : m_failed(std::move(failed)) {}

TSoundStream::~TSoundStream() {
    if (!m_thread)
        return;
    Stop();
    m_thread->quit();
    if (!m_thread->wait(QDeadlineTimer(kThreadEndWaitMs)))
        static_cast<void>(m_thread.release());
}

void TSoundStream::Prepare() {
    if (m_thread)
        return;
    m_thread = std::make_unique<QThread>();
    m_worker = new QObject;
    m_worker->moveToThread(m_thread.get());
    connect(m_thread.get(), &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->setObjectName(QStringLiteral("sound stream"));
    m_thread->start();
}

void TSoundStream::Play(std::unique_ptr<TSoundSource> source, const UnicodeString& name,
                        const QByteArray& sink) {
    Prepare();
    const unsigned sound = ++m_current;
    QMetaObject::invokeMethod(
        m_worker,
        [this, source = std::shared_ptr<TSoundSource>(std::move(source)), name, sink, sound] {
            Run(*source, name, sink, sound);
        },
        Qt::QueuedConnection);
}

void TSoundStream::Run(TSoundSource& source, const UnicodeString& name, const QByteArray& sink,
                       unsigned sound) {
    if (m_current != sound)
        return;
    const pa_sample_spec format{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(source.GetSampleRate()),
                                static_cast<std::uint8_t>(source.GetChannels())};
    if (!pa_sample_spec_valid(&format) || source.GetChannels() > static_cast<int>(PA_CHANNELS_MAX))
        return Fail(name, QStringLiteral("its rate or channels cannot be played"));
    int error = 0;
    const SimpleStream stream = Connect(format, sink, error);
    if (!stream)
        return Fail(name, ServerError(error));
    std::vector<std::int16_t> chunk(
        static_cast<std::size_t>(source.GetSampleRate() / kChunksPerSecond + 1) *
        source.GetChannels());
    while (m_current == sound) {
        const std::size_t count = source.Read(chunk);
        // Returns once all of it has been heard.
        if (count == 0) {
            pa_simple_drain(stream.get(), &error);
            return;
        }
        if (pa_simple_write(stream.get(), chunk.data(), count * sizeof(std::int16_t), &error) < 0)
            return Fail(name, ServerError(error));
    }
    pa_simple_flush(stream.get(), &error);
}

void TSoundStream::Fail(const UnicodeString& name, const UnicodeString& reason) {
    QMetaObject::invokeMethod(
        this, [this, name, reason] { m_failed(name, reason); }, Qt::QueuedConnection);
}
