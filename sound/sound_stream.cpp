#include "sound/sound_stream.h"

#include "sound/sound_source.h"

#include <atomic>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <vector>

struct TSoundStream::Shared {
    Shared(QObject* stream, FailureHandler handler)
        : failed(std::move(handler))
        , wayBack(stream) {}
    std::atomic<unsigned> current = 0; // the sound that may play; any other ends
    // Called only through the way back, so only while the stream lives.
    const FailureHandler failed;
    TWayBack wayBack;
};

namespace {

// Rides out a busy machine, and is what a Stop may still let through.
constexpr pa_usec_t kBufferUs = 100'000;
constexpr int kChunksPerSecond = 50;

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

QString ServerError(int error) {
    return QStringLiteral("the sound server said: %1").arg(QString::fromUtf8(pa_strerror(error)));
}

// Plays until the source ends or another sound is wanted; the reason it could not, or empty.
QString Play(TSoundSource& source, const QByteArray& sink, unsigned sound,
             const std::atomic<unsigned>& current) {
    if (QString reason = source.Open(); !reason.isEmpty())
        return reason;
    const pa_sample_spec format{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(source.GetSampleRate()),
                                static_cast<std::uint8_t>(source.GetChannels())};
    if (!pa_sample_spec_valid(&format) || source.GetChannels() > static_cast<int>(PA_CHANNELS_MAX))
        return QStringLiteral("its rate or channels cannot be played");
    int error = 0;
    const SimpleStream stream = Connect(format, sink, error);
    if (!stream)
        return ServerError(error);
    std::vector<std::int16_t> chunk(
        static_cast<std::size_t>(source.GetSampleRate() / kChunksPerSecond + 1) *
        source.GetChannels());
    while (current == sound) {
        const std::size_t count = source.Read(chunk);
        // Returns once all of it has been heard.
        if (count == 0) {
            pa_simple_drain(stream.get(), &error);
            return {};
        }
        if (pa_simple_write(stream.get(), chunk.data(), count * sizeof(std::int16_t), &error) < 0)
            return ServerError(error);
    }
    pa_simple_flush(stream.get(), &error);
    return {};
}

} // namespace

TSoundStream::TSoundStream(FailureHandler failed)
    : m_shared(std::make_shared<Shared>(this, std::move(failed)))
    , m_thread("sound stream") {}

TSoundStream::~TSoundStream() {
    m_shared->wayBack.Close();
    Stop();
}

void TSoundStream::Stop() {
    ++m_shared->current;
}

void TSoundStream::Play(std::unique_ptr<TSoundSource> source, const QString& name,
                        const QByteArray& sink) {
    const unsigned sound = ++m_shared->current;
    m_thread.Post([shared = m_shared, source = std::shared_ptr<TSoundSource>(std::move(source)),
                   name, sink, sound] {
        if (shared->current != sound)
            return;
        const QString reason = ::Play(*source, sink, sound, shared->current);
        if (!reason.isEmpty())
            shared->wayBack.Send([shared, name, reason] { shared->failed(name, reason); });
    });
}
