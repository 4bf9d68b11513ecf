#pragma once
// The state of the link to rigctld as the operator reads it, and the pauses between tries.
#include <string>

namespace rig {

enum class LinkState { NotConnected, Receiving, Transmitting };

// Why the link is not connected.
enum class Reason {
    None,       // not started, or stopped
    Connecting, // the first try since the link was started
    Refused,
    HostNotFound,
    NoAnswer, // no connection, or no reply, within its time
    Unreadable,
    Closed,
    RigError, // rigctld answered with a return code instead of the PTT state
    NetworkError,
};

struct LinkStatus {
    LinkState state = LinkState::NotConnected;
    Reason reason = Reason::None;
    int rigError = 0;       // rigctld's return code, with RigError
    int retryInSeconds = 0; // while pausing before the next try; 0 while trying
    bool operator==(const LinkStatus&) const = default;
};

// "Connected, receiving", "Connected, transmitting", "Not connected", "Connecting",
// "Not connected: connection refused, retrying in 8 s", "Not connected: no answer, retrying".
std::string StatusText(const LinkStatus& status);

// The pause after the given number of failed tries in a row (at least 1): 1 s, doubling up to
// 30 s.
int RetryPauseSeconds(int failures);

} // namespace rig
