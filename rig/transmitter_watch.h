#pragma once
// The transmitter as the windows watch it: the source chosen in the station options (rigctld,
// flrig, fldigi, or WSJT-X and JTDX), and the rules fed from it: the clock marks' reminding
// rule, which the identification cycle asks at each mark, and the identification timer, which
// it asks at each tick for the reminders timed from the transmissions. While it is off every
// mark reminds and nothing else does.
#include "rig/countdown.h"
#include "rig/id_timer.h"
#include "rig/reminder_rule.h"
#include "rig/source_choice.h"
#include "rig/transmitter_source.h"

#include <QDateTime>
#include <QObject>

#include <memory>
#include <optional>

namespace rig {

class TransmitterWatch : public QObject {
    Q_OBJECT

public:
    explicit TransmitterWatch(QObject* parent = nullptr);
    ~TransmitterWatch() override;

    // Switched on, the first mark counts from now. Another source chosen while on (another
    // kind, or another address), the time until it answers is its start-up: transmissions
    // seen before still count.
    void Watch(const SourceChoice& choice);
    const SourceChoice& Choice() const { return m_choice; }
    bool IsOn() const { return m_choice.on; }
    LinkStatus Status() const;
    QString StatusText() const;
    // Null until the transmitter has been seen on.
    QDateTime LastTransmission() const { return m_lastTransmission; }
    // Whether the mark at this time reminds; the next interval starts here. With rolling
    // timing a mark reminds only while the link is not trusted.
    bool RemindAt(ReminderRule::Clock::time_point mark);
    void SetTiming(const IdTiming& timing) { m_idTimer.SetTiming(timing); }
    const IdTiming& Timing() const { return m_idTimer.Timing(); }
    // The reminder timed from the transmissions that is due by now, if any.
    IdReminder PollReminder(IdTimer::Clock::time_point now);
    rig::Countdown CountdownAt(IdTimer::Clock::time_point now, IdTimer::Clock::time_point nextMark,
                               bool alertShowing) const;

signals:
    void StatusChanged(const rig::LinkStatus& status);
    void LastTransmissionChanged(const QDateTime& time);

private:
    void StartSource();
    void Sampled(LinkState state);

    SourceChoice m_choice;
    std::unique_ptr<TransmitterSource> m_source;
    std::optional<ReminderRule> m_rule;
    IdTimer m_idTimer{IdTiming{}};
    QDateTime m_lastTransmission;
};

} // namespace rig
