#pragma once
// Whether a mark of the clock should remind, when the transmitter's state (PTT) is watched
// through the rig link: a mark reminds if the transmitter was on at some moment since the
// previous mark (since the start for the first), or if the link could not watch the whole of
// that time. Only a mark after a fully watched, silent interval passes without a reminder.
//
// The time counts as not watched when, since the previous mark, the link reported "not
// connected" even once, two of its reports lay further apart than its pace allows (a polled
// link reports about four times a second), it is not connected at the mark, its last report is
// older than that, or, at the start, its first contact came later than its pace allows for a
// start-up. So a link that is down, flaky or silent never costs a reminder; at worst it adds
// one.
//
// The caller starts a rule when watching starts (at start-up, or when the rig is switched on),
// restarts it when another source is chosen, feeds it every report of the link, and asks it
// at every mark of the clock, so that each interval starts at its mark. Times are the wall clock
// that places the marks: a suspend stops the monotonic clock but not the marks, and is a gap in the
// reports on the wall clock only, so a mark raised late after it reminds. A clock stepped back
// makes no gap; one stepped forward makes one, which at worst adds a reminder.
#include "rig/link_status.h"

#include <chrono>

namespace rig {

// How often a link reports: the longest gap between two reports that still counts as watching,
// and the time its first contact may take.
struct WatchPace {
    std::chrono::seconds staleAfter;
    std::chrono::seconds startUpGrace;
};

// A link that asks about four times a second.
inline constexpr WatchPace kPolledPace{std::chrono::seconds(2), std::chrono::seconds(5)};

class ReminderRule {
public:
    using Clock = std::chrono::system_clock;

    ReminderRule(Clock::time_point start, WatchPace pace);
    // Another source from now: until its first contact nothing is reported, and that is its
    // start-up, not a gap; what was seen before still counts.
    void Restart(Clock::time_point start, WatchPace pace);
    void Observe(Clock::time_point time, LinkState state);
    // Whether the mark reminds; the next interval starts here.
    bool RemindAt(Clock::time_point mark);

private:
    WatchPace m_pace;
    Clock::time_point m_startUpEnd;
    Clock::time_point m_lastReport;
    LinkState m_state = LinkState::NotConnected;
    bool m_everConnected = false;
    bool m_transmitted = false;
    bool m_unwatched = false;
};

} // namespace rig
