#pragma once
// TSoundStream: plays sounds on the sound server, one at a time, on a thread of its own and each
// through a connection of its own (libpulse's simple API, which PipeWire serves too): a busy
// user-interface thread cannot starve a sound into gaps, and a sound server restarted meanwhile
// is simply connected to again at the next sound. The thread starts at the first Prepare or
// Play, so a stream that never sounds costs nothing.
#include "app/toolkit/rtl.h"

#include <QByteArray>
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>

class QThread;
class TSoundSource;

class TSoundStream : public QObject {
public:
    // Called on this object's thread with the failed sound's name and the reason.
    using FailureHandler =
        std::function<void(const UnicodeString& fileName, const UnicodeString& reason)>;
    explicit TSoundStream(FailureHandler failed);
    ~TSoundStream() override;

    // Starts the thread now rather than at the first Play, which it would make late.
    void Prepare();
    // Ends what plays now and plays `source`, named `name`, on the server's sink named `sink`
    // (empty: the server's default); returns at once.
    void Play(std::unique_ptr<TSoundSource> source, const UnicodeString& name,
              const QByteArray& sink);
    void Stop() { ++m_current; }

private:
    // On the thread: plays until the source ends or another Play or a Stop comes.
    void Run(TSoundSource& source, const UnicodeString& name, const QByteArray& sink,
             unsigned sound);
    void Fail(const UnicodeString& name, const UnicodeString& reason);

    FailureHandler m_failed;
    std::unique_ptr<QThread> m_thread;
    QObject* m_worker = nullptr;
    std::atomic<unsigned> m_current = 0; // the sound that may play; any other ends
};
