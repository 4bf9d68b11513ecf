#include "rig/rig_link.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

using rig::LinkState;

namespace {

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// Hamlib's dummy radio behind rigctld, taking PTT commands, on a free local port.
class Rigctld {
public:
    Rigctld()
        : m_port(FreePort()) {}
    ~Rigctld() { Kill(); }
    quint16 Port() const { return m_port; }

    bool Start() {
        m_process.start(qEnvironmentVariable("RIGCTLD"),
                        {"-m", "1", "-P", "RIG", "-t", QString::number(m_port)});
        for (int tries = 0; tries < 50 && m_process.waitForStarted(); ++tries) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(100))
                return true;
            QTest::qWait(100);
        }
        return false;
    }
    void Kill() {
        m_process.kill();
        m_process.waitForFinished();
    }
    bool SetPtt(bool on) const {
        const QStringList arguments = {
            "-m", "2", "-r", QString("localhost:%1").arg(m_port), "T", on ? "1" : "0"};
        return QProcess::execute(qEnvironmentVariable("RIGCTL"), arguments) == 0;
    }

private:
    quint16 m_port;
    QProcess m_process;
};

// A local server that accepts and then stays silent, answers garbage or closes at once.
class FakeDaemon : public QTcpServer {
public:
    explicit FakeDaemon(const QString& kind) {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this, kind] {
            QTcpSocket* client = nextPendingConnection();
            if (kind == "closes")
                client->close();
            else if (kind == "garbage")
                connect(client, &QTcpSocket::readyRead, client, [client] {
                    client->readAll();
                    client->write("FM\n15000\n");
                });
        });
    }
};

// Every status the link shows, in words, and the longest the event loop went without a
// 50 ms timer's tick.
struct Watcher {
    explicit Watcher(rig::RigLink& link) {
        QObject::connect(&link, &rig::RigLink::StatusChanged, &link, [this](const auto& status) {
            texts << QString::fromStdString(rig::StatusText(status));
        });
        QObject::connect(&timer, &QTimer::timeout, &timer,
                         [this] { longestGapMs = std::max(longestGapMs, sinceTick.restart()); });
        sinceTick.start();
        timer.start(50);
    }
    QStringList texts;
    QTimer timer;
    QElapsedTimer sinceTick;
    qint64 longestGapMs = 0;
};

} // namespace

class TestRigLink : public QObject {
    Q_OBJECT

private slots:
    // Receiving, transmitting, the daemon killed and started again: the link comes back.
    void realDaemon() {
        Rigctld rigctld;
        QVERIFY2(rigctld.Start(), "rigctld (Debian: libhamlib-utils) does not start");
        rig::RigLink link;
        QSignalSpy samples(&link, &rig::RigLink::Sampled);
        link.Start("localhost", rigctld.Port());
        QTRY_COMPARE(link.StatusText(), QString("Connected, receiving"));
        samples.clear();
        QTest::qWait(1000);
        QVERIFY(samples.count() >= 2); // about four a second
        QVERIFY(link.LastTransmission().isNull());
        QVERIFY(rigctld.SetPtt(true));
        QTRY_COMPARE(link.Status().state, LinkState::Transmitting);
        QVERIFY(rigctld.SetPtt(false));
        QTRY_COMPARE(link.Status().state, LinkState::Receiving);
        QVERIFY(QDateTime::currentDateTime().secsTo(link.LastTransmission()) <= 0);

        rigctld.Kill();
        QTRY_COMPARE(link.StatusText(),
                     QString("Not connected: connection closed, retrying in 1 s"));
        QCOMPARE(samples.last().at(0).value<LinkState>(), LinkState::NotConnected);
        QVERIFY(rigctld.Start());
        QTRY_COMPARE_WITH_TIMEOUT(link.Status().state, LinkState::Receiving, 8000);
    }

    // Each way of failing is told in words; the pauses count down and grow; a reply that never
    // comes is given up after a second; the event loop never waits on the link.
    void failures_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("nobody listens") << "none"
                                        << "connection refused";
        QTest::newRow("never answers") << "silent"
                                       << "no answer";
        QTest::newRow("answers garbage") << "garbage"
                                         << "unreadable answer";
        QTest::newRow("closes at once") << "closes"
                                        << "connection closed";
    }
    void failures() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        FakeDaemon daemon(kind);
        const quint16 port = kind == "none" ? FreePort() : daemon.serverPort();
        rig::RigLink link;
        Watcher watcher(link);
        QElapsedTimer sinceStart;
        sinceStart.start();
        link.Start("127.0.0.1", port);
        QTRY_COMPARE_WITH_TIMEOUT(watcher.texts.size(), 2, 2000);
        if (kind == "silent")
            QVERIFY(sinceStart.elapsed() >= 1000);
        const QString failed = "Not connected: " + reason + ", retrying";
        const QStringList expected = {"Connecting",       failed + " in 1 s", failed,
                                      failed + " in 2 s", failed + " in 1 s", failed,
                                      failed + " in 4 s"};
        QTRY_COMPARE_WITH_TIMEOUT(watcher.texts.size(), expected.size(), 10000);
        QCOMPARE(watcher.texts, expected);
        QVERIFY(watcher.longestGapMs < 500);
    }
};

QTEST_GUILESS_MAIN(TestRigLink)
#include "test_rig_link.moc"
