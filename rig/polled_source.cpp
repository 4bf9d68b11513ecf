#include "rig/polled_source.h"

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

PolledSource::PolledSource(const QString& program, std::unique_ptr<PollProtocol> protocol,
                           const QString& host, quint16 port, QObject* parent)
    : TransmitterSource(parent)
    , m_program(program)
    , m_protocol(std::move(protocol))
    , m_host(host)
    , m_port(port)
    , m_socket(new QTcpSocket(this))
    , m_timer(new QTimer(this)) {
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_phase = Phase::Polling;
        Ask();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &PolledSource::ReadReply);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &PolledSource::SocketFailed);
    connect(m_timer, &QTimer::timeout, this, &PolledSource::Tick);
}

void PolledSource::Start() {
    SetStatus({LinkState::NotConnected, Reason::Connecting});
    Connect();
}

QString PolledSource::StatusText() const {
    return QString::fromStdString(PolledStatusText(Status(), m_program.toStdString()));
}

void PolledSource::Connect() {
    m_phase = Phase::Connecting;
    m_socket->abort();
    m_awaitingReply = false;
    m_protocol->Clear();
    m_answeringFor.invalidate();
    m_waiting.start();
    m_timer->start(kPollMs);
    m_socket->connectToHost(m_host, m_port);
}

void PolledSource::Ask() {
    const std::string query = m_protocol->Query(m_host.toStdString());
    m_socket->write(query.data(), qint64(query.size()));
    m_awaitingReply = true;
    m_waiting.start();
}

void PolledSource::ReadReply() {
    const QByteArray bytes = m_socket->readAll();
    if (m_phase != Phase::Polling)
        return;
    if (!m_awaitingReply) {
        Fail(Reason::Unreadable); // nothing was asked
        return;
    }
    if (const auto answer = m_protocol->Feed(std::string_view(bytes.constData(), bytes.size()))) {
        m_awaitingReply = false;
        Answered(*answer);
    }
}

void PolledSource::Answered(PttAnswer answer) {
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
    case PttAnswer::Kind::HttpError:
        Fail(Reason::HttpError, answer.error);
        break;
    case PttAnswer::Kind::Fault:
        Fail(Reason::Fault);
        break;
    case PttAnswer::Kind::Unreadable:
        Fail(Reason::Unreadable);
        break;
    }
}

void PolledSource::Report(LinkState state) {
    if (!m_answeringFor.isValid())
        m_answeringFor.start();
    else if (m_answeringFor.elapsed() >= kSteadyMs)
        m_failures = 0;
    SetStatus({state, Reason::None});
    emit Sampled(state);
}

void PolledSource::Tick() {
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
    }
}

void PolledSource::TickPause() {
    SetStatus({LinkState::NotConnected, Status().reason, Status().code, --m_pauseLeft});
    if (m_pauseLeft == 0)
        Connect();
}

void PolledSource::SocketFailed() {
    Fail(ReasonOf(m_socket->error()));
}

void PolledSource::Fail(Reason reason, int code) {
    if (m_phase == Phase::Pausing)
        return;
    m_phase = Phase::Pausing;
    m_socket->abort();
    m_pauseLeft = RetryPauseSeconds(++m_failures);
    m_timer->start(kPauseStepMs);
    SetStatus({LinkState::NotConnected, reason, code, m_pauseLeft});
    emit Sampled(LinkState::NotConnected);
}

} // namespace rig
