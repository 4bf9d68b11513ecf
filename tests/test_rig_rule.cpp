#include "rig/link_status.h"
#include "rig/ptt_reply.h"
#include "rig/reminder_rule.h"

#include <QtTest>

using rig::LinkState;
using rig::Reason;

namespace {

QString Described(const std::optional<rig::PttAnswer>& answer) {
    using Kind = rig::PttAnswer::Kind;
    if (!answer)
        return "waiting";
    if (answer->kind == Kind::RigError)
        return QString("error %1").arg(answer->error);
    return answer->kind == Kind::Receiving      ? "receiving"
           : answer->kind == Kind::Transmitting ? "transmitting"
                                                : "unreadable";
}

// Runs a history such as "1r 300t 599n 600M": at each second a report (r receiving,
// t transmitting, n not connected) or a mark (M). Gives R or Q (quiet) for each mark.
QString MarksOf(const QString& history) {
    using Clock = rig::ReminderRule::Clock;
    rig::ReminderRule rule(Clock::time_point{});
    QString results;
    for (const QString& event : history.split(' ')) {
        const auto time = Clock::time_point{} + std::chrono::seconds(event.chopped(1).toInt());
        const QChar kind = event.back();
        if (kind == 'M')
            results += rule.RemindAt(time) ? 'R' : 'Q';
        else
            rule.Observe(time, kind == 't'   ? LinkState::Transmitting
                               : kind == 'r' ? LinkState::Receiving
                                             : LinkState::NotConnected);
    }
    return results;
}

} // namespace

class TestRigRule : public QObject {
    Q_OBJECT

private slots:
    // Bytes as they arrive, chunk by chunk, and what the reader makes of each chunk.
    void replies_data() {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QString>("answers");
        const auto row = [](const char* name, QStringList chunks, const char* answers) {
            QTest::newRow(name) << chunks << QString(answers);
        };
        row("off", {"get_ptt:;PTT: 0;RPRT 0\n"}, "receiving");
        row("on", {"get_ptt:;PTT: 1;RPRT 0\n"}, "transmitting");
        row("on from the data port", {"get_ptt:;PTT: 3;RPRT 0\n"}, "transmitting");
        row("rig error", {"get_ptt:;RPRT -11\n"}, "error -11");
        row("in pieces", {"get_ptt:;PT", "T: 1;RPRT 0", "\n"}, "waiting|waiting|transmitting");
        row("one after the other", {"get_ptt:;PTT: 1;RPRT 0\n", "get_ptt:;PTT: 0;RPRT 0\n"},
            "transmitting|receiving");
        row("garbage", {"FM\n"}, "unreadable");
        row("partial", {"get_ptt:;PTT: 1\n"}, "unreadable");
        row("value with an error", {"get_ptt:;PTT: 1;RPRT -1\n"}, "unreadable");
        row("carriage return", {"get_ptt:;PTT: 1;RPRT 0\r\n"}, "unreadable");
        row("more after the line", {"get_ptt:;PTT: 0;RPRT 0\nx"}, "unreadable");
        row("at the bound", {QString(64, 'x')}, "waiting");
        row("over-long", {QString(64, 'x'), "x", "get_ptt:;PTT: 0;RPRT 0\n"},
            "waiting|unreadable|receiving");
    }
    void replies() {
        QFETCH(QStringList, chunks);
        QFETCH(QString, answers);
        rig::ReplyReader reader;
        QStringList got;
        for (const QString& chunk : chunks)
            got << Described(reader.Feed(chunk.toStdString()));
        QCOMPARE(got.join('|'), answers);
    }

    void reminding_data() {
        QTest::addColumn<QString>("history");
        QTest::addColumn<QString>("marks");
        const auto row = [](const char* name, const char* history, const char* marks) {
            QTest::newRow(name) << QString(history) << QString(marks);
        };
        row("silent interval", "1r 599r 600M", "Q");
        row("transmitted", "1r 300t 301r 599r 600M", "R");
        row("only since the previous mark", "1r 300t 301r 599r 600M 1199r 1200M", "RQ");
        row("on across a mark counts for both", "1r 599t 600M 1199r 1200M 1799r 1800M", "RRQ");
        row("down at the mark", "1r 599n 600M", "R");
        row("down for a moment", "1r 300n 301r 599r 600M 1199r 1200M", "RQ");
        row("down across a mark", "1r 500n 600M 601r 1199r 1200M", "RR");
        row("never connected", "600M 1200M", "RR");
        row("reports stopped", "1r 500r 600M", "R");
        row("quick first connection", "5r 599r 600M", "Q");
        row("late first connection", "6r 599r 600M 1199r 1200M", "RQ");
        row("refused at the start", "1n 3r 599r 600M", "R");
        row("mark before the start-up ends", "1r 2M 599r 600M", "QQ");
    }
    void reminding() {
        QFETCH(QString, history);
        QFETCH(QString, marks);
        QCOMPARE(MarksOf(history), marks);
    }

    void statusWords() {
        const auto text = [](rig::LinkStatus status) { return rig::StatusText(status); };
        QCOMPARE(text({LinkState::Transmitting}), "Connected, transmitting");
        QCOMPARE(text({}), "Not connected");
        QCOMPARE(text({LinkState::NotConnected, Reason::RigError, -11, 2}),
                 "Not connected: rig error -11, retrying in 2 s");
    }

    void retryPausesGrowAndCap() {
        QList<int> pauses;
        for (const int failures : {1, 2, 3, 4, 5, 6, 7, 1000})
            pauses << rig::RetryPauseSeconds(failures);
        QCOMPARE(pauses, (QList<int>{1, 2, 4, 8, 16, 30, 30, 30}));
    }
};

QTEST_APPLESS_MAIN(TestRigRule)
#include "test_rig_rule.moc"
