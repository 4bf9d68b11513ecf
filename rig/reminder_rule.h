#pragma once
// Whether a mark of the clock should remind, when the transmitter's state (PTT) is watched
// through the rig link: a mark reminds if the transmitter was on at some moment since the
// previous mark (since the start for the first), or if the link could not watch the whole of
// that time. Only a mark after a fully watched, silent interval passes without a reminder.
//
// The time counts as not watched when, since the previous mark, the link reported "not
// connected" even once, two of its reports lay more than 2 s apart (it reports about four
// times a second), it is not connected at the mark, its last report is more than 2 s old, or,
// at the start, its first connection came more than 5 s after the start (a quicker first
// connection is the ordinary start-up). So a link that is down, flaky or silent never costs a
// reminder; at worst it adds one.
//
// The caller starts a rule when watching starts (at start-up, or when the rig is switched on),
// feeds it every report of the link, and asks it at every mark of the clock, so that each
// interval starts at its mark. Times are the wall clock that places the marks: a suspend stops
// the monotonic clock but not the marks, and is a gap in the reports on the wall clock only, so
// a mark raised late after it reminds. A clock stepped back makes no gap; one stepped forward
// makes one, which at worst adds a reminder.
#include "rig/link_status.h"

#include <chrono>

namespace rig {

class ReminderRule {
public:
    using Clock = std::chrono::system_clock;

    explicit ReminderRule(Clock::time_point start);
    void Observe(Clock::time_point time, LinkState state);
    // Whether the mark reminds; the next interval starts here.
    bool RemindAt(Clock::time_point mark);

private:
    Clock::time_point m_startUpEnd;
    Clock::time_point m_lastReport;
    LinkState m_state = LinkState::NotConnected;
    bool m_everConnected = false;
    bool m_transmitted = false;
    bool m_unwatched = false;
};

} // namespace rig
