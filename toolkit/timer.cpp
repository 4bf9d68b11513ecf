#include "toolkit/timer.h"

#include <chrono>

TTimer::TTimer(QObject* Owner, TTickPlacement placement)
    : QObject(Owner)
    , m_placement(std::move(placement)) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TTimer::Tick);
    ScheduleNext();
}

void TTimer::SetInterval(int milliseconds) {
    if (m_interval == milliseconds)
        return;
    m_interval = milliseconds;
    ScheduleNext();
}

// The next tick is set before the handler runs, so that a handler that waits (an error
// shown modally) holds up no tick.
void TTimer::Tick() {
    ScheduleNext();
    Fire(OnTimer, this);
}

void TTimer::ScheduleNext() {
    if (!m_placement) {
        m_timer.start(m_interval);
        return;
    }
    // The clock as the process reads it (a shifted clock too), not the monotonic one the
    // delay runs on.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    m_timer.start(m_placement(std::chrono::nanoseconds(now).count(), m_interval));
}
