#include "rig/link_status.h"

#include <algorithm>

namespace rig {
namespace {

constexpr int kMaxPauseSeconds = 30;

std::string ReasonText(const LinkStatus& status) {
    switch (status.reason) {
    case Reason::Refused:
        return "connection refused";
    case Reason::HostNotFound:
        return "host not found";
    case Reason::NoAnswer:
        return "no answer";
    case Reason::Unreadable:
        return "unreadable answer";
    case Reason::Closed:
        return "connection closed";
    case Reason::RigError:
        return "rig error " + std::to_string(status.code);
    case Reason::HttpError:
        return "HTTP error " + std::to_string(status.code);
    case Reason::Fault:
        return "error reply";
    case Reason::NetworkError:
        return "network error";
    case Reason::Connecting:
        return "nothing heard yet";
    case Reason::Silent:
        return "nothing heard for 20 s";
    case Reason::ProgramClosed:
        return "the program closed";
    case Reason::CannotListen:
        return "the port is taken or not allowed";
    case Reason::BadGroup:
        return "the group is not a multicast address";
    case Reason::None:
        break;
    }
    return "not known";
}

std::string OnAirText(LinkState state) {
    return state == LinkState::Transmitting ? ", transmitting" : ", receiving";
}

} // namespace

std::string PolledStatusText(const LinkStatus& status, std::string_view program) {
    const std::string name(program);
    if (status.state != LinkState::NotConnected)
        return "Connected to " + name + OnAirText(status.state);
    if (status.reason == Reason::None)
        return "Not connected";
    if (status.reason == Reason::Connecting)
        return "Connecting to " + name;
    const std::string retry = status.retryInSeconds > 0
                                  ? ", retrying in " + std::to_string(status.retryInSeconds) + " s"
                                  : ", retrying";
    return "Not connected to " + name + ": " + ReasonText(status) + retry;
}

std::string HeardStatusText(const LinkStatus& status, std::string_view heard, std::uint16_t port) {
    const std::string onPort = " on port " + std::to_string(port);
    if (status.state != LinkState::NotConnected)
        return "Hearing " + std::string(heard) + onPort + OnAirText(status.state);
    if (status.reason == Reason::None)
        return "Not listening";
    if (status.reason == Reason::CannotListen || status.reason == Reason::BadGroup)
        return "Cannot listen" + onPort + ": " + ReasonText(status);
    return "Listening for WSJT-X" + onPort + ": " + ReasonText(status);
}

int RetryPauseSeconds(int failures) {
    const int doublings = std::clamp(failures - 1, 0, 5);
    return std::min(1 << doublings, kMaxPauseSeconds);
}

} // namespace rig
