#pragma once
// What WSJT-X and JTDX broadcast to their "UDP Server": one message a datagram, in Qt's
// QDataStream layout (big-endian; a string is a 32-bit length, 0xffffffff for a null one, and
// its UTF-8 bytes). Only what tells whether a program's transmitter is on is read: the
// message's type, the sending program's Id, and for a Status its eighth field, Transmitting.
// Every length is checked against what is left; anything else in a datagram is left unread,
// so later schema versions, which append fields, read the same. Free of any toolkit.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rig::wsjtx {

inline constexpr std::uint32_t kMagic = 0xadbccbda;

struct Message {
    // The types Chimewell acts on; any other is Other.
    enum class Type { Heartbeat, Status, Close, Other };
    Type type = Type::Other;
    std::string id;
    bool transmitting = false; // a Status's
    bool operator==(const Message&) const = default;
};

// Nothing for a datagram that is not a message of schema 2 or 3, or is cut short.
std::optional<Message> ReadDatagram(std::string_view bytes);

} // namespace rig::wsjtx
