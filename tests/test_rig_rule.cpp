// The readers of what rigctld, flrig, fldigi and WSJT-X send, and the reminding rule, without
// a network.
#include "rig/countdown.h"
#include "rig/id_timer.h"
#include "rig/poll_protocol.h"
#include "rig/reminder_rule.h"
#include "rig/wsjtx_peers.h"
#include "test_files.h"

#include <QtTest>

using rig::LinkState;
using rig::wsjtx::Message;

namespace {

// Every rule keeps the same wall clock; second 0 is its epoch.
std::chrono::system_clock::time_point At(int second) {
    return std::chrono::system_clock::time_point{} + std::chrono::seconds(second);
}

// A history's report: r receiving, t transmitting, n not connected, in the order of LinkState;
// anything else, none (-1).
int StateOf(QChar report) {
    return static_cast<int>(QString("nrt").indexOf(report));
}
LinkState State(int report) {
    return static_cast<LinkState>(report);
}

QString Described(const std::optional<rig::PttAnswer>& answer) {
    static const QStringList kinds = {"receiving", "transmitting", "error",
                                      "http",      "fault",        "unreadable"};
    if (!answer)
        return "waiting";
    const QString error = answer->error ? QString(" %1").arg(answer->error) : QString();
    return kinds[static_cast<int>(answer->kind)] + error;
}

// Runs a history such as "1r 300t 599n 600M 700z": at each second a report (r receiving,
// t transmitting, n not connected), repeated every second until the next event as the link
// repeats it, a mark (M), or the end of the reports (z: asleep, or the link silent). Gives R
// or Q (quiet) for each mark.
// A c restarts the rule (another source chosen). Heard as WSJT-X's, a report repeats every
// 15 s, as its Heartbeat, at its pace.
QString MarksOf(const QString& history, bool heard) {
    const rig::WatchPace pace =
        heard ? rig::WatchPace{std::chrono::seconds(21), std::chrono::seconds(20)}
              : rig::kPolledPace;
    const int every = heard ? 15 : 1;
    rig::ReminderRule rule(At(0), pace);
    QString results;
    int repeated = -1;
    int last = 0;
    for (const QString& event : history.split(' ')) {
        const int second = event.chopped(1).toInt();
        for (int filled = last + every; repeated >= 0 && filled < second; filled += every)
            rule.Observe(At(filled), State(repeated));
        last = second;
        if (event.endsWith('M')) {
            results += rule.RemindAt(At(second)) ? 'R' : 'Q';
            continue;
        }
        if (event.endsWith('c')) {
            rule.Restart(At(second), pace);
            repeated = -1;
            continue;
        }
        repeated = StateOf(event.back());
        if (repeated >= 0)
            rule.Observe(At(second), State(repeated));
    }
    return results;
}

// The identification timer over a history as MarksOf's (no c), with an interval of 600 s and
// a clock mark at every multiple of it: gives each reminder with its second, "D750" (due),
// "S210" (a contact's start) or "M600" (a mark reminding, the link not trusted). The timing is
// "rolling", "polite", "start" and "warn0" as the words it holds say.
QString RemindersOf(const QString& history, const QString& timing) {
    rig::IdTimer timer({timing.contains("rolling"), std::chrono::seconds(600),
                        std::chrono::seconds(timing.contains("warn0") ? 0 : 60),
                        timing.contains("polite"), timing.contains("start")});
    QStringList reminders;
    int repeated = -1;
    int next = 0;
    const QStringList events = history.split(' ');
    for (int second = 1; second <= events.last().chopped(1).toInt(); ++second) {
        if (events[next].chopped(1).toInt() == second)
            repeated = StateOf(events[next++].back());
        if (repeated >= 0)
            timer.Observe(At(second), State(repeated));
        if (second % 600 == 0 && timing.contains("rolling") && !timer.Trusted()) {
            reminders << QString("M%1").arg(second);
            timer.RemindedAtMark(At(second));
        }
        const rig::IdReminder reminder = timer.Poll(At(second));
        if (reminder != rig::IdReminder::None)
            reminders << QString(reminder == rig::IdReminder::Due ? "D%1" : "S%1").arg(second);
    }
    return reminders.join(' ');
}

// An XML-RPC response over HTTP/1.1 as flrig and fldigi send it.
QString Http(const QString& response) {
    const QString body = "<?xml version=\"1.0\"?>\r\n" + response + "\r\n";
    return "HTTP/1.1 200 OK\r\nServer: XMLRPC++ 0.8\r\nContent-Type: text/xml\r\n"
           "Content-length: " +
           QString::number(body.size()) + "\r\n\r\n" + body;
}

QString Reply(const QString& value) {
    return Http("<methodResponse><params><param>\r\n\t<value>" + value +
                "</value>\r\n</param></params></methodResponse>");
}

// A datagram recorded from the real WSJT-X (schema 2), with byte `at` set to `value`, if given.
QByteArray Recorded(const char* name, int at = -1, char value = 0) {
    QByteArray bytes = Contents(QFINDTESTDATA(QString("data/wsjtx/%1.bin").arg(name)));
    if (at >= 0)
        bytes[at] = value;
    return bytes;
}

QString Described(const std::optional<Message>& message) {
    if (!message)
        return "unreadable";
    static const QStringList types = {"heartbeat", "status", "close", "other"};
    const QString on = message->type == Message::Type::Status
                           ? (message->transmitting ? " on" : " off")
                           : QString();
    return types[static_cast<int>(message->type)] + " " + QString::fromStdString(message->id) + on;
}

} // namespace

class TestRigRule : public QObject {
    Q_OBJECT

private slots:
    // Bytes as they arrive, chunk by chunk, and what each program's reader makes of each chunk:
    // rigctld's reply line, flrig's rig.get_ptt and fldigi's main.get_trx_state.
    void replies_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QString>("answers");
        const auto row = [](const char* name, const char* program, QStringList chunks,
                            const char* answers) {
            QTest::newRow(name) << QString(program) << chunks << QString(answers);
        };
        row("off", "rigctld", {"get_ptt:;PTT: 0;RPRT 0\n"}, "receiving");
        row("on", "rigctld", {"get_ptt:;PTT: 1;RPRT 0\n"}, "transmitting");
        row("on from the data port", "rigctld", {"get_ptt:;PTT: 3;RPRT 0\n"}, "transmitting");
        row("rig error", "rigctld", {"get_ptt:;RPRT -11\n"}, "error -11");
        row("in pieces", "rigctld", {"get_ptt:;PT", "T: 1;RPRT 0", "\n"},
            "waiting|waiting|transmitting");
        row("garbage", "rigctld", {"FM\n"}, "unreadable");
        row("partial", "rigctld", {"get_ptt:;PTT: 1\n"}, "unreadable");
        row("more after the line", "rigctld", {"get_ptt:;PTT: 0;RPRT 0\nx"}, "unreadable");
        row("over-long", "rigctld", {QString(64, 'x'), "x", "get_ptt:;PTT: 0;RPRT 0\n"},
            "waiting|unreadable|receiving");
        row("flrig off", "flrig", {Reply("<i4>0</i4>")}, "receiving");
        row("flrig on, int", "flrig", {Reply("<int>1</int>")}, "transmitting");
        const QString on = Reply("<i4>1</i4>");
        row("in pieces, then the next", "flrig", {on.left(20), on.mid(20), Reply("<i4>0</i4>")},
            "waiting|transmitting|receiving");
        row("flrig text", "flrig", {Reply("<string>1</string>")}, "unreadable");
        row("fldigi RX untyped", "fldigi", {Reply("RX")}, "receiving");
        row("fldigi TX", "fldigi", {Reply("<string>TX</string>")}, "transmitting");
        row("fldigi tuning", "fldigi", {Reply("<string>TUNE</string>")}, "transmitting");
        row("fault", "flrig",
            {Http("<methodResponse><fault><value><struct><member><name>faultCode</name><value>"
                  "<i4>-1</i4></value></member></struct></value></fault></methodResponse>")},
            "fault");
        row("HTML error page", "fldigi",
            {"HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: 22\r\n\r\n"
             "<html>not found</html>"},
            "http 404");
        row("garbage", "flrig", {"RPRT 0\r\n\r\n"}, "unreadable");
        row("no length", "flrig", {"HTTP/1.1 200 OK\r\n\r\n<i4>1</i4>"}, "unreadable");
        row("more after the body", "flrig", {on + "x"}, "unreadable");
        row("unclosed value", "flrig", {Reply("<i4>1</i4></value><value>")}, "unreadable");
        row("over-long", "flrig", {QString(16385, 'x'), on}, "unreadable|transmitting");
    }
    void replies() {
        QFETCH(QString, program);
        QFETCH(QStringList, chunks);
        QFETCH(QString, answers);
        const auto protocol = program == "rigctld" ? rig::MakeRigctldProtocol()
                              : program == "flrig" ? rig::MakeFlrigProtocol()
                                                   : rig::MakeFldigiProtocol();
        QStringList got;
        for (const QString& chunk : chunks)
            got << Described(protocol->Feed(chunk.toStdString()));
        QCOMPARE(got.join('|'), answers);
    }

    // The datagrams as recorded, and changed where the reader must notice; the Status holds a
    // null string (its DX call), and its Transmitting is its 57th byte.
    void wsjtxDatagrams_data() {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QString>("read");
        const auto row = [](const char* name, const QByteArray& datagram, const char* read) {
            QTest::newRow(name) << datagram << QString(read);
        };
        row("heartbeat", Recorded("heartbeat"), "heartbeat WSJT-X");
        row("status receiving", Recorded("status_receiving"), "status WSJT-X off");
        row("status transmitting", Recorded("status_transmitting"), "status WSJT-X on");
        row("close", Recorded("close"), "close WSJT-X");
        row("schema 3", Recorded("status_transmitting", 7, 3), "status WSJT-X on");
        row("schema 4", Recorded("status_transmitting", 7, 4), "unreadable");
        row("wrong magic", Recorded("heartbeat", 3, 0), "unreadable");
        row("another type", Recorded("close", 11, 2), "other WSJT-X");
        row("cut before Transmitting", Recorded("status_transmitting").left(56), "unreadable");
        row("Id past the end", Recorded("heartbeat", 15, 127), "unreadable");
        row("null Id", Recorded("close").left(12) + QByteArray(4, '\xff'), "close ");
        row("empty", QByteArray(), "unreadable");
    }
    void wsjtxDatagrams() {
        QFETCH(QByteArray, datagram);
        QFETCH(QString, read);
        QCOMPARE(Described(rig::wsjtx::ReadDatagram(datagram.toStdString())), read);
    }

    // Two programs on one port: each heard, closed or silent by its own Id.
    void wsjtxPeers() {
        const auto at = [](int second) {
            return rig::wsjtx::Peers::Clock::time_point{} + std::chrono::seconds(second);
        };
        rig::wsjtx::Peers peers;
        const auto state = [&peers] {
            return QString::fromStdString(peers.Names()) + (peers.AnyTransmitting() ? " on" : "");
        };
        peers.Take({Message::Type::Heartbeat, "WSJT-X"}, at(0));
        peers.Take({Message::Type::Status, "JTDX", true}, at(5));
        QCOMPARE(state(), "JTDX, WSJT-X on");
        peers.Take({Message::Type::Heartbeat, "JTDX"}, at(15)); // still transmitting
        QVERIFY(!peers.Expire(at(19)));
        QCOMPARE(peers.NextExpiry(), at(20));
        QVERIFY(peers.Expire(at(20)));
        QCOMPARE(state(), "JTDX on");
        peers.Take({Message::Type::Close, "JTDX"}, at(21));
        QCOMPARE(state(), "");
        QVERIFY(peers.LastClosed() && !peers.AnyHeard());
        QCOMPARE(peers.NextExpiry(), std::nullopt);
    }

    // Periods from the first key-down: at 12:30:00 + seconds, PTT on at 12:33:30 (210) and off
    // at 12:33:50 (230) reminds at 12:42:30 (750), a minute before the period's end.
    void idTimer_data() {
        QTest::addColumn<QString>("timing");
        QTest::addColumn<QString>("history");
        QTest::addColumn<QString>("reminders");
        const auto row = [](const char* name, const char* timing, const char* history,
                            const char* reminders) {
            QTest::newRow(name) << QString(timing) << QString(history) << QString(reminders);
        };
        row("one over", "rolling polite", "1r 210t 230r 1300z", "D750");
        row("polite: at the key-up", "rolling polite", "1r 210t 230r 740t 765r 1300z", "D765");
        row("polite: no later than the deadline", "rolling polite", "1r 210t 230r 720t 820r 1300z",
            "D810");
        // Into an over: what is left of it is the next period's start.
        row("not polite", "rolling", "1r 210t 230r 740t 765r 1300z", "D750 D1290");
        row("many short overs", "rolling polite", "1r 210t 212r 300t 302r 700t 702r 1300z", "D750");
        row("the next period from the next key-down", "rolling polite",
            "1r 210t 230r 900t 901r 1600z", "D750 D1440");
        row("on at the deadline: the next period from there", "rolling polite",
            "1r 210t 230r 720t 1300r 1400z", "D810 D1350");
        row("warning 0: at the deadline", "rolling polite warn0", "1r 210t 230r 1300z", "D810");
        row("no transmission, no reminder", "rolling polite", "1r 1900z", "");
        row("a drop for a second: the mark reminds", "rolling polite",
            "1r 210t 230r 300n 301r 1300z", "M600");
        row("down at a mark: the next one too", "rolling polite", "1r 590n 610r 1300z",
            "M600 M1200");
        row("never connected", "rolling polite", "1300z", "M600 M1200");
        row("start reminders", "rolling polite start", "1r 210t 230r 400t 401r 1100t 1101r 1500z",
            "S210 D750 S1100");
        row("start reminders with the clock marks", "start", "1r 210t 230r 1300z", "S210");
    }
    void idTimer() {
        QFETCH(QString, timing);
        QFETCH(QString, history);
        QFETCH(QString, reminders);
        QCOMPARE(RemindersOf(history, timing), reminders);
    }

    // The words and stage of the time left.
    void countdown() {
        rig::IdTimer timer({true, std::chrono::seconds(600), std::chrono::seconds(60)});
        const auto shown = [&](int now, bool watching = true, bool alert = false) {
            const auto [stage, text] = rig::CountdownAt(At(now), At(600), timer, watching, alert);
            return QString("%1 %2").arg(static_cast<int>(stage)).arg(text.c_str());
        };
        QCOMPARE(shown(100, false), "0 ID in 8:20 (rig off: clock marks)");
        QCOMPARE(shown(100), "0 ID in 8:20 (rig link down: clock marks)");
        timer.Observe(At(101), LinkState::Receiving);
        QCOMPARE(shown(101), "0 ID clock starts when you transmit");
        timer.Observe(At(210), LinkState::Transmitting);
        QCOMPARE(shown(260), "0 ID in 9:10");
        QCOMPARE(shown(750), "1 ID in 1:00");
        QCOMPARE(shown(809, true, true), "2 ID due now");
        timer.SetTiming({});
        QCOMPARE(shown(545), "1 ID in 0:55");
    }

    void reminding_data() {
        QTest::addColumn<QString>("history");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<bool>("heard");
        const auto row = [](const char* name, const char* history, const char* marks) {
            QTest::newRow(name) << QString(history) << QString(marks) << false;
        };
        row("silent interval", "1r 599r 600M", "Q");
        row("transmitted", "1r 300t 301r 599r 600M", "R");
        row("only since the previous mark", "1r 300t 301r 599r 600M 1199r 1200M", "RQ");
        row("on across a mark counts for both", "1r 599t 600M 1199r 1200M 1799r 1800M", "RRQ");
        row("down at the mark", "1r 599n 600M", "R");
        row("down for a moment", "1r 300n 301r 599r 600M 1199r 1200M", "RQ");
        row("never connected", "600M 1200M", "RR");
        row("reports stopped", "1r 500z 600M", "R");
        row("quick first connection", "5r 599r 600M", "Q");
        row("late first connection", "6r 599r 600M 1199r 1200M", "RQ");
        row("mark before the start-up ends", "1r 2M 599r 600M", "QQ");
        row("asleep across a mark raised late", "1r 300z 900r 900M 1200M", "RQ");
        row("another source: its start-up is no gap", "1r 300c 303r 599r 600M", "Q");
        row("another source: earlier transmissions count", "1t 2r 300c 303r 599r 600M", "R");
        row("another source never answering", "1r 300c 600M", "R");
        QTest::newRow("WSJT-X: heartbeats 15 s apart") << "12r 600M"
                                                       << "Q" << true;
        QTest::newRow("WSJT-X: silent for longer") << "12r 300z 330r 600M"
                                                   << "R" << true;
        QTest::newRow("WSJT-X: first heard late") << "21r 600M"
                                                  << "R" << true;
    }
    void reminding() {
        QFETCH(QString, history);
        QFETCH(QString, marks);
        QFETCH(bool, heard);
        QCOMPARE(MarksOf(history, heard), marks);
    }
};

QTEST_APPLESS_MAIN(TestRigRule)
#include "test_rig_rule.moc"
