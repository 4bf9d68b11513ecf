#include "rig/id_timer.h"

#include <algorithm>
#include <utility>

namespace rig {

IdTimer::IdTimer(IdTiming timing) {
    SetTiming(timing);
}

void IdTimer::SetTiming(IdTiming timing) {
    timing.warn = std::clamp(timing.warn, std::chrono::seconds(0), timing.interval);
    m_timing = timing;
}

void IdTimer::Observe(Clock::time_point time, LinkState state) {
    const bool on = state == LinkState::Transmitting;
    m_connected = state != LinkState::NotConnected;
    m_dropped = m_dropped || !m_connected;
    if (on && !m_transmitting) {
        const bool longSilence = !m_lastOn || time - *m_lastOn >= m_timing.interval;
        m_startDue = m_startDue || (m_timing.startReminder && longSilence);
        if (!m_periodStart)
            m_periodStart = time;
    }
    m_transmitting = on;
    if (on)
        m_lastOn = time;
}

IdReminder IdTimer::Poll(Clock::time_point now) {
    const bool start = std::exchange(m_startDue, false);
    if (!Trusted())
        return IdReminder::None;
    if (start)
        return IdReminder::Start;
    const auto deadline = Deadline();
    if (!m_timing.rolling || !deadline || now < *deadline - m_timing.warn)
        return IdReminder::None;
    if (m_timing.polite && m_transmitting && now < *deadline)
        return IdReminder::None;
    EndPeriod(now);
    return IdReminder::Due;
}

void IdTimer::RemindedAtMark(Clock::time_point now) {
    m_startDue = false;
    EndPeriod(now);
    m_dropped = !m_connected;
}

void IdTimer::SourceChanged() {
    m_connected = false;
    m_transmitting = false;
}

std::optional<IdTimer::Clock::time_point> IdTimer::Deadline() const {
    if (!m_periodStart)
        return std::nullopt;
    return *m_periodStart + m_timing.interval;
}

// A transmission still going on belongs to the next period.
void IdTimer::EndPeriod(Clock::time_point now) {
    m_periodStart.reset();
    if (m_transmitting)
        m_periodStart = now;
}

} // namespace rig
