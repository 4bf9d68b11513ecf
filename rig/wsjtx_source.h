#pragma once
// WSJT-X and JTDX as a transmitter source: their broadcasts listened to (never polled) on a
// port shared with other listeners, on the loopback address, or in a multicast group joined
// on the loopback interface unless another is named ("239.255.0.1%eth0"). Datagrams from the
// network cannot reach a loopback listener, and in a group joined on the loopback interface
// only this machine's own are taken, so no other machine can fake or hide a transmission. It
// wakes only for datagrams, and once when the last program heard falls silent.
#include "rig/transmitter_source.h"
#include "rig/wsjtx_peers.h"

#include <QHostAddress>
#include <QList>

class QTimer;
class QUdpSocket;

namespace rig {

class WsjtxSource : public TransmitterSource {
public:
    // An empty group listens for datagrams sent to the loopback address.
    WsjtxSource(quint16 port, const QString& group, QObject* parent = nullptr);

    void Start() override;
    QString StatusText() const override;
    // A Heartbeat comes every 15 s, and a Status with every change.
    WatchPace Pace() const override;

private:
    void Listen();
    bool JoinGroup();
    void ReadDatagrams();
    void Take(const QByteArray& bytes);
    void ExpireSilent();
    void Tell();

    quint16 m_port;
    QString m_group;
    QUdpSocket* m_socket;
    QTimer* m_silence;
    wsjtx::Peers m_peers;
    bool m_everHeard = false;
    // Set in a group joined on the loopback interface: the senders taken.
    QList<QHostAddress> m_ownAddresses;
};

} // namespace rig
