#pragma once
// A transmitter source asked in turn for the PTT state, about four times a second, over a
// kept-alive, non-blocking socket on the event loop: rigctld, flrig or fldigi, each by its own
// protocol. No connection within 5 s, no reply within a second, a refused or closed
// connection, an unreadable reply or an error means "not connected"; it then tries again by
// itself after a pause that grows from 1 s to 30 s with each failure in a row, and starts
// again from 1 s once the link has answered well for 10 s.
#include "rig/poll_protocol.h"
#include "rig/transmitter_source.h"

#include <QElapsedTimer>

#include <memory>

class QTcpSocket;
class QTimer;

namespace rig {

class PolledSource : public TransmitterSource {
public:
    // program is the name the words use ("flrig").
    PolledSource(const QString& program, std::unique_ptr<PollProtocol> protocol,
                 const QString& host, quint16 port, QObject* parent = nullptr);

    void Start() override;
    QString StatusText() const override;
    WatchPace Pace() const override { return kPolledPace; }

private:
    enum class Phase { Connecting, Polling, Pausing };

    void Connect();
    void Ask();
    void ReadReply();
    void Tick();
    void TickPause();
    void Answered(PttAnswer answer);
    void Report(LinkState state);
    void SocketFailed();
    void Fail(Reason reason, int code = 0);

    QString m_program;
    std::unique_ptr<PollProtocol> m_protocol;
    QString m_host;
    quint16 m_port;
    QTcpSocket* m_socket;
    QTimer* m_timer;
    Phase m_phase = Phase::Connecting;
    bool m_awaitingReply = false;
    QElapsedTimer m_waiting;      // since the try or the query began
    QElapsedTimer m_answeringFor; // since the link last came up
    int m_failures = 0;
    int m_pauseLeft = 0;
};

} // namespace rig
