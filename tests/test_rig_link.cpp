#include "rig/rig_link.h"

#include <QProcess>
#include <QTcpServer>
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
        return process.waitForStarted();
    }
    bool SetPtt(const char* on) const {
        const QStringList arguments = {"-m", "2", "-r", "localhost:" + Port(), "T", on};
        return QProcess::execute(qEnvironmentVariable("RIGCTL"), arguments) == 0;
    }
    QString Port() const { return QString::number(port); }
};

} // namespace

class TestRigLink : public QObject {
    Q_OBJECT

private slots:
    // Receiving, then transmitting; with the daemon gone, the link says why and tries again.
    void realDaemon() {
        Rigctld rigctld;
        QVERIFY2(rigctld.Start(), "rigctld (Debian: libhamlib-utils) does not start");
        QTRY_VERIFY(rigctld.SetPtt("0")); // it listens
        rig::RigLink link;
        link.Start("localhost", rigctld.port);
        QTRY_COMPARE(link.StatusText(), QString("Connected, receiving"));
        QVERIFY(rigctld.SetPtt("1"));
        QTRY_COMPARE(link.Status().state, LinkState::Transmitting);
        QVERIFY(!link.LastTransmission().isNull());
        rigctld.process.kill();
        rigctld.process.waitForFinished();
        QTRY_COMPARE(link.StatusText(),
                     QString("Not connected: connection closed, retrying in 1 s"));
        QTRY_COMPARE_WITH_TIMEOUT(
            link.StatusText(), QString("Not connected: connection refused, retrying in 2 s"), 3000);
    }
};

QTEST_GUILESS_MAIN(TestRigLink)
#include "test_rig_link.moc"
