#include "rig/reminder_rule.h"

namespace rig {

ReminderRule::ReminderRule(Clock::time_point start, WatchPace pace) {
    Restart(start, pace);
}

void ReminderRule::Restart(Clock::time_point start, WatchPace pace) {
    m_pace = pace;
    m_startUpEnd = start + pace.startUpGrace;
    m_lastReport = start;
    m_state = LinkState::NotConnected;
    m_everConnected = false;
}

void ReminderRule::Observe(Clock::time_point time, LinkState state) {
    const bool connected = state != LinkState::NotConnected;
    const bool gap = m_everConnected && time - m_lastReport > m_pace.staleAfter;
    if (!connected || gap || (!m_everConnected && time > m_startUpEnd))
        m_unwatched = true;
    m_everConnected = m_everConnected || connected;
    m_transmitted = m_transmitted || state == LinkState::Transmitting;
    m_state = state;
    m_lastReport = time;
}

bool ReminderRule::RemindAt(Clock::time_point mark) {
    const bool remind = m_transmitted || m_unwatched || m_state == LinkState::NotConnected ||
                        mark - m_lastReport > m_pace.staleAfter;
    // A transmission or an outage still going on at the mark belongs to the next interval too.
    m_transmitted = m_state == LinkState::Transmitting;
    m_unwatched = m_state == LinkState::NotConnected;
    return remind;
}

} // namespace rig
