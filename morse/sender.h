#pragma once
// The callsign sent in Morse on the chosen sound output, as the built-in tone is. The keyed tone
// is rendered ahead (Prepare), when the text, the speed or the tone has changed, and kept in
// memory: a long text at a slow speed takes a fifth of a second to render, which a mark must not
// wait for. Prepare starts the sound's thread too, which would make the first sending late.
// Sending only starts the sound.
#include "morse/morse.h"
#include "sound/sound_source.h"
#include "sound/sound_stream.h"
#include "toolkit/events.h"
#include "toolkit/rtl.h"

#include <QObject>
#include <optional>

namespace morse {

// Why `text`, keyed as `keying`, is not to be sent: a character in it that Morse cannot send
// (the characters are named), or nothing in it to send; empty when all of it is sent.
UnicodeString WhyNotSendable(const UnicodeString& text, const Keying& keying);

class Sender : public QObject {
public:
    explicit Sender(QObject* owner);

    // Renders nothing again while the text, speed and tone stay as they were.
    void Prepare(const UnicodeString& text, int wpm, int hz);
    // Starts what was prepared; false, with the reason in GetErrorString, when it is not to be
    // sent (see WhyNotSendable).
    bool Send();
    void Stop() { m_stream.Stop(); }
    UnicodeString GetErrorString() const { return m_error; }
    // How many samples the keyed tone last rendered has; 0 when there is none.
    std::size_t GetPreparedSamples() const { return m_samples ? m_samples->size() : 0; }

    // The sound server could not play the tone after Send had started it.
    TNotifyEvent OnError;

private:
    struct Prepared {
        UnicodeString text;
        int wpm;
        int hz;
        bool operator==(const Prepared&) const = default;
    };

    std::optional<Prepared> m_prepared;
    // Why the prepared text is not sent; then there are no samples.
    UnicodeString m_unsendable;
    TSamples m_samples;
    UnicodeString m_error;
    TSoundStream m_stream;
};

} // namespace morse
