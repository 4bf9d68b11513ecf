#include "app/toolkit/timer.h"

TTimer::TTimer(QObject* Owner)
    : QObject(Owner) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, [this] { Fire(OnTimer, this); });
    m_timer.start();
}

void TTimer::SetInterval(int milliseconds) {
    if (m_timer.interval() != milliseconds)
        m_timer.setInterval(milliseconds);
}
