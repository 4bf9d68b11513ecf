#include "main_window/identification_cycle.h"
#include "main_window/tick_grid.h"

#include <QtTest>

#include <clocale>
#include <cstdlib>
#include <limits>

namespace {

// Records every effect in call order as one short text each.
class RecordingEffects final : public TickEffects {
public:
    QStringList calls;
    bool fileLoads = true;
    bool morseSends = true;
    bool speechSays = true;
    int quietMarks = 0;   // the marks the rig's rule lets pass, from the first asked
    int remindersDue = 0; // the reminders timed from the transmissions, from the first tick

    void SetTimerInterval(int milliseconds) override {
        calls << QString("interval %1").arg(milliseconds);
    }
    void SetDateText(const char* text) override { calls << "date " + QString(text); }
    void SetClockText(const char* text) override { calls << "clock " + QString(text); }
    void SetAudioStatusText(const char* text) override { calls << "status " + QString(text); }
    void ShowAlert() override { calls << "show"; }
    void BringBackAlert() override { calls << "bring back"; }
    void HideAlert() override { calls << "hide"; }
    void SystemTone() override { calls << "beep"; }
    void LoadAudioFile() override { calls << "load"; }
    bool AudioFileLoaded() override { return fileLoads; }
    void PlayAudioFile() override { calls << "play"; }
    void StopAudioFile() override { calls << "stop"; }
    void ReportAudioFileFailure() override { calls << "told"; }
    bool SendMorse() override {
        calls << "morse";
        return morseSends;
    }
    void ReportMorseFailure() override { calls << "told morse"; }
    void StopMorse() override { calls << "stop morse"; }
    bool SpeakCallsign() override {
        calls << "speech";
        return speechSays;
    }
    void ReportSpeechFailure() override { calls << "told speech"; }
    void StopSpeech() override { calls << "stop speech"; }
    bool MarkReminds() override { return quietMarks-- <= 0; }
    bool ReminderDue() override { return remindersDue-- > 0; }
    void ShowCountdown(std::time_t nextMark, bool reminding) override {
        calls << QString("countdown %1%2").arg(nextMark).arg(reminding ? " reminding" : "");
    }
    void HideCountdown() override { calls << "countdown none"; }
};

// 6 December 2026 at the given time of day, read as local time or as GMT.
std::time_t At(int hour, int minute, bool gmt = false) {
    const QDateTime time(QDate(2026, 12, 6), QTime(hour, minute), gmt ? Qt::UTC : Qt::LocalTime);
    return time.toSecsSinceEpoch();
}

void UseZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
}

// The shared state and main-window members as the main window holds them across ticks.
struct Cycle {
    SharedTimerState state;
    AudioChoice audioChoice = AudioChoice::SystemTone;
    bool alertCloseRequest = false;
    std::int32_t markInterval = 10;
    RecordingEffects effects;

    void Tick(std::time_t now) {
        RunTick(state, now, {audioChoice, alertCloseRequest, markInterval}, effects);
    }

    // Ticks at the given seconds after `base` and returns the alert and audio effects, each
    // prefixed by its second: "0 show|0 beep|15 hide".
    QString Ticks(std::time_t base, const QList<int>& seconds) {
        QStringList marks;
        for (const int second : seconds) {
            effects.calls.clear();
            Tick(base + second);
            static const QRegularExpression refresh("^(interval|date|clock|status|countdown) ");
            for (const QString& call : effects.calls)
                if (!call.contains(refresh))
                    marks << QString("%1 %2").arg(second).arg(call);
        }
        return marks.join('|');
    }

    // Three ticks in each second from..to after minuteStart.
    QString Run(std::time_t minuteStart, int from, int to) {
        QList<int> seconds;
        for (int second = from; second <= to; ++second)
            seconds << second << second << second;
        return Ticks(minuteStart, seconds);
    }
};

} // namespace

class TestIdentificationCycle : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseZone("America/New_York"); }
    void cleanup() { UseZone("America/New_York"); }

    // Conditions differ from a running Auto-mode cycle with no alert up and a playable file:
    // "stopped", "manual", "timer alert", "button alert" (raised with Display), "close"
    // (the operator closed the alert), "bad file", "Kathmandu" (zone), "GMT" (shown), "quiet"
    // (the rig's rule lets the mark pass: it is done all the same, not asked again).
    void minuteAndAHalf_data() {
        QTest::addColumn<QString>("conditions");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("audioChoice");
        QTest::addColumn<QString>("expected");

        QTest::newRow("auto, tone") << "" << 30 << 1 << "0 show|0 beep|15 hide";
        QTest::newRow("quiet: passes silently") << "quiet" << 30 << 1 << "";
        QTest::newRow("quiet over a Display alert") << "quiet button alert" << 30 << 1 << "";
        QTest::newRow("manual stays") << "manual" << 30 << 1 << "0 show|0 beep";
        QTest::newRow("stopped: no mark, no close") << "stopped timer alert" << 40 << 1 << "";
        QTest::newRow("button alert waits for a click")
            << "button alert" << 40 << 1 << "0 bring back|0 beep";
        QTest::newRow("unknown choice is silent") << "" << 30 << 5 << "0 show|15 hide";
        QTest::newRow("file plays") << "" << 30 << 2 << "0 show|0 load|0 play|15 hide|15 stop";
        QTest::newRow("bad file: told, system tone instead")
            << "bad file" << 30 << 2 << "0 show|0 load|0 told|0 beep|15 hide|15 stop";
        QTest::newRow("Morse") << "" << 30 << 3 << "0 show|0 morse|15 hide|15 stop morse";
        QTest::newRow("nothing to send in Morse: told, system tone")
            << "bad morse" << 30 << 3 << "0 show|0 morse|0 told morse|0 beep|15 hide|15 stop morse";
        QTest::newRow("speech not ready: told, system tone")
            << "bad speech" << 30 << 4
            << "0 show|0 speech|0 told speech|0 beep|15 hide|15 stop speech";
        // Any minute's second 15 closes it, so switching to Auto mode late still closes it.
        QTest::newRow("auto chosen after the mark") << "timer alert" << 43 << 1 << "15 hide";
        QTest::newRow("close stops the file first")
            << "timer alert close" << 33 << 2 << "0 stop|0 hide";
        QTest::newRow("close when stopped") << "stopped timer alert close" << 33 << 1 << "0 hide";
        // Once closed, the next timer alert closes itself again.
        // Kathmandu is 5:45 ahead of GMT, so its ten-minute marks fall between GMT's.
        QTest::newRow("Kathmandu 12:50 marks") << "Kathmandu" << 50 << 1 << "0 show|0 beep|15 hide";
        QTest::newRow("GMT 07:05 does not") << "Kathmandu GMT" << 50 << 1 << "";
        QTest::newRow("a reminder between marks")
            << "reminder" << 33 << 1 << "0 show|0 beep|15 hide";
        QTest::newRow("a reminder while stopped is dropped") << "stopped reminder" << 33 << 1 << "";
        QTest::newRow("close button alert")
            << "button alert close" << 39 << 1 << "0 hide|60 show|60 beep|75 hide";
    }
    void minuteAndAHalf() {
        QFETCH(int, minute);
        QFETCH(int, audioChoice);
        QFETCH(QString, conditions);
        QFETCH(QString, expected);
        if (conditions.contains("Kathmandu"))
            UseZone("Asia/Kathmandu");
        Cycle cycle;
        cycle.audioChoice = static_cast<AudioChoice>(audioChoice);
        cycle.state.localTimeZone = !conditions.contains("GMT");
        cycle.state.running = !conditions.contains("stopped");
        cycle.state.autoMode = !conditions.contains("manual");
        cycle.state.alertShowing = conditions.contains("alert");
        cycle.state.alertFromButton = conditions.contains("button");
        cycle.alertCloseRequest = conditions.contains("close");
        cycle.effects.fileLoads = !conditions.contains("bad file");
        cycle.effects.morseSends = !conditions.contains("bad morse");
        cycle.effects.speechSays = !conditions.contains("bad speech");
        cycle.effects.quietMarks = conditions.contains("quiet");
        cycle.effects.remindersDue = conditions.contains("reminder");
        QCOMPARE(cycle.Run(At(12, minute), 0, 76), expected);
        QVERIFY(!cycle.alertCloseRequest);
    }

    // Ticks come ten a second and a mark fires once; a cycle started at second 1 still fires.
    void startAtSecondOneStillFires() {
        Cycle cycle;
        cycle.state.running = false;
        QCOMPARE(cycle.Run(At(12, 40), 0, 0), QString());
        cycle.state.running = true;
        QCOMPARE(cycle.Run(At(12, 40), 1, 1), QString("1 show|1 beep"));
    }

    // The countdown runs to the next mark, and says when a reminder's alert is up; it is hidden
    // while stopped.
    void countdown() {
        Cycle cycle;
        cycle.Tick(At(12, 33) + 20);
        QCOMPARE(cycle.effects.calls.last(), QString("countdown %1").arg(At(12, 40)));
        cycle.Tick(At(12, 40));
        QCOMPARE(cycle.effects.calls.last(), QString("countdown %1 reminding").arg(At(12, 50)));
        cycle.state.running = false;
        cycle.Tick(At(12, 40) + 1);
        QCOMPARE(cycle.effects.calls.last(), QString("countdown none"));
    }

    // Ticks as seconds from the minute given: a mark is every minute whose number is a
    // multiple of the interval, and any other interval (a hand-edited file) means ten.
    void marksFollowTheInterval_data() {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("minute");
        QTest::addColumn<QList<int>>("ticks");
        QTest::addColumn<QString>("expected");
        const QList<int> around{-1, 0, 1, 2};
        const QString mark = "0 show|0 beep";
        QTest::newRow("5 at :35") << 5 << 35 << around << mark;
        QTest::newRow("10 not at :45") << 10 << 45 << around << "";
        QTest::newRow("15 at :45") << 15 << 45 << around << mark;
        QTest::newRow("15 not at :40") << 15 << 40 << around << "";
        QTest::newRow("20 at :40") << 20 << 40 << around << mark;
        QTest::newRow("20 not at :30") << 20 << 30 << around << "";
        QTest::newRow("30 at :30") << 30 << 30 << around << mark;
        QTest::newRow("60 at :00") << 60 << 0 << around << mark;
        QTest::newRow("60 not at :30") << 60 << 30 << around << "";
        QTest::newRow("60, suspended across :00")
            << 60 << 0 << QList<int>{-3, 3} << "3 show|3 beep";
        QTest::newRow("15: once a quarter")
            << 15 << 45 << QList<int>{0, 300, 600} << mark + "|300 hide";
        QTest::newRow("7 means 10: at :40") << 7 << 40 << around << mark;
        QTest::newRow("0 means 10") << 0 << 20 << around << mark;
        QTest::newRow("-15 means 10: not at :45") << -15 << 45 << around << "";
    }
    void marksFollowTheInterval() {
        QFETCH(int, interval);
        QFETCH(int, minute);
        QFETCH(QList<int>, ticks);
        QFETCH(QString, expected);
        Cycle cycle;
        cycle.markInterval = interval;
        QCOMPARE(cycle.Ticks(At(12, minute), ticks), expected);
    }

    // Ticks as seconds from 12:40:00: a mark that passed while no tick could run (suspend,
    // SIGSTOP, clock stepped forward) is raised at the first tick after it, and no mark twice;
    // the rig's rule is asked then too ("quiet": it lets the mark pass).
    void missedMarkIsRaisedOnce_data() {
        QTest::addColumn<QList<int>>("ticks");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QList<int>& ticks, const char* expected) {
            QTest::newRow(name) << ticks << QString(expected);
        };
        row("suspended across the mark", {-3, 3, 3, 15}, "3 show|3 beep|15 hide");
        row("suspended across a quiet mark", {-3, 3, 4, 15}, "");
        row("late tick after second 1", {-1, 2, 2}, "2 show|2 beep");
        row("two marks passed: the last only", {-603, 5}, "5 show|5 beep");
        row("caught up at second 15: closes a minute on", {-3, 15, 15, 75},
            "15 show|15 beep|75 hide");
        // Auto mode's close is caught up alike: stopped or stepped past second 15.
        row("no tick in second 15", {0, 13, 17, 75}, "0 show|0 beep|17 hide");
        row("stepped back over a raised mark", {-1, 0, 5, -5, 0, 1, 15}, "0 show|0 beep|15 hide");
        row("stepped back over a caught-up mark", {-3, 5, -5, 0, 15}, "5 show|5 beep|15 hide");
        row("started after the mark", {5, 6}, "");
        // A tick that comes just before the second it was meant for reads the old one again.
        row("early ticks", {-1, -1, 0, 1, 1, 2, 14, 14, 15}, "0 show|0 beep|15 hide");
    }
    void missedMarkIsRaisedOnce() {
        QFETCH(QList<int>, ticks);
        QFETCH(QString, expected);
        Cycle cycle;
        cycle.effects.quietMarks = QString(QTest::currentDataTag()).contains("quiet");
        QCOMPARE(cycle.Ticks(At(12, 40), ticks), expected);
    }

    // The delay hangs on the clock's reading alone, so a clock stepped either way puts the next
    // tick back on the grid.
    void tickDelay_data() {
        QTest::addColumn<qint64>("wallClockNs");
        QTest::addColumn<int>("periodMs");
        QTest::addColumn<int>("delayMs");
        constexpr qint64 second = 1'796'000'000'000'000'000; // 2026-11-30 in ns
        constexpr qint64 ms = 1'000'000;
        QTest::newRow("on a boundary: the next") << second + 100 * ms << 100 << 100;
        QTest::newRow("30 ms late") << second + 130 * ms << 100 << 70;
        QTest::newRow("50 us early: just after") << second + 99'950'000 << 100 << 1;
        QTest::newRow("part of a ms rounds up") << second + 150'500'000 << 100 << 50;
        QTest::newRow("first tick: next second") << second + 250 * ms << 1000 << 750;
        QTest::newRow("stepped back before 1970") << qint64{-37'500'000} << 100 << 38;
        QTest::newRow("stepped forward to 2200") << qint64{7'258'118'400'999'900'000} << 100 << 1;
        QTest::newRow("no period, no grid") << second << 0 << 0;
    }
    void tickDelay() {
        QFETCH(qint64, wallClockNs);
        QFETCH(int, periodMs);
        QFETCH(int, delayMs);
        QCOMPARE(DelayToNextTick(wallClockNs, periodMs), delayMs);
    }

    // A tick refreshes, then acts. Only 0 and 1 select the 12-hour clock; a negative one from a
    // hand-edited file gives 24. The desktop's locale (made by the test set-up under LOCPATH)
    // changes neither text.
    void clockAndDate_data() {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("date");
        QTest::addColumn<bool>("localTimeZone");
        QTest::addColumn<int>("clockFormat");
        QTest::addColumn<QString>("clock");
        const QString sunday = "Sunday Dec 06, 2026 ";
        QTest::newRow("format 1, C")
            << QByteArray("C.UTF-8") << sunday << true << 1 << "11:30:00 PM";
        QTest::newRow("format 2, German")
            << QByteArray("de_DE.UTF-8") << sunday << true << 2 << "23:30:00";
        QTest::newRow("format -1, French")
            << QByteArray("fr_FR.UTF-8") << sunday << true << -1 << "23:30:00";
        QTest::newRow("GMT, next day, Japanese")
            << QByteArray("ja_JP.UTF-8") << "Monday Dec 07, 2026 " << false << 0 << "04:30:00 AM";
    }
    void clockAndDate() {
        QFETCH(QByteArray, locale);
        QFETCH(bool, localTimeZone);
        QFETCH(int, clockFormat);
        QFETCH(QString, date);
        QFETCH(QString, clock);
        QVERIFY2(std::setlocale(LC_ALL, locale.constData()), "locale missing: see LOCPATH");
        Cycle cycle;
        cycle.state.localTimeZone = localTimeZone;
        cycle.state.clockFormat = clockFormat;
        cycle.Tick(At(23, 30));
        std::setlocale(LC_ALL, "C");
        QCOMPARE(cycle.effects.calls.mid(0, 6).join('|'),
                 "interval 100|date " + date + "|clock " + clock +
                     "|status System Tone Selected|show|beep");
    }

    // Regression: a time localtime cannot break down (null) must not be dereferenced.
    void unrepresentableTimeOnlySetsInterval() {
        Cycle cycle;
        cycle.Tick(std::numeric_limits<std::time_t>::max());
        QCOMPARE(cycle.effects.calls, QStringList{"interval 100"});
    }
};

QTEST_GUILESS_MAIN(TestIdentificationCycle)
#include "test_identification_cycle.moc"
