#pragma once
// The WSJT-X and JTDX programs heard on one port, kept apart by their Ids: operators run two
// side by side, or one beside a logger that listens to the same broadcasts. A program counts
// as heard while a Heartbeat or Status from its Id came within the last 20 s (it sends a
// Heartbeat every 15 s); a Close or silence ends that Id alone. The transmitter is on while
// any heard program says so. Free of any toolkit.
#include "rig/wsjtx_datagram.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>

namespace rig::wsjtx {

inline constexpr std::chrono::seconds kSilenceLimit{20};

class Peers {
public:
    using Clock = std::chrono::steady_clock;

    void Take(const Message& message, Clock::time_point now);
    // Forgets the programs silent for the limit; whether any was forgotten.
    bool Expire(Clock::time_point now);
    // When the next program falls silent, if none is heard before.
    std::optional<Clock::time_point> NextExpiry() const;

    bool AnyHeard() const { return !m_peers.empty(); }
    int Count() const { return static_cast<int>(m_peers.size()); }
    bool AnyTransmitting() const;
    // The Ids heard, in order, joined by ", ".
    std::string Names() const;
    // Whether the last program to go went with a Close.
    bool LastClosed() const { return m_lastClosed; }

private:
    struct Peer {
        Clock::time_point lastHeard;
        bool transmitting = false;
    };
    std::map<std::string, Peer> m_peers;
    bool m_lastClosed = false;
};

} // namespace rig::wsjtx
