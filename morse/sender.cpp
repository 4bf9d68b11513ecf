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
    , m_player(new TMediaPlayer(this)) {
    m_player->OnError = [this](TObject*) {
        m_error = m_player->GetErrorString();
        Fire(OnError, this);
    };
}

void Sender::Prepare(const UnicodeString& text, int wpm, int hz) {
    m_player->Prepare();
    const Prepared wanted{text, wpm, hz};
    if (m_prepared == wanted)
        return;
    const std::vector<Element> elements = Encode(text.toStdString()).elements;
    m_unsendable = elements.empty() ? kNothingToSend : QString();
    if (m_unsendable.isEmpty() &&
        !m_wave.Write(Render(elements, {wpm, hz, kSampleRate}), kSampleRate))
        m_unsendable = m_wave.GetErrorString();
    // A file that could not be written is tried again at the next Prepare.
    m_prepared = m_wave.GetErrorString().isEmpty() ? std::optional(wanted) : std::nullopt;
}

// The player is given the file at each sending: it drops a file it once failed to play.
bool Sender::Send() {
    m_error = m_unsendable;
    if (m_error.isEmpty() && SoundOutputDevice().isNull())
        m_error = kNoOutput;
    if (!m_error.isEmpty())
        return false;
    m_player->SetFileName(m_wave.GetFileName());
    m_error = m_player->GetErrorString();
    if (!m_player->GetMedia())
        return false;
    m_player->Play();
    return true;
}

} // namespace morse
