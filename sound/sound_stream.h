#pragma once
// TSoundStream: plays sounds on the sound server, one at a time, on a thread of its own and each
// through a connection of its own (libpulse's simple API, which PipeWire serves too): a busy
// user-interface thread cannot starve a sound into gaps, and a sound server restarted meanwhile
// is simply connected to again at the next sound. The thread starts at the first Prepare or
// Play, so a stream that never sounds costs nothing.
//
// The thread touches only the sound it plays and the stream's Shared state, which it owns with
// the stream: which sound may play, and the way back for a failure. It never touches the stream
// itself, which may be gone long before a hung server lets the thread go.
#include "sound/worker_thread.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class TSoundSource;

class TSoundStream : public QObject {
public:
    // Called on this object's thread, while it lives, with the failed sound's name and the
    // reason.
    using FailureHandler = std::function<void(const QString& fileName, const QString& reason)>;
    explicit TSoundStream(FailureHandler failed);
    ~TSoundStream() override;

    // Starts the thread now rather than at the first Play, which it would make late.
    void Prepare() { m_thread.Start(); }
    // Ends what plays now and plays `source`, named `name`, on the server's sink named `sink`
    // (empty: the server's default); returns at once. The source is opened on the thread.
    void Play(std::unique_ptr<TSoundSource> source, const QString& name, const QByteArray& sink);
    void Stop();

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    TWorkerThread m_thread; // last, so that it is let go first
};
