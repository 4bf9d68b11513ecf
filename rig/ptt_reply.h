#pragma once
// What rigctld answers when asked for the transmitter's state (PTT), read strictly: anything
// not exactly understood is unreadable, and the caller treats it as no answer.
//
// The query is the extended form with ';' separators: its reply is one line that names the
// command and ends in a return code ("get_ptt:;PTT: 1;RPRT 0"), so a reply cannot be mistaken
// for a stray line of another command, and success is stated, not implied. The plain "t"
// answers a bare "0" or "1", which garbage can imitate. Sending, timing and reconnecting are
// left to the link.
#include "rig/ptt_answer.h"

#include <optional>
#include <string>
#include <string_view>

namespace rig {

inline constexpr std::string_view kPttQuery = ";t\n";
// rigctld's reply is 22 bytes; more without a line end is not a reply.
inline constexpr std::size_t kMaxReplyBytes = 64;

// One reply line, without its line end.
PttAnswer ParsePttReply(std::string_view line);

// Gathers the bytes of one reply as they arrive and parses it once its line is complete.
class ReplyReader {
public:
    // The answer once the line is complete; Unreadable as soon as the bytes can no longer be a
    // single reply (too long, or anything after its line end); nothing while it is incomplete.
    // After an answer the reader starts afresh.
    std::optional<PttAnswer> Feed(std::string_view bytes);
    void Clear() { m_line.clear(); }

private:
    std::string m_line;
};

} // namespace rig
