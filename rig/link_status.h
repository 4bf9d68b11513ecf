#pragma once
// The state of the link to a transmitter source as the operator reads it, and the pauses
// between tries.
#include <cstdint>
#include <string>
#include <string_view>

namespace rig {

enum class LinkState { NotConnected, Receiving, Transmitting };

// Why the link is not connected.
enum class Reason {
    None,       // not started, or stopped
    Connecting, // the first try since the link was started; for a listener, nothing heard yet
    Refused,
    HostNotFound,
    NoAnswer, // no connection, or no reply, within its time
    Unreadable,
    Closed,
    RigError,  // rigctld answered with a return code instead of the PTT state
    HttpError, // an XML-RPC server answered with an HTTP error status
    Fault,     // an XML-RPC server answered with a fault
    NetworkError,
    Silent,        // a listener heard nothing for the silence limit
    ProgramClosed, // the program said it has quit
    CannotListen,  // the port or the group could not be listened on
    BadGroup,      // the group to join is not a multicast address
};

struct LinkStatus {
    LinkState state = LinkState::NotConnected;
    Reason reason = Reason::None;
    // rigctld's return code with RigError, the HTTP status with HttpError; for a listener while
    // connected, how many programs it hears.
    int code = 0;
    int retryInSeconds = 0; // while pausing before the next try; 0 while trying
    bool operator==(const LinkStatus&) const = default;
};

// For a server asked in turn: "Connected to flrig, receiving", "Connecting to flrig",
// "Not connected to flrig: connection refused, retrying in 8 s".
std::string PolledStatusText(const LinkStatus& status, std::string_view program);

// For broadcasts listened to on a port: "Hearing WSJT-X, JTDX on port 2237, transmitting",
// "Listening for WSJT-X on port 2237: nothing heard for 20 s". Heard names the programs heard
// while connected.
std::string HeardStatusText(const LinkStatus& status, std::string_view heard, std::uint16_t port);

// The pause after the given number of failed tries in a row (at least 1): 1 s, doubling up to
// 30 s.
int RetryPauseSeconds(int failures);

} // namespace rig
