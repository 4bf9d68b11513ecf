#pragma once
// What flrig and fldigi answer over XML-RPC, read strictly: the HTTP response that carries the
// reply (its status and its body, sized by Content-Length), and the one value of the
// methodResponse in that body. Anything not exactly understood is unreadable, and the caller
// treats it as no answer. Sending, timing and reconnecting are left to the link.
#include <optional>
#include <string>
#include <string_view>

namespace rig {

// The request for a method without parameters, sent over a kept-alive connection.
std::string XmlRpcRequest(std::string_view method, std::string_view host);

struct XmlRpcValue {
    // Integer for <int>, <i4> and <boolean>; Text for <string> and untyped values.
    enum class Kind { Integer, Text, Fault, Unreadable };
    Kind kind = Kind::Unreadable;
    long long integer = 0;
    std::string text;
    bool operator==(const XmlRpcValue&) const = default;
};

XmlRpcValue ParseMethodResponse(std::string_view xml);

struct HttpReply {
    int status = 0; // 0: not an HTTP response
    std::string body;
    bool operator==(const HttpReply&) const = default;
};

// Gathers the bytes of one HTTP response as they arrive.
class HttpReplyReader {
public:
    // The response once its body is complete; status 0 as soon as the bytes can no longer be
    // a single response (a bad status line or length, too long, or anything after its body);
    // nothing while it is incomplete. After a response the reader starts afresh.
    std::optional<HttpReply> Feed(std::string_view bytes);
    void Clear() { m_bytes.clear(); }

private:
    std::string m_bytes;
};

} // namespace rig
