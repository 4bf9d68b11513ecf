#include "speech/speaker.h"

#include "settings/callsign_characters.h"
#include "sound/sound_output.h"

namespace speech {
// A callsign with a character that cannot be said is not said at all: without it, it could
// name another station; nor is one cut short.
UnicodeString WhyNotSayable(const UnicodeString& callsign, const Saying& saying) {
    if (!saying.unsayable.empty())
        return QStringLiteral("no word for %1 in \"%2\"")
            .arg(QString::fromStdString(Listed(saying.unsayable)), callsign);
    if (saying.tooLong)
        return QStringLiteral("\"%1\" is too long to say (over %2 words)")
            .arg(callsign)
            .arg(kMaxWords);
    return saying.text.empty() ? QStringLiteral("nothing of \"%1\" can be said").arg(callsign)
                               : UnicodeString();
}

Speaker::Speaker(QObject* owner)
    : QObject(owner)
    , m_wayBack(std::make_shared<TWayBack>(this))
    , m_stream([this](const UnicodeString&, const UnicodeString& reason) {
        m_error = reason;
        Fire(OnError, this);
    }) {}

Speaker::~Speaker() {
    m_wayBack->Close();
}

// The result comes back through the way back, which runs it here only while this speaker lives.
void Speaker::Prepare(const UnicodeString& callsign, const Voicing& voicing) {
    m_stream.Prepare();
    const Prepared wanted{callsign, voicing};
    if (m_prepared == wanted)
        return;
    m_prepared = wanted;
    m_samples = nullptr;
    const Saying saying = Spell(callsign.toStdString(), voicing.spelling);
    m_whyNot = WhyNotSayable(callsign, saying);
    const unsigned request = ++m_request;
    m_pending = m_whyNot.isEmpty();
    if (!m_pending)
        return;
    Synthesize(saying.text, voicing.voice.toStdString(), voicing.rate,
               [wayBack = m_wayBack, this, request](const Synthesis& synthesis) {
                   wayBack->Send([this, request, synthesis] { Take(request, synthesis); });
               });
}

void Speaker::Take(unsigned request, const Synthesis& synthesis) {
    if (request != m_request)
        return;
    m_pending = false;
    m_samples = synthesis.samples;
    m_sampleRate = synthesis.sampleRate;
    m_whyNot = synthesis.error;
    Fire(OnReady, this);
}

void Speaker::RequestVoices() {
    ListVoices([wayBack = m_wayBack, this](std::vector<Voice> voices) {
        wayBack->Send([this, voices = std::move(voices)] {
            m_voices = voices;
            Fire(OnVoices, this);
        });
    });
}

// A sound server that cannot play it is told through OnError, from the sound's thread.
bool Speaker::Speak() {
    m_error = m_pending ? QStringLiteral("the speech was not ready yet") : m_whyNot;
    if (!m_error.isEmpty())
        return false;
    m_stream.Play(std::make_unique<TSampleBuffer>(m_samples, m_sampleRate),
                  QStringLiteral("Speech"), SoundOutputSink());
    return true;
}

} // namespace speech
