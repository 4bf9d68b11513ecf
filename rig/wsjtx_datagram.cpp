#include "rig/wsjtx_datagram.h"

namespace rig::wsjtx {
namespace {

constexpr std::uint32_t kNullString = 0xffffffff;
constexpr std::uint32_t kHeartbeat = 0, kStatus = 1, kClose = 6;

class Reader {
public:
    explicit Reader(std::string_view bytes)
        : m_rest(bytes) {}

    std::optional<std::uint32_t> Integer32() {
        if (m_rest.size() < 4)
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | static_cast<unsigned char>(m_rest[i]);
        m_rest.remove_prefix(4);
        return value;
    }
    bool Skip(std::size_t count) {
        if (m_rest.size() < count)
            return false;
        m_rest.remove_prefix(count);
        return true;
    }
    // A null string reads as an empty one.
    std::optional<std::string> String() {
        const auto length = Integer32();
        if (!length)
            return std::nullopt;
        if (*length == kNullString)
            return std::string();
        if (*length > m_rest.size())
            return std::nullopt;
        std::string text(m_rest.substr(0, *length));
        m_rest.remove_prefix(*length);
        return text;
    }
    std::optional<bool> Bool() {
        if (m_rest.empty())
            return std::nullopt;
        const bool value = m_rest.front() != 0;
        m_rest.remove_prefix(1);
        return value;
    }

private:
    std::string_view m_rest;
};

// After the Id: Dial Frequency, Mode, DX call, Report, Tx Mode, Tx Enabled, Transmitting.
std::optional<bool> ReadTransmitting(Reader& reader) {
    constexpr std::size_t kFrequencyBytes = 8;
    if (!reader.Skip(kFrequencyBytes))
        return std::nullopt;
    for (int text = 0; text < 4; ++text)
        if (!reader.String())
            return std::nullopt;
    if (!reader.Bool())
        return std::nullopt;
    return reader.Bool();
}

Message::Type TypeOf(std::uint32_t type) {
    switch (type) {
    case kHeartbeat:
        return Message::Type::Heartbeat;
    case kStatus:
        return Message::Type::Status;
    case kClose:
        return Message::Type::Close;
    default:
        return Message::Type::Other;
    }
}

} // namespace

std::optional<Message> ReadDatagram(std::string_view bytes) {
    Reader reader(bytes);
    const auto magic = reader.Integer32();
    const auto schema = reader.Integer32();
    const auto type = reader.Integer32();
    if (magic != kMagic || (schema != 2u && schema != 3u) || !type)
        return std::nullopt;
    auto id = reader.String();
    if (!id)
        return std::nullopt;
    Message message{TypeOf(*type), std::move(*id)};
    if (message.type == Message::Type::Status) {
        const auto transmitting = ReadTransmitting(reader);
        if (!transmitting)
            return std::nullopt;
        message.transmitting = *transmitting;
    }
    return message;
}

} // namespace rig::wsjtx
