#include "rig/poll_protocol.h"

#include "rig/ptt_reply.h"
#include "rig/xmlrpc_reply.h"

namespace rig {
namespace {

class RigctldProtocol : public PollProtocol {
public:
    std::string Query(std::string_view) const override { return std::string(kPttQuery); }
    std::optional<PttAnswer> Feed(std::string_view bytes) override { return m_reader.Feed(bytes); }
    void Clear() override { m_reader.Clear(); }

private:
    ReplyReader m_reader;
};

using Interpretation = PttAnswer (*)(const XmlRpcValue& value);

// A method without parameters, its reply's value read as the PTT state.
class XmlRpcProtocol : public PollProtocol {
public:
    XmlRpcProtocol(std::string_view method, Interpretation interpret)
        : m_method(method)
        , m_interpret(interpret) {}

    std::string Query(std::string_view host) const override {
        return XmlRpcRequest(m_method, host);
    }
    std::optional<PttAnswer> Feed(std::string_view bytes) override {
        const auto reply = m_reader.Feed(bytes);
        if (!reply)
            return std::nullopt;
        if (reply->status == 0)
            return PttAnswer{};
        if (reply->status != 200)
            return PttAnswer{PttAnswer::Kind::HttpError, reply->status};
        const XmlRpcValue value = ParseMethodResponse(reply->body);
        if (value.kind == XmlRpcValue::Kind::Fault)
            return PttAnswer{PttAnswer::Kind::Fault};
        return m_interpret(value);
    }
    void Clear() override { m_reader.Clear(); }

private:
    std::string_view m_method;
    Interpretation m_interpret;
    HttpReplyReader m_reader;
};

PttAnswer FlrigPtt(const XmlRpcValue& value) {
    if (value.kind != XmlRpcValue::Kind::Integer)
        return {};
    return {value.integer ? PttAnswer::Kind::Transmitting : PttAnswer::Kind::Receiving};
}

PttAnswer FldigiPtt(const XmlRpcValue& value) {
    if (value.kind != XmlRpcValue::Kind::Text)
        return {};
    if (value.text == "TX" || value.text == "TUNE")
        return {PttAnswer::Kind::Transmitting};
    if (value.text == "RX")
        return {PttAnswer::Kind::Receiving};
    return {};
}

} // namespace

std::unique_ptr<PollProtocol> MakeRigctldProtocol() {
    return std::make_unique<RigctldProtocol>();
}

std::unique_ptr<PollProtocol> MakeFlrigProtocol() {
    return std::make_unique<XmlRpcProtocol>("rig.get_ptt", FlrigPtt);
}

std::unique_ptr<PollProtocol> MakeFldigiProtocol() {
    return std::make_unique<XmlRpcProtocol>("main.get_trx_state", FldigiPtt);
}

} // namespace rig
