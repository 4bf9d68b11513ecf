#include "rig/transmitter_watch.h"

#include "rig/polled_source.h"
#include "rig/wsjtx_source.h"

namespace rig {
namespace {

std::unique_ptr<TransmitterSource> MakeSource(const SourceChoice& choice) {
    const ServerAddress at = choice.Chosen();
    switch (choice.kind) {
    case SourceKind::Rigctld:
        return std::make_unique<PolledSource>("rigctld", MakeRigctldProtocol(), at.host, at.port);
    case SourceKind::Flrig:
        return std::make_unique<PolledSource>("flrig", MakeFlrigProtocol(), at.host, at.port);
    case SourceKind::Fldigi:
        return std::make_unique<PolledSource>("fldigi", MakeFldigiProtocol(), at.host, at.port);
    case SourceKind::Wsjtx:
        break;
    }
    return std::make_unique<WsjtxSource>(at.port, at.host);
}

} // namespace

TransmitterWatch::TransmitterWatch(QObject* parent)
    : QObject(parent) {}

TransmitterWatch::~TransmitterWatch() = default;

void TransmitterWatch::Watch(const SourceChoice& choice) {
    const bool moved = choice.kind != m_choice.kind || choice.Chosen() != m_choice.Chosen();
    const bool wasOn = m_choice.on;
    m_choice = choice;
    if (!choice.on) {
        m_rule.reset();
        m_source.reset();
        emit StatusChanged(Status());
        return;
    }
    if (!wasOn)
        m_idTimer = IdTimer(m_idTimer.Timing());
    else if (moved)
        m_idTimer.SourceChanged();
    if (!wasOn || moved)
        StartSource();
}

void TransmitterWatch::StartSource() {
    m_source = MakeSource(m_choice);
    const auto now = ReminderRule::Clock::now();
    if (m_rule)
        m_rule->Restart(now, m_source->Pace());
    else
        m_rule.emplace(now, m_source->Pace());
    connect(m_source.get(), &TransmitterSource::StatusChanged, this,
            &TransmitterWatch::StatusChanged);
    connect(m_source.get(), &TransmitterSource::Sampled, this, &TransmitterWatch::Sampled);
    m_source->Start();
    emit StatusChanged(Status());
}

void TransmitterWatch::Sampled(LinkState state) {
    const auto now = ReminderRule::Clock::now();
    m_rule->Observe(now, state);
    m_idTimer.Observe(now, state);
    if (state == LinkState::Transmitting) {
        m_lastTransmission = QDateTime::currentDateTime();
        emit LastTransmissionChanged(m_lastTransmission);
    }
}

LinkStatus TransmitterWatch::Status() const {
    return m_source ? m_source->Status() : LinkStatus{};
}

QString TransmitterWatch::StatusText() const {
    return m_source ? m_source->StatusText() : QString();
}

bool TransmitterWatch::RemindAt(ReminderRule::Clock::time_point mark) {
    if (!m_rule)
        return true;
    const bool byMarks = m_rule->RemindAt(mark);
    const bool remind = Timing().rolling ? !m_idTimer.Trusted() : byMarks;
    if (remind)
        m_idTimer.RemindedAtMark(mark);
    return remind;
}

IdReminder TransmitterWatch::PollReminder(IdTimer::Clock::time_point now) {
    return m_rule ? m_idTimer.Poll(now) : IdReminder::None;
}

rig::Countdown TransmitterWatch::CountdownAt(IdTimer::Clock::time_point now,
                                             IdTimer::Clock::time_point nextMark,
                                             bool alertShowing) const {
    return rig::CountdownAt(now, nextMark, m_idTimer, m_rule.has_value(), alertShowing);
}

} // namespace rig
