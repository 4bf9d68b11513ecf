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
        return "rig error " + std::to_string(status.rigError);
    case Reason::NetworkError:
        return "network error";
    case Reason::None:
    case Reason::Connecting:
        break;
    }
    return "not known";
}

} // namespace

std::string StatusText(const LinkStatus& status) {
    switch (status.state) {
    case LinkState::Receiving:
        return "Connected, receiving";
    case LinkState::Transmitting:
        return "Connected, transmitting";
    case LinkState::NotConnected:
        break;
    }
    if (status.reason == Reason::None)
        return "Not connected";
    if (status.reason == Reason::Connecting)
        return "Connecting";
    const std::string retry = status.retryInSeconds > 0
                                  ? ", retrying in " + std::to_string(status.retryInSeconds) + " s"
                                  : ", retrying";
    return "Not connected: " + ReasonText(status) + retry;
}

int RetryPauseSeconds(int failures) {
    const int doublings = std::clamp(failures - 1, 0, 5);
    return std::min(1 << doublings, kMaxPauseSeconds);
}

} // namespace rig
