#include "rig/ptt_reply.h"

namespace rig {
namespace {

constexpr std::string_view kCommand = "get_ptt:;";
constexpr std::string_view kPtt = "PTT: ";
constexpr std::string_view kSuccess = ";RPRT 0";
constexpr std::string_view kFailure = "RPRT -";
// Return codes have at most three digits; Hamlib's run to about 20.
constexpr std::size_t kMaxErrorDigits = 3;

bool Consume(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// Hamlib's PTT values: 0 off; 1 on, 2 on from the microphone, 3 on from the data port.
PttAnswer ParsePtt(std::string_view rest) {
    if (rest.size() != 1 + kSuccess.size() || !rest.ends_with(kSuccess))
        return {};
    if (rest[0] == '0')
        return {PttAnswer::Kind::Receiving};
    if (rest[0] >= '1' && rest[0] <= '3')
        return {PttAnswer::Kind::Transmitting};
    return {};
}

PttAnswer ParseError(std::string_view digits) {
    if (digits.empty() || digits.size() > kMaxErrorDigits || digits[0] == '0')
        return {};
    int code = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9')
            return {};
        code = code * 10 + (digit - '0');
    }
    return {PttAnswer::Kind::RigError, -code};
}

} // namespace

PttAnswer ParsePttReply(std::string_view line) {
    if (!Consume(line, kCommand))
        return {};
    if (Consume(line, kPtt))
        return ParsePtt(line);
    if (Consume(line, kFailure))
        return ParseError(line);
    return {};
}

std::optional<PttAnswer> ReplyReader::Feed(std::string_view bytes) {
    m_line.append(bytes);
    const std::size_t end = m_line.find('\n');
    if (end == std::string::npos && m_line.size() <= kMaxReplyBytes)
        return std::nullopt;
    const bool whole = end != std::string::npos && end + 1 == m_line.size();
    const PttAnswer answer =
        whole ? ParsePttReply(std::string_view(m_line).substr(0, end)) : PttAnswer{};
    m_line.clear();
    return answer;
}

} // namespace rig
