#pragma once
// Which program the transmitter is followed through, and where each kind of program is found:
// each kind keeps its own address, so that switching back and forth loses nothing.
#include <QString>

namespace rig {

enum class SourceKind { Rigctld, Flrig, Fldigi, Wsjtx };

struct ServerAddress {
    QString host;
    quint16 port = 0;
    bool operator==(const ServerAddress&) const = default;
};

struct SourceChoice {
    bool on = false;
    SourceKind kind = SourceKind::Rigctld;
    ServerAddress rigctld;
    ServerAddress flrig;
    ServerAddress fldigi;
    quint16 wsjtxPort = 0;
    QString wsjtxGroup; // empty: the loopback address
    bool operator==(const SourceChoice&) const = default;

    // The chosen kind's address; WSJT-X's group stands as its host.
    ServerAddress Chosen() const;
    void SetChosen(const ServerAddress& address);
};

} // namespace rig
