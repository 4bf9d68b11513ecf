#pragma once
// A program through which the transmitter's state (PTT) is followed: rigctld, flrig or fldigi
// asked in turn, or WSJT-X and JTDX listened to. Each reports what it learns the same way, so
// the reminding rule, the badge and the words need not know which it is. A source starts with
// its address when made and stops when deleted; nothing it does waits, so a silent, slow or
// dead peer cannot delay a timer or a window.
#include "rig/link_status.h"
#include "rig/reminder_rule.h"

#include <QObject>
#include <QString>

namespace rig {

class TransmitterSource : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void Start() = 0;
    const LinkStatus& Status() const { return m_status; }
    virtual QString StatusText() const = 0;
    // How often it reports while connected.
    virtual WatchPace Pace() const = 0;

signals:
    // On every change, and each second of a pause as it counts down.
    void StatusChanged(const rig::LinkStatus& status);
    // For ReminderRule: each answer or message (Receiving or Transmitting) and each failure
    // (NotConnected); nothing while the first try is under way.
    void Sampled(rig::LinkState state);

protected:
    void SetStatus(const LinkStatus& status) {
        if (status == m_status)
            return;
        m_status = status;
        emit StatusChanged(m_status);
    }

private:
    LinkStatus m_status;
};

} // namespace rig
