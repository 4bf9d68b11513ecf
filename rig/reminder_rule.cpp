#include "rig/reminder_rule.h"

namespace rig {
namespace {

using namespace std::chrono_literals;
constexpr auto kStartUpGrace = 5s;
constexpr auto kStaleAfter = 2s;

} // namespace

ReminderRule::ReminderRule(Clock::time_point start)
    : m_startUpEnd(start + kStartUpGrace)
    , m_lastReport(start) {}

void ReminderRule::Observe(Clock::time_point time, LinkState state) {
    const bool connected = state != LinkState::NotConnected;
    const bool gap = m_everConnected && time - m_lastReport > kStaleAfter;
    if (!connected || gap || (!m_everConnected && time > m_startUpEnd))
        m_unwatched = true;
    m_everConnected = m_everConnected || connected;
    m_transmitted = m_transmitted || state == LinkState::Transmitting;
    m_state = state;
    m_lastReport = time;
}

bool ReminderRule::RemindAt(Clock::time_point mark) {
    const bool remind = m_transmitted || m_unwatched || m_state == LinkState::NotConnected ||
                        mark - m_lastReport > kStaleAfter;
    // A transmission or an outage still going on at the mark belongs to the next interval too.
    m_transmitted = m_state == LinkState::Transmitting;
    m_unwatched = m_state == LinkState::NotConnected;
    return remind;
}

} // namespace rig
