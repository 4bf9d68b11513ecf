#include "rig/rig_link.h"

#include <QTcpSocket>
#include <QTimer>

namespace rig {
namespace {

constexpr int kPollMs = 250;
constexpr int kReplyTimeoutMs = 1000;
// Longer than a reply's: a connection may wait on a name lookup first.
constexpr int kConnectTimeoutMs = 5000;
constexpr int kPauseStepMs = 1000;
constexpr qint64 kSteadyMs = 10000;

Reason ReasonOf(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return Reason::Refused;
    case QAbstractSocket::HostNotFoundError:
        return Reason::HostNotFound;
    case QAbstractSocket::RemoteHostClosedError:
        return Reason::Closed;
    case QAbstractSocket::SocketTimeoutError:
        return Reason::NoAnswer;
    default:
        return Reason::NetworkError;
    }
}

} // namespace

RigLink::RigLink(QObject* parent)
    : QObject(parent)
    , m_socket(new QTcpSocket(this))
    , m_timer(new QTimer(this)) {
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_phase = Phase::Polling;
        Ask();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &RigLink::ReadReply);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &RigLink::SocketFailed);
    connect(m_timer, &QTimer::timeout, this, &RigLink::Tick);
}

void RigLink::Start(const QString& host, quint16 port) {
    m_host = host;
    m_port = port;
    m_failures = 0;
    SetStatus({LinkState::NotConnected, Reason::Connecting});
    Connect();
}

void RigLink::Stop() {
    m_phase = Phase::Idle;
    m_timer->stop();
    m_socket->abort();
    SetStatus({LinkState::NotConnected, Reason::None});
}

QString RigLink::StatusText() const {
    return QString::fromStdString(rig::StatusText(m_status));
}

void RigLink::Connect() {
    m_phase = Phase::Connecting;
    m_socket->abort();
    m_awaitingReply = false;
    m_reader.Clear();
    m_answeringFor.invalidate();
    m_waiting.start();
    m_timer->start(kPollMs);
    m_socket->connectToHost(m_host, m_port);
}

void RigLink::Ask() {
    m_socket->write(kPttQuery.data(), qint64(kPttQuery.size()));
    m_awaitingReply = true;
    m_waiting.start();
}

void RigLink::ReadReply() {
    const QByteArray bytes = m_socket->readAll();
    if (m_phase != Phase::Polling)
        return;
    if (!m_awaitingReply) {
        Fail(Reason::Unreadable); // nothing was asked
        return;
    }
    if (const auto answer = m_reader.Feed(std::string_view(bytes.constData(), bytes.size()))) {
        m_awaitingReply = false;
        Answered(*answer);
    }
}

void RigLink::Answered(PttAnswer answer) {
    switch (answer.kind) {
    case PttAnswer::Kind::Receiving:
        Report(LinkState::Receiving);
        break;
    case PttAnswer::Kind::Transmitting:
        Report(LinkState::Transmitting);
        break;
    case PttAnswer::Kind::RigError:
        Fail(Reason::RigError, answer.error);
        break;
    case PttAnswer::Kind::Unreadable:
        Fail(Reason::Unreadable);
        break;
    }
}

void RigLink::Report(LinkState state) {
    if (!m_answeringFor.isValid())
        m_answeringFor.start();
    else if (m_answeringFor.elapsed() >= kSteadyMs)
        m_failures = 0;
    SetStatus({state, Reason::None});
    emit Sampled(state);
    if (state == LinkState::Transmitting) {
        m_lastTransmission = QDateTime::currentDateTime();
        emit LastTransmissionChanged(m_lastTransmission);
    }
}

void RigLink::Tick() {
    switch (m_phase) {
    case Phase::Connecting:
        if (m_waiting.elapsed() >= kConnectTimeoutMs)
            Fail(Reason::NoAnswer);
        break;
    case Phase::Polling:
        if (!m_awaitingReply)
            Ask();
        else if (m_waiting.elapsed() >= kReplyTimeoutMs)
            Fail(Reason::NoAnswer);
        break;
    case Phase::Pausing:
        TickPause();
        break;
    case Phase::Idle:
        break;
    }
}

void RigLink::TickPause() {
    SetStatus({LinkState::NotConnected, m_status.reason, m_status.rigError, --m_pauseLeft});
    if (m_pauseLeft == 0)
        Connect();
}

void RigLink::SocketFailed() {
    Fail(ReasonOf(m_socket->error()));
}

void RigLink::Fail(Reason reason, int rigError) {
    if (m_phase != Phase::Connecting && m_phase != Phase::Polling)
        return;
    m_phase = Phase::Pausing;
    m_socket->abort();
    m_pauseLeft = RetryPauseSeconds(++m_failures);
    m_timer->start(kPauseStepMs);
    SetStatus({LinkState::NotConnected, reason, rigError, m_pauseLeft});
    emit Sampled(LinkState::NotConnected);
}

void RigLink::SetStatus(const LinkStatus& status) {
    if (status == m_status)
        return;
    m_status = status;
    emit StatusChanged(m_status);
}

} // namespace rig
