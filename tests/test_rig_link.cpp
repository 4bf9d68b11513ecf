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
struct Rigctld {
    quint16 port = FreePort();
    QProcess process;

    bool Start() {
        process.start(qEnvironmentVariable("RIGCTLD"), {"-m", "1", "-P", "RIG", "-t", Port()});
        QTcpSocket probe;
        for (int tries = 0; tries < 50 && process.waitForStarted(); ++tries) {
            probe.connectToHost(QHostAddress::LocalHost, port);
            if (probe.waitForConnected(100))
                return true;
            QTest::qWait(100);
        }
        return false;
    }
    bool SetPtt(const char* on) const {
        const QStringList arguments = {"-m", "2", "-r", "localhost:" + Port(), "T", on};
        return QProcess::execute(qEnvironmentVariable("RIGCTL"), arguments) == 0;
    }
    QString Port() const { return QString::number(port); }
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
struct Watcher : QTimer {
    explicit Watcher(rig::RigLink& link) {
        connect(&link, &rig::RigLink::StatusChanged, this, [this](const auto& status) {
            texts << QString::fromStdString(StatusText(status));
        });
        connect(this, &QTimer::timeout, this,
                [this] { longestGapMs = std::max(longestGapMs, sinceTick.restart()); });
        sinceTick.start();
        start(50);
    }
    QStringList texts;
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
        link.Start("localhost", rigctld.port);
        QTRY_COMPARE(link.StatusText(), QString("Connected, receiving"));
        QVERIFY(link.LastTransmission().isNull());
        const QDateTime beforeTransmitting = QDateTime::currentDateTime();
        QVERIFY(rigctld.SetPtt("1"));
        QTRY_COMPARE(link.Status().state, LinkState::Transmitting);
        QVERIFY(rigctld.SetPtt("0"));
        QTRY_COMPARE(link.Status().state, LinkState::Receiving);
        QVERIFY(link.LastTransmission() >= beforeTransmitting);

        rigctld.process.kill();
        rigctld.process.waitForFinished();
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
        const auto row = [](const char* name, const char* kind, const char* reason) {
            QTest::newRow(name) << QString(kind) << QString(reason);
        };
        row("nobody listens", "none", "connection refused");
        row("never answers", "silent", "no answer");
        row("answers garbage", "garbage", "unreadable answer");
        row("closes at once", "closes", "connection closed");
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
