#include "app/toolkit/message_beep.h"

#include "app/toolkit/sound_output.h"
#include "app/toolkit/sound_source.h"
#include "app/toolkit/sound_stream.h"
#include "app/toolkit/worker_thread.h"

#include <QApplication>
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

// The sound theme's bell. Making the canberra context and connecting to the sound server can
// block, so it is used on the system sound's thread only; `reportFailure` is called (from that
// thread or canberra's own) when the bell cannot sound.
class ThemeBell {
public:
    explicit ThemeBell(std::function<void()> reportFailure)
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
        return ca_context_play_full(m_context.get(), 0, properties, &ThemeBell::Finished, this) ==
               CA_SUCCESS;
    }

    // Called on canberra's own thread, at the latest while the context ends (with
    // CA_ERROR_DESTROYED), so never after the bell; cancellation and the end are no failure.
    static void Finished(ca_context*, uint32_t, int error, void* bell) {
        if (error != CA_SUCCESS && error != CA_ERROR_CANCELED && error != CA_ERROR_DESTROYED)
            static_cast<ThemeBell*>(bell)->m_reportFailure();
    }

    const std::function<void()> m_reportFailure;
    // Declared last so that it ends first: callbacks run while the context ends.
    CanberraContext m_context;
};

// The system sound for the whole run: the theme's bell on its thread, the built-in tone when the
// bell fails, the X11 bell when the tone cannot play. The thread touches only the bell, which
// its jobs own with this object, and the way back, through which a failed bell asks this object
// for the tone while it lives.
class SystemSound : public QObject {
public:
    SystemSound()
        : m_wayBack(std::make_shared<TWayBack>(this))
        , m_bell(std::make_shared<ThemeBell>(
              [wayBack = m_wayBack, this] { wayBack->Send([this] { PlayTone(); }); }))
        , m_tone([](const UnicodeString&, const UnicodeString&) { QApplication::beep(); }) {}
    ~SystemSound() override { m_wayBack->Close(); }

    // The output is looked up here, where the desktop's outputs are known; canberra's
    // PulseAudio back-end takes the sink's name, which is the output's id.
    void Beep() {
        m_thread.Post([bell = m_bell, sink = SoundOutputSink()] { bell->Ring(sink); });
    }
    void Prepare() {
        m_thread.Post([bell = m_bell] { bell->Connect(); });
    }

private:
    void PlayTone() {
        static const TSamples kTone = ToneSamples();
        m_tone.Play(std::make_unique<TSampleBuffer>(kTone, kToneRate), QStringLiteral("tone"),
                    SoundOutputSink());
    }

    const std::shared_ptr<TWayBack> m_wayBack;
    const std::shared_ptr<ThemeBell> m_bell;
    TSoundStream m_tone;
    TWorkerThread m_thread{"system sound"}; // last, so that it is let go first
};

SystemSound* systemSound = nullptr;

// Runs while the application object still exists; nothing waits for the bell's thread.
void EndSystemSound() {
    delete systemSound;
    systemSound = nullptr;
}

SystemSound& TheSystemSound() {
    if (!systemSound) {
        systemSound = new SystemSound;
        qAddPostRoutine(&EndSystemSound);
    }
    return *systemSound;
}

} // namespace

void MessageBeep(unsigned int) {
    TheSystemSound().Beep();
}

void PrepareMessageBeep() {
    TheSystemSound().Prepare();
}
