#pragma once
// The callsign sent in Morse through the media layer, on the chosen sound output, as the
// built-in tone is. The keyed tone is rendered ahead (Prepare), when the text, the speed or the
// tone has changed, and kept as a WAV file: a long text at a slow speed takes a fifth of a
// second to render, which a mark must not wait for. Prepare connects the player to the sound
// server too, which would make the first sending late. Sending only starts the player.
#include "app/toolkit/events.h"
#include "app/toolkit/media_player.h"
#include "app/toolkit/rtl.h"
#include "app/toolkit/wave_file.h"
#include "morse/morse.h"

#include <QObject>
#include <optional>

namespace morse {

class Sender : public QObject {
public:
    explicit Sender(QObject* owner);

    // Renders nothing again while the text, speed and tone stay as they were.
    void Prepare(const UnicodeString& text, int wpm, int hz);
    // Starts what was prepared; false, with the reason in GetErrorString, when it cannot sound
    // (nothing to send, or no sound output to send it on).
    bool Send();
    void Stop() { m_player->Stop(); }
    UnicodeString GetErrorString() const { return m_error; }
    // The file the keyed tone was last written to; empty when there is none.
    UnicodeString GetFileName() const { return m_wave.GetFileName(); }

    // The media layer could not play the tone after Send had started it.
    TNotifyEvent OnError;

private:
    struct Prepared {
        UnicodeString text;
        int wpm;
        int hz;
        bool operator==(const Prepared&) const = default;
    };

    std::optional<Prepared> m_prepared;
    TWaveFile m_wave;
    TMediaPlayer* m_player;
    // Why what was prepared cannot sound; empty when it can.
    UnicodeString m_unsendable;
    UnicodeString m_error;
};

} // namespace morse
