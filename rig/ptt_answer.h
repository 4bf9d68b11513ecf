#pragma once
// What a transmitter source's reply says of the transmitter, whichever program sent it.

namespace rig {

struct PttAnswer {
    enum class Kind { Receiving, Transmitting, RigError, HttpError, Fault, Unreadable };
    Kind kind = Kind::Unreadable;
    // rigctld's (negative) return code with RigError; the HTTP status with HttpError.
    int error = 0;
    bool operator==(const PttAnswer&) const = default;
};

} // namespace rig
