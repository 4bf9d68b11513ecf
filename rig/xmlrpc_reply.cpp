#include "rig/xmlrpc_reply.h"

#include <charconv>

namespace rig {
namespace {

// The servers' replies are a few hundred bytes; an error page may be a few thousand.
constexpr std::size_t kMaxReplyBytes = 16384;
constexpr std::string_view kHeaderEnd = "\r\n\r\n";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// All of the text as a number, or nothing.
template <class Number> std::optional<Number> NumberOf(std::string_view text) {
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

// Walks the XML of a reply tag by tag; whitespace between tags does not count.
class XmlCursor {
public:
    explicit XmlCursor(std::string_view xml)
        : m_rest(xml) {}

    void SkipProlog() {
        SkipSpace();
        if (m_rest.starts_with("<?xml")) {
            const std::size_t end = m_rest.find("?>");
            m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end + 2);
        }
    }
    bool Tag(std::string_view name, bool closing = false) {
        SkipSpace();
        const std::string tag = (closing ? "</" : "<") + std::string(name) + ">";
        if (!m_rest.starts_with(tag))
            return false;
        m_rest.remove_prefix(tag.size());
        return true;
    }
    // The text up to the next tag, as it stands.
    std::string_view Text() {
        const std::size_t end = m_rest.find('<');
        const std::string_view text = m_rest.substr(0, end);
        m_rest.remove_prefix(text.size());
        return text;
    }
    bool AtEnd() {
        SkipSpace();
        return m_rest.empty();
    }

private:
    void SkipSpace() {
        while (!m_rest.empty() && IsSpace(m_rest.front()))
            m_rest.remove_prefix(1);
    }
    std::string_view m_rest;
};

// A typed value's text between its tags; an escaped character makes it unreadable.
std::optional<std::string_view> TypedText(XmlCursor& xml, std::string_view type) {
    if (!xml.Tag(type))
        return std::nullopt;
    const std::string_view text = xml.Text();
    if (text.find('&') != std::string_view::npos || !xml.Tag(type, true))
        return std::nullopt;
    return text;
}

XmlRpcValue ReadValue(XmlCursor& xml) {
    for (const std::string_view type : {"int", "i4", "boolean"})
        if (const auto text = TypedText(xml, type)) {
            const auto number = NumberOf<long long>(Trimmed(*text));
            return number ? XmlRpcValue{XmlRpcValue::Kind::Integer, *number, {}} : XmlRpcValue{};
        }
    if (const auto text = TypedText(xml, "string"))
        return {XmlRpcValue::Kind::Text, 0, std::string(*text)};
    const std::string_view text = xml.Text(); // untyped: a string
    if (text.find('&') != std::string_view::npos)
        return {};
    return {XmlRpcValue::Kind::Text, 0, std::string(Trimmed(text))};
}

// The fault's details do not matter: the reply is not an answer.
bool IsFault(std::string_view xml) {
    XmlCursor cursor(xml);
    cursor.SkipProlog();
    return cursor.Tag("methodResponse") && cursor.Tag("fault");
}

struct StatusLine {
    int status = 0;
    std::size_t contentLength = 0;
};

// The status and the body's length, from the response's header.
std::optional<StatusLine> ReadHeader(std::string_view header) {
    std::size_t lineEnd = header.find("\r\n");
    const std::string_view first = header.substr(0, lineEnd);
    if (!first.starts_with("HTTP/1.") || first.size() < 12 || first[8] != ' ')
        return std::nullopt;
    const auto status = NumberOf<int>(first.substr(9, 3));
    std::optional<std::size_t> length;
    while (lineEnd != std::string_view::npos) {
        header.remove_prefix(lineEnd + 2);
        lineEnd = header.find("\r\n");
        const std::string_view line = header.substr(0, lineEnd);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && SameLetters(line.substr(0, colon), "content-length"))
            length = NumberOf<std::size_t>(Trimmed(line.substr(colon + 1)));
    }
    if (!status || !length)
        return std::nullopt;
    return StatusLine{*status, *length};
}

} // namespace

std::string XmlRpcRequest(std::string_view method, std::string_view host) {
    const std::string body = "<?xml version=\"1.0\"?>\r\n<methodCall><methodName>" +
                             std::string(method) + "</methodName></methodCall>\r\n";
    return "POST /RPC2 HTTP/1.1\r\nHost: " + std::string(host) +
           "\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

XmlRpcValue ParseMethodResponse(std::string_view xml) {
    if (IsFault(xml))
        return {XmlRpcValue::Kind::Fault, 0, {}};
    XmlCursor cursor(xml);
    cursor.SkipProlog();
    if (!cursor.Tag("methodResponse") || !cursor.Tag("params") || !cursor.Tag("param") ||
        !cursor.Tag("value"))
        return {};
    XmlRpcValue value = ReadValue(cursor);
    const bool closed = cursor.Tag("value", true) && cursor.Tag("param", true) &&
                        cursor.Tag("params", true) && cursor.Tag("methodResponse", true);
    return closed && cursor.AtEnd() ? value : XmlRpcValue{};
}

std::optional<HttpReply> HttpReplyReader::Feed(std::string_view bytes) {
    m_bytes.append(bytes);
    const std::size_t headerEnd = m_bytes.find(kHeaderEnd);
    if (headerEnd == std::string::npos) {
        if (m_bytes.size() <= kMaxReplyBytes)
            return std::nullopt;
        m_bytes.clear();
        return HttpReply{};
    }
    const auto header = ReadHeader(std::string_view(m_bytes).substr(0, headerEnd));
    const std::size_t bodyStart = headerEnd + kHeaderEnd.size();
    if (header && header->contentLength <= kMaxReplyBytes &&
        m_bytes.size() < bodyStart + header->contentLength)
        return std::nullopt;
    HttpReply reply;
    if (header && header->contentLength <= kMaxReplyBytes &&
        m_bytes.size() == bodyStart + header->contentLength)
        reply = {header->status, m_bytes.substr(bodyStart)};
    m_bytes.clear();
    return reply;
}

} // namespace rig
