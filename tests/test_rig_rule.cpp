#include "rig/ptt_reply.h"
#include "rig/reminder_rule.h"

#include <QtTest>

using rig::LinkState;

namespace {

QString Described(const std::optional<rig::PttAnswer>& answer) {
    static const QStringList kinds = {"receiving", "transmitting", "error", "unreadable"};
    if (!answer)
        return "waiting";
    const QString error = answer->error ? QString(" %1").arg(answer->error) : QString();
    return kinds[static_cast<int>(answer->kind)] + error;
}

// Runs a history such as "1r 300t 599n 600M 700z": at each second a report (r receiving,
// t transmitting, n not connected), repeated every second until the next event as the link
// repeats it, a mark (M), or the end of the reports (z: asleep, or the link silent). Gives R
// or Q (quiet) for each mark.
QString MarksOf(const QString& history) {
    using Clock = rig::ReminderRule::Clock;
    const auto at = [](int second) { return Clock::time_point{} + std::chrono::seconds(second); };
    rig::ReminderRule rule(at(0));
    QString results;
    std::optional<LinkState> repeated;
    int last = 0;
    for (const QString& event : history.split(' ')) {
        const int second = event.chopped(1).toInt();
        for (int filled = last + 1; repeated && filled < second; ++filled)
            rule.Observe(at(filled), *repeated);
        last = second;
        if (event.endsWith('M')) {
            results += rule.RemindAt(at(second)) ? 'R' : 'Q';
            continue;
        }
        const auto kind = QString("nrt").indexOf(event.back()); // in the order of LinkState
        repeated = kind < 0 ? std::nullopt : std::optional(static_cast<LinkState>(kind));
        if (repeated)
            rule.Observe(at(second), *repeated);
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
        row("garbage", {"FM\n"}, "unreadable");
        row("partial", {"get_ptt:;PTT: 1\n"}, "unreadable");
        row("more after the line", {"get_ptt:;PTT: 0;RPRT 0\nx"}, "unreadable");
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
        row("never connected", "600M 1200M", "RR");
        row("reports stopped", "1r 500z 600M", "R");
        row("quick first connection", "5r 599r 600M", "Q");
        row("late first connection", "6r 599r 600M 1199r 1200M", "RQ");
        row("mark before the start-up ends", "1r 2M 599r 600M", "QQ");
        row("asleep across a mark raised late", "1r 300z 900r 900M 1200M", "RQ");
    }
    void reminding() {
        QFETCH(QString, history);
        QFETCH(QString, marks);
        QCOMPARE(MarksOf(history), marks);
    }
};

QTEST_APPLESS_MAIN(TestRigRule)
#include "test_rig_rule.moc"
