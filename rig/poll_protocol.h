#pragma once
// How a polled transmitter source is asked for the transmitter's state (PTT) and how its reply
// is read: one small protocol per program (rigctld's own line protocol, flrig's and fldigi's
// XML-RPC), behind one interface that the link drives. Free of any toolkit.
#include "rig/ptt_answer.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace rig {

class PollProtocol {
public:
    virtual ~PollProtocol() = default;
    // The bytes of one query; host is the server's name as the operator gave it.
    virtual std::string Query(std::string_view host) const = 0;
    // The answer once the reply is complete; Unreadable as soon as the bytes can no longer be
    // a single reply; nothing while it is incomplete. After an answer it starts afresh.
    virtual std::optional<PttAnswer> Feed(std::string_view bytes) = 0;
    virtual void Clear() = 0;
};

std::unique_ptr<PollProtocol> MakeRigctldProtocol();
// rig.get_ptt: an integer, 1 while transmitting.
std::unique_ptr<PollProtocol> MakeFlrigProtocol();
// main.get_trx_state: "TX" while transmitting, "TUNE" while tuning, "RX" otherwise.
std::unique_ptr<PollProtocol> MakeFldigiProtocol();

} // namespace rig
