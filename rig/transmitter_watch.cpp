#include "rig/transmitter_watch.h"

namespace rig {

TransmitterWatch::TransmitterWatch(QObject* parent)
    : QObject(parent)
    , m_link(new RigLink(this)) {
    connect(m_link, &RigLink::Sampled, this, [this](LinkState state) {
        if (m_rule)
            m_rule->Observe(ReminderRule::Clock::now(), state);
    });
}

void TransmitterWatch::Watch(bool on, const QString& host, quint16 port) {
    const bool moved = host != m_host || port != m_port;
    m_host = host;
    m_port = port;
    const auto now = ReminderRule::Clock::now();
    if (!on) {
        m_rule.reset();
        m_link->Stop();
    } else if (!m_rule) {
        m_rule.emplace(now);
        m_link->Start(host, port);
    } else if (moved) {
        m_rule->Observe(now, LinkState::NotConnected);
        m_link->Start(host, port);
    }
}

bool TransmitterWatch::RemindAt(ReminderRule::Clock::time_point mark) {
    return !m_rule || m_rule->RemindAt(mark);
}

} // namespace rig
