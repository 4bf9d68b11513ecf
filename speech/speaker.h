#pragma once
// The callsign spoken on the chosen sound output, as the Morse is sent. The speech is
// synthesized ahead (Prepare), when the callsign, the spelling, the voice or the rate has
// changed, on the speech thread (see synthesizer.h), and kept in memory; speaking only starts
// the sound. The clock never waits for the synthesis: a mark that comes before it is done
// finds nothing to speak.
#include "sound/sound_source.h"
#include "sound/sound_stream.h"
#include "speech/phonetics.h"
#include "speech/synthesizer.h"
#include "toolkit/events.h"
#include "toolkit/rtl.h"

#include <QObject>
#include <memory>
#include <optional>
#include <vector>

namespace speech {

// How the callsign is said: spelled so, in the voice (espeak-ng's identifier) at the rate
// (words per minute).
struct Voicing {
    Spelling spelling = Spelling::Phonetics;
    UnicodeString voice;
    int rate = 0;
    bool operator==(const Voicing&) const = default;
};

// Why `callsign`, spelled as `saying`, is not to be said: a character in it that cannot be (the
// characters are named), too many words, or nothing to say; empty when all of it is said.
UnicodeString WhyNotSayable(const UnicodeString& callsign, const Saying& saying);

class Speaker : public QObject {
public:
    explicit Speaker(QObject* owner);
    ~Speaker() override;

    // Synthesizes nothing again while the callsign and the voicing stay as they were.
    void Prepare(const UnicodeString& callsign, const Voicing& voicing);
    // Starts what was prepared; false, with the reason in GetErrorString, when it is not to be
    // said (see WhyNotSayable), its synthesis failed or is not done yet.
    bool Speak();
    void Stop() { m_stream.Stop(); }
    UnicodeString GetErrorString() const { return m_error; }
    // While the prepared speech is being synthesized.
    bool IsPending() const { return m_pending; }
    // How many samples the speech last synthesized has; 0 when there is none.
    std::size_t GetPreparedSamples() const { return m_samples ? m_samples->size() : 0; }

    // Asks for the voices installed; OnVoices tells when GetVoices holds them.
    void RequestVoices();
    const std::vector<Voice>& GetVoices() const { return m_voices; }

    // The synthesis that Prepare started is done, with the speech or the reason it failed.
    TNotifyEvent OnReady;
    TNotifyEvent OnVoices;
    // The sound server could not play the speech after Speak had started it.
    TNotifyEvent OnError;

private:
    struct Prepared {
        UnicodeString callsign;
        Voicing voicing;
        bool operator==(const Prepared&) const = default;
    };

    void Take(unsigned request, const Synthesis& synthesis);

    std::optional<Prepared> m_prepared;
    unsigned m_request = 0; // the synthesis whose result is taken; earlier ones are dropped
    bool m_pending = false;
    // Why the prepared speech is not said; then there are no samples.
    UnicodeString m_whyNot;
    TSamples m_samples;
    int m_sampleRate = 0;
    UnicodeString m_error;
    std::vector<Voice> m_voices;
    std::shared_ptr<TWayBack> m_wayBack;
    TSoundStream m_stream;
};

} // namespace speech
