#pragma once
// The identification timer as the licence rules count it, from the transmitter's own history
// rather than the clock's marks: a period starts at the first key-down after the last
// reminder (or the start), and the reminder comes `warn` before the period reaches `interval`;
// a polite one that falls due while the transmitter is on waits for the key-up, but never past
// the period's end. After a reminder the next period starts at the next key-down, or at once
// if the transmitter is still on. With the start reminder on, the first key-down after at
// least `interval` without transmitting (or the first since the start) raises a reminder too.
//
// It trusts only a link that watched the whole time: from the first contact on, with no
// "not connected" since the last reminder. Otherwise the caller falls back to the clock marks
// (every mark reminds) until a reminder is given with the link up. A lost link is judged by
// its reports (a failed or unanswered poll, a program gone silent), never by gaps in the wall
// clock, so that a clock run fast or stepped moves periods and marks alike. Times are the
// clock the program shows; a moment is reached when now is at or after it. Free of any
// toolkit.
#include "rig/link_status.h"

#include <chrono>
#include <optional>

namespace rig {

// Without rolling, the clock marks time the reminders, and the timer gives start reminders
// alone.
struct IdTiming {
    bool rolling = false;
    std::chrono::seconds interval{600};
    std::chrono::seconds warn{60}; // held within 0 and interval
    bool polite = true;
    bool startReminder = false;
};

enum class IdReminder { None, Due, Start };

class IdTimer {
public:
    using Clock = std::chrono::system_clock;

    explicit IdTimer(IdTiming timing);
    void SetTiming(IdTiming timing);
    void Observe(Clock::time_point time, LinkState state);
    // The reminder due by now, if any; once returned, it is given. Reminders come only while
    // the link is trusted: otherwise the clock marks remind, and a start reminder is dropped.
    IdReminder Poll(Clock::time_point now);
    // A reminder was given by a clock mark: the period it covers is done.
    void RemindedAtMark(Clock::time_point now);
    // Another source from now: until its first contact nothing is known, and that is its
    // start-up, not a drop; the running period goes on.
    void SourceChanged();

    // Whether the link watched since the last reminder: if not, the clock marks remind.
    bool Trusted() const { return m_connected && !m_dropped; }
    // The end of the running period, when the ID is due; nothing before the next key-down.
    std::optional<Clock::time_point> Deadline() const;
    const IdTiming& Timing() const { return m_timing; }

private:
    void EndPeriod(Clock::time_point now);

    IdTiming m_timing;
    bool m_connected = false;
    bool m_dropped = false;
    bool m_transmitting = false;
    bool m_startDue = false;
    std::optional<Clock::time_point> m_periodStart;
    std::optional<Clock::time_point> m_lastOn; // the last moment seen transmitting
};

} // namespace rig
