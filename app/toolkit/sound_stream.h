#pragma once
// TSoundStream: plays opened sound files on the sound server, one at a time, on a thread of its
// own and each through a connection of its own (libpulse's simple API, which PipeWire serves
// too): a busy user-interface thread cannot starve a sound into gaps, and a sound server
// restarted meanwhile is simply connected to again at the next sound.
#include "app/toolkit/rtl.h"

#include <QByteArray>
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>

class QThread;
class TSoundFile;

class TSoundStream : public QObject {
public:
    // Called on this object's thread with the failed file's name and the reason.
    using FailureHandler =
        std::function<void(const UnicodeString& fileName, const UnicodeString& reason)>;
    explicit TSoundStream(FailureHandler failed);
    ~TSoundStream() override;

    // Ends what plays now and plays `file` (open) on the server's sink named `sink` (empty:
    // the server's default); returns at once.
    void Play(std::unique_ptr<TSoundFile> file, const UnicodeString& fileName,
              const QByteArray& sink);
    void Stop() { ++m_current; }

private:
    // On the thread: plays until the file ends or another Play or a Stop comes.
    void Run(TSoundFile& file, const UnicodeString& fileName, const QByteArray& sink,
             unsigned sound);
    void Fail(const UnicodeString& fileName, const UnicodeString& reason);

    FailureHandler m_failed;
    std::unique_ptr<QThread> m_thread;
    QObject* m_worker;
    std::atomic<unsigned> m_current = 0; // the sound that may play; any other ends
};
