#pragma once
// The transmitter as the windows watch it: the link to rigctld, switched on and pointed at a
// host and port by the station options, and the reminding rule fed from it, which the
// identification cycle asks at each mark. While it is off every mark reminds.
#include "rig/reminder_rule.h"
#include "rig/rig_link.h"

#include <QObject>
#include <QString>

#include <optional>

namespace rig {

class TransmitterWatch : public QObject {
public:
    explicit TransmitterWatch(QObject* parent = nullptr);
    // Switched on, the first mark counts from now. Pointed elsewhere while on, the time until
    // the new link answers counts as not watched: transmissions seen before it still count.
    void Watch(bool on, const QString& host, quint16 port);
    bool IsOn() const { return m_rule.has_value(); }
    const QString& Host() const { return m_host; }
    quint16 Port() const { return m_port; }
    RigLink* Link() const { return m_link; }
    // Whether the mark at this time reminds; the next interval starts here.
    bool RemindAt(ReminderRule::Clock::time_point mark);

private:
    RigLink* m_link;
    std::optional<ReminderRule> m_rule;
    QString m_host;
    quint16 m_port = 0;
};

} // namespace rig
