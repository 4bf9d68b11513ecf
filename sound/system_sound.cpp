#include "sound/system_sound.h"

#include "sound/sound_source.h"

#include <canberra.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <numbers>
#include <vector>

namespace {

// The built-in tone: 880 Hz for 150 ms, 16-bit mono PCM, faded in and out against clicks.
constexpr int kToneRate = 44100;
constexpr int kToneSamples = kToneRate * 150 / 1000;
constexpr int kToneFadeSamples = kToneRate * 5 / 1000;
constexpr double kToneFrequency = 880.0;
constexpr double kToneAmplitude = 0.4 * 32767;

double ToneSample(int index) {
    const double fade =
        std::clamp(std::min(index, kToneSamples - index) / double(kToneFadeSamples), 0.0, 1.0);
    return kToneAmplitude * fade *
           std::sin(2 * std::numbers::pi * kToneFrequency * index / kToneRate);
}

TSamples ToneSamples() {
    auto samples = std::make_shared<std::vector<std::int16_t>>(kToneSamples);
    for (int i = 0; i < kToneSamples; ++i)
        (*samples)[i] = static_cast<std::int16_t>(std::lround(ToneSample(i)));
    return samples;
}

struct ContextDeleter {
    void operator()(ca_context* context) const { ca_context_destroy(context); }
};
struct PropertiesDeleter {
    void operator()(ca_proplist* properties) const { ca_proplist_destroy(properties); }
};
using CanberraContext = std::unique_ptr<ca_context, ContextDeleter>;
using CanberraProperties = std::unique_ptr<ca_proplist, PropertiesDeleter>;

} // namespace

// The sound theme's bell. Making the canberra context and connecting to the sound server can
// block, so it is used on the system sound's thread only; `reportFailure` is called (from that
// thread or canberra's own) when the bell cannot sound.
class TSystemSound::Bell {
public:
    explicit Bell(std::function<void()> reportFailure)
        : m_reportFailure(std::move(reportFailure)) {}

    // `sink` names the sound server's output to ring on; empty for its default.
    void Ring(const QByteArray& sink) {
        if (!OpenContext() || !StartBell(sink)) {
            m_context.reset(); // a fresh connection next time: the server may come back
            m_reportFailure();
        }
    }

    // A context that cannot connect now is made afresh at the first ring.
    void Connect() {
        if (OpenContext() && ca_context_open(m_context.get()) != CA_SUCCESS)
            m_context.reset();
    }

private:
    bool OpenContext() {
        ca_context* context = nullptr;
        if (!m_context && ca_context_create(&context) == CA_SUCCESS)
            m_context.reset(context);
        return m_context != nullptr;
    }

    bool StartBell(const QByteArray& sink) {
        if (ca_context_change_device(m_context.get(),
                                     sink.isEmpty() ? nullptr : sink.constData()) != CA_SUCCESS)
            return false;
        ca_proplist* properties = nullptr;
        if (ca_proplist_create(&properties) != CA_SUCCESS)
            return false;
        const CanberraProperties owned(properties);
        ca_proplist_sets(properties, CA_PROP_EVENT_ID, "bell");
        ca_proplist_sets(properties, CA_PROP_APPLICATION_NAME, "Chimewell");
        // The finish callback is called only when this call succeeded.
        return ca_context_play_full(m_context.get(), 0, properties, &Bell::Finished, this) ==
               CA_SUCCESS;
    }

    // Called on canberra's own thread, at the latest while the context ends (with
    // CA_ERROR_DESTROYED), so never after the bell; cancellation and the end are no failure.
    static void Finished(ca_context*, uint32_t, int error, void* bell) {
        if (error != CA_SUCCESS && error != CA_ERROR_CANCELED && error != CA_ERROR_DESTROYED)
            static_cast<Bell*>(bell)->m_reportFailure();
    }

    const std::function<void()> m_reportFailure;
    // Declared last so that it ends first: callbacks run while the context ends.
    CanberraContext m_context;
};

// The bell's failure asks for the tone through the way back, so only while this object lives.
TSystemSound::TSystemSound(std::function<void()> lastResort)
    : m_wayBack(std::make_shared<TWayBack>(this))
    , m_bell(std::make_shared<Bell>(
          [wayBack = m_wayBack, this] { wayBack->Send([this] { PlayTone(); }); }))
    , m_tone(
          [lastResort = std::move(lastResort)](const QString&, const QString&) { lastResort(); }) {}

TSystemSound::~TSystemSound() {
    m_wayBack->Close();
}

// Canberra's PulseAudio back-end takes the sink's name.
void TSystemSound::Beep(const QByteArray& sink) {
    m_sink = sink;
    m_thread.Post([bell = m_bell, sink] { bell->Ring(sink); });
}

void TSystemSound::Prepare() {
    m_thread.Post([bell = m_bell] { bell->Connect(); });
}

void TSystemSound::PlayTone() {
    static const TSamples kTone = ToneSamples();
    m_tone.Play(std::make_unique<TSampleBuffer>(kTone, kToneRate), QStringLiteral("tone"), m_sink);
}
