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

ServerAddress SourceChoice::Chosen() const {
    switch (kind) {
    case SourceKind::Rigctld:
        return rigctld;
    case SourceKind::Flrig:
        return flrig;
    case SourceKind::Fldigi:
        return fldigi;
    case SourceKind::Wsjtx:
        break;
    }
    return {wsjtxGroup, wsjtxPort};
}

void SourceChoice::SetChosen(const ServerAddress& address) {
    switch (kind) {
    case SourceKind::Rigctld:
        rigctld = address;
        return;
    case SourceKind::Flrig:
        flrig = address;
        return;
    case SourceKind::Fldigi:
        fldigi = address;
        return;
    case SourceKind::Wsjtx:
        wsjtxGroup = address.host;
        wsjtxPort = address.port;
        return;
    }
}

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
    } else if (!wasOn || moved) {
        StartSource();
    }
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
    m_rule->Observe(ReminderRule::Clock::now(), state);
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
    return !m_rule || m_rule->RemindAt(mark);
}

} // namespace rig
