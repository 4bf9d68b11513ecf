#include "rig/wsjtx_peers.h"

#include <algorithm>

namespace rig::wsjtx {

void Peers::Take(const Message& message, Clock::time_point now) {
    switch (message.type) {
    case Message::Type::Heartbeat:
        // A program first heard by its Heartbeat has not said it transmits.
        m_peers.try_emplace(message.id).first->second.lastHeard = now;
        break;
    case Message::Type::Status:
        m_peers[message.id] = {now, message.transmitting};
        break;
    case Message::Type::Close:
        if (m_peers.erase(message.id) > 0)
            m_lastClosed = true;
        break;
    case Message::Type::Other:
        break;
    }
}

bool Peers::Expire(Clock::time_point now) {
    const auto forgotten = std::erase_if(
        m_peers, [now](const auto& peer) { return now - peer.second.lastHeard >= kSilenceLimit; });
    if (forgotten > 0)
        m_lastClosed = false;
    return forgotten > 0;
}

std::optional<Peers::Clock::time_point> Peers::NextExpiry() const {
    if (m_peers.empty())
        return std::nullopt;
    const auto oldest = std::min_element(m_peers.begin(), m_peers.end(), [](auto& a, auto& b) {
        return a.second.lastHeard < b.second.lastHeard;
    });
    return oldest->second.lastHeard + kSilenceLimit;
}

bool Peers::AnyTransmitting() const {
    return std::any_of(m_peers.begin(), m_peers.end(),
                       [](const auto& peer) { return peer.second.transmitting; });
}

std::string Peers::Names() const {
    std::string names;
    for (const auto& [id, peer] : m_peers)
        names += (names.empty() ? "" : ", ") + (id.empty() ? std::string("(no Id)") : id);
    return names;
}

} // namespace rig::wsjtx
