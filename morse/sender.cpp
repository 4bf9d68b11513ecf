#include "morse/sender.h"

#include "app/toolkit/sound_output.h"

namespace morse {
namespace {

constexpr int kSampleRate = 48000;

const UnicodeString kNothingToSend =
    QStringLiteral("it has no letter, digit or / ? . , = - to send in Morse");
const UnicodeString kNoOutput =
    QStringLiteral("the desktop offers no sound output: is its sound server running?");

} // namespace

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
    const std::vector<Element> elements = Encode(text.toStdString()).elements;
    m_samples = elements.empty() ? nullptr
                                 : std::make_shared<const std::vector<std::int16_t>>(
                                       Render(elements, {wpm, hz, kSampleRate}));
    m_prepared = wanted;
}

bool Sender::Send() {
    m_error = !m_samples                     ? kNothingToSend
              : SoundOutputDevice().isNull() ? kNoOutput
                                             : UnicodeString();
    if (!m_error.isEmpty())
        return false;
    m_stream.Play(std::make_unique<TSampleBuffer>(m_samples, kSampleRate), QStringLiteral("Morse"),
                  SoundOutputSink());
    return true;
}

} // namespace morse
