#include "morse/sender.h"

#include "settings/callsign_characters.h"
#include "sound/sound_output.h"

namespace morse {
namespace {

constexpr int kSampleRate = 48000;

} // namespace

// A text with a character that cannot be sent is not sent at all: without it, it could name
// another station.
UnicodeString WhyNotSendable(const UnicodeString& text, const Keying& keying) {
    if (!keying.skipped.empty())
        return QStringLiteral("Morse has no sign for %1 in \"%2\"")
            .arg(QString::fromStdString(Listed(keying.skipped)), text);
    return keying.elements.empty()
               ? QStringLiteral("nothing of \"%1\" can be sent in Morse").arg(text)
               : UnicodeString();
}

Sender::Sender(QObject* owner)
    : QObject(owner)
    , m_stream([this](const UnicodeString&, const UnicodeString& reason) {
        m_error = reason;
        Fire(OnError, this);
    }) {}

void Sender::Prepare(const UnicodeString& text, int wpm, int hz) {
    m_stream.Prepare();
    const Prepared wanted{text, wpm, hz};
    if (m_prepared == wanted)
        return;
    const Keying keying = Encode(text.toStdString());
    m_unsendable = WhyNotSendable(text, keying);
    m_samples = !m_unsendable.isEmpty() ? nullptr
                                        : std::make_shared<const std::vector<std::int16_t>>(
                                              Render(keying.elements, {wpm, hz, kSampleRate}));
    m_prepared = wanted;
}

// A sound server that cannot play it is told through OnError, from the sound's thread.
bool Sender::Send() {
    m_error = m_unsendable;
    if (!m_error.isEmpty())
        return false;
    m_stream.Play(std::make_unique<TSampleBuffer>(m_samples, kSampleRate), QStringLiteral("Morse"),
                  SoundOutputSink());
    return true;
}

} // namespace morse
