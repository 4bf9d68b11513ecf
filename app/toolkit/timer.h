#pragma once
// TTimer: a precise periodic timer. Its ticks are delivered by whichever event loop runs,
// so they keep coming while a window is shown modally.
#include "app/toolkit/events.h"

#include <QTimer>

class TTimer : public QObject {
public:
    explicit TTimer(QObject* Owner);
    int GetInterval() const { return m_timer.interval(); }
    // Setting the same interval again leaves the running period alone.
    void SetInterval(int milliseconds);

    TNotifyEvent OnTimer;

private:
    QTimer m_timer;
};
