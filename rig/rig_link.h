#pragma once
// The link to a rigctld on the network: asks for the transmitter's state (PTT) about four
// times a second over a non-blocking socket on the event loop, and reports what it learns.
// No connection within 5 s, no reply within a second, a refused or closed connection, an
// unreadable reply or an error code all mean "not connected"; it then tries again by itself
// after a pause that grows from 1 s to 30 s with each failure in a row, and starts again from
// 1 s once the link has answered well for 10 s. Nothing it does waits: a silent, slow or dead
// daemon cannot delay a timer or a window.
//
// Deciding whether a mark reminds is left to ReminderRule (fed from Sampled), and choosing
// the host and port, and showing the words, to the window.
#include "rig/link_status.h"
#include "rig/ptt_reply.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

namespace rig {

class RigLink : public QObject {
    Q_OBJECT

public:
    explicit RigLink(QObject* parent = nullptr);
    // Drops any earlier link and starts watching the rigctld at host:port; the first try is now.
    // Each start is a new link: until it answers, the transmitter is not watched.
    void Start(const QString& host, quint16 port);
    void Stop();

    const LinkStatus& Status() const { return m_status; }
    QString StatusText() const;
    // Null until the transmitter has been seen on.
    QDateTime LastTransmission() const { return m_lastTransmission; }

signals:
    // On every change, and each second of a pause as it counts down.
    void StatusChanged(const rig::LinkStatus& status);
    // For ReminderRule: each answer (Receiving or Transmitting) and each failure
    // (NotConnected); nothing while the first try is under way.
    void Sampled(rig::LinkState state);
    // Each time the transmitter is seen on.
    void LastTransmissionChanged(const QDateTime& time);

private:
    enum class Phase { Idle, Connecting, Polling, Pausing };

    void Connect();
    void Ask();
    void ReadReply();
    void Tick();
    void TickPause();
    void Answered(PttAnswer answer);
    void Report(LinkState state);
    void SocketFailed();
    void Fail(Reason reason, int rigError = 0);
    void SetStatus(const LinkStatus& status);

    QTcpSocket* m_socket;
    QTimer* m_timer;
    ReplyReader m_reader;
    QString m_host;
    quint16 m_port = 0;
    Phase m_phase = Phase::Idle;
    bool m_awaitingReply = false;
    QElapsedTimer m_waiting;      // since the try or the query began
    QElapsedTimer m_answeringFor; // since the link last came up
    int m_failures = 0;
    int m_pauseLeft = 0;
    LinkStatus m_status;
    QDateTime m_lastTransmission;
};

} // namespace rig
