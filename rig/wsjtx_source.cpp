#include "rig/wsjtx_source.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>

#include <chrono>

namespace rig {
namespace {

// Taken at a time, so that a flood cannot hold the event loop: the rest wait their turn.
constexpr int kDatagramsAtATime = 64;
constexpr QUdpSocket::BindMode kShared = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;

QNetworkInterface LoopbackInterface() {
    for (const QNetworkInterface& candidate : QNetworkInterface::allInterfaces())
        if (candidate.flags() & QNetworkInterface::IsLoopBack)
            return candidate;
    return {};
}

} // namespace

WsjtxSource::WsjtxSource(quint16 port, const QString& group, QObject* parent)
    : TransmitterSource(parent)
    , m_port(port)
    , m_group(group)
    , m_socket(new QUdpSocket(this))
    , m_silence(new QTimer(this)) {
    m_silence->setSingleShot(true);
    connect(m_socket, &QUdpSocket::readyRead, this, &WsjtxSource::ReadDatagrams);
    connect(m_silence, &QTimer::timeout, this, &WsjtxSource::ExpireSilent);
}

WatchPace WsjtxSource::Pace() const {
    return {wsjtx::kSilenceLimit + std::chrono::seconds(1), wsjtx::kSilenceLimit};
}

void WsjtxSource::Start() {
    SetStatus({LinkState::NotConnected, Reason::Connecting});
    Listen();
}

QString WsjtxSource::StatusText() const {
    return QString::fromStdString(HeardStatusText(Status(), m_peers.Names(), m_port));
}

void WsjtxSource::Listen() {
    if (m_group.isEmpty()) {
        if (!m_socket->bind(QHostAddress::LocalHost, m_port, kShared))
            SetStatus({LinkState::NotConnected, Reason::CannotListen});
        return;
    }
    if (!JoinGroup())
        m_socket->abort();
}

// "group" or "group%interface".
bool WsjtxSource::JoinGroup() {
    const QHostAddress group(m_group.section('%', 0, 0));
    const QString named = m_group.section('%', 1);
    const QNetworkInterface on =
        named.isEmpty() ? LoopbackInterface() : QNetworkInterface::interfaceFromName(named);
    if (group.protocol() != QAbstractSocket::IPv4Protocol || !group.isMulticast() ||
        !on.isValid()) {
        SetStatus({LinkState::NotConnected, Reason::BadGroup});
        return false;
    }
    if (!m_socket->bind(group, m_port, kShared) || !m_socket->joinMulticastGroup(group, on)) {
        SetStatus({LinkState::NotConnected, Reason::CannotListen});
        return false;
    }
    if (on.flags() & QNetworkInterface::IsLoopBack)
        m_ownAddresses = QNetworkInterface::allAddresses();
    return true;
}

void WsjtxSource::ReadDatagrams() {
    for (int taken = 0; taken < kDatagramsAtATime && m_socket->hasPendingDatagrams(); ++taken) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram();
        QHostAddress sender = datagram.senderAddress();
        if (m_ownAddresses.isEmpty() || sender.isLoopback() || m_ownAddresses.contains(sender))
            Take(datagram.data());
    }
    if (m_socket->hasPendingDatagrams())
        QTimer::singleShot(0, this, &WsjtxSource::ReadDatagrams);
}

void WsjtxSource::Take(const QByteArray& bytes) {
    const auto message = wsjtx::ReadDatagram(std::string_view(bytes.constData(), bytes.size()));
    if (!message || message->type == wsjtx::Message::Type::Other)
        return;
    m_peers.Take(*message, wsjtx::Peers::Clock::now());
    m_everHeard = m_everHeard || m_peers.AnyHeard();
    Tell();
}

void WsjtxSource::ExpireSilent() {
    m_peers.Expire(wsjtx::Peers::Clock::now());
    Tell();
}

// Also rearms the wait for the next program to fall silent.
void WsjtxSource::Tell() {
    if (const auto expiry = m_peers.NextExpiry()) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(*expiry - wsjtx::Peers::Clock::now());
        m_silence->start(std::max(left, std::chrono::milliseconds(0)));
    } else {
        m_silence->stop();
    }
    if (m_peers.AnyHeard()) {
        const LinkState state =
            m_peers.AnyTransmitting() ? LinkState::Transmitting : LinkState::Receiving;
        SetStatus({state, Reason::None, m_peers.Count()});
        emit Sampled(state);
        return;
    }
    if (!m_everHeard)
        return;
    SetStatus(
        {LinkState::NotConnected, m_peers.LastClosed() ? Reason::ProgramClosed : Reason::Silent});
    emit Sampled(LinkState::NotConnected);
}

} // namespace rig
