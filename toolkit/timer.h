#pragma once
// TTimer: a precise periodic timer. Its ticks are delivered by whichever event loop runs,
// so they keep coming while a window is shown modally. Its owner may place the ticks on the
// wall clock: each delay is then worked out from the real-time clock at the tick before.
#include "toolkit/events.h"

#include <QTimer>
#include <cstdint>
#include <functional>

// Given the real-time clock (nanoseconds since the epoch) and the interval, the milliseconds
// to the next tick.
using TTickPlacement = std::function<int(std::int64_t wallClockNs, int intervalMs)>;

class TTimer : public QObject {
public:
    // Without a placement, ticks come one interval apart.
    explicit TTimer(QObject* Owner, TTickPlacement placement = {});
    int GetInterval() const { return m_interval; }
    // A new interval counts from now, as for the toolkit's timer; the same one again changes
    // nothing.
    void SetInterval(int milliseconds);

    TNotifyEvent OnTimer;

private:
    void Tick();
    void ScheduleNext();

    QTimer m_timer;
    TTickPlacement m_placement;
    int m_interval = 1000;
};
