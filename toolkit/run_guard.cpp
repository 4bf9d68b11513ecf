#include "toolkit/run_guard.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <cstdio>
#include <unistd.h>

namespace {

// How long a later start waits for the run holding the file to answer.
constexpr int kAnswerWaitMs = 3000;

QString ServerName(const UnicodeString& file) {
    const QByteArray path = QFileInfo(file).absoluteFilePath().toUtf8();
    return QStringLiteral("chimewell-%1-%2")
        .arg(::getuid())
        .arg(QString::fromLatin1(
            QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(16)));
}

} // namespace

TRunGuard::TRunGuard(const UnicodeString& settingsFile, std::function<void()> called)
    : m_file(settingsFile)
    , m_name(ServerName(settingsFile))
    , m_lock(settingsFile + QStringLiteral(".lock"))
    , m_called(std::move(called)) {
    // Stale only when its run has ended, however long that run has been going.
    m_lock.setStaleLockTime(0);
}

bool TRunGuard::TakeFile() {
    if (m_lock.tryLock(0)) {
        Listen();
        return true;
    }
    if (m_lock.error() != QLockFile::LockFailedError) {
        std::fprintf(stderr,
                     "chimewell: no lock can be made beside %s; a second start would "
                     "not be noticed\n",
                     qUtf8Printable(m_file));
        return true;
    }
    if (CallHolder()) {
        std::fprintf(stderr,
                     "chimewell: already running for %s; its window was brought to the "
                     "front\n",
                     qUtf8Printable(m_file));
        return false;
    }
    std::fprintf(stderr,
                 "chimewell: %s is locked by a run that does not answer; running all "
                 "the same\n",
                 qUtf8Printable(m_file));
    return true;
}

bool TRunGuard::CallHolder() {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kAnswerWaitMs))
        return false;
    socket.write("front\n");
    return socket.waitForBytesWritten(kAnswerWaitMs);
}

// A socket left by a killed run is removed first: the lock says no run listens there.
void TRunGuard::Listen() {
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name))
        std::fprintf(stderr, "chimewell: a second start will not find this one (%s)\n",
                     qUtf8Printable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* later = m_server->nextPendingConnection()) {
            connect(later, &QLocalSocket::disconnected, later, &QObject::deleteLater);
            m_called();
        }
    });
}
