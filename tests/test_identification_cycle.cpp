#include "main_window/identification_cycle.h"

#include <QtTest>

#include <cstdlib>
#include <limits>

namespace {

// Records every effect in call order as one short text each.
class RecordingEffects final : public TickEffects {
public:
    QStringList calls;
    bool fileLoads = true;

    void SetTimerInterval(int milliseconds) override {
        calls << QStringLiteral("interval %1").arg(milliseconds);
    }
    void SetDateText(const char* text) override { calls << "date " + QString::fromLatin1(text); }
    void SetClockText(const char* text) override { calls << "clock " + QString::fromLatin1(text); }
    void SetAudioStatusText(const char* text) override {
        calls << "status " + QString::fromLatin1(text);
    }
    void ShowAlert() override { calls << "show"; }
    void HideAlert() override { calls << "hide"; }
    void SystemTone() override { calls << "beep"; }
    void LoadAudioFile() override { calls << "load"; }
    bool AudioFileLoaded() override { return fileLoads; }
    void PlayAudioFile() override { calls << "play"; }
    void StopAudioFile() override { calls << "stop"; }
};

bool IsRefresh(const QString& call) {
    return call.startsWith("interval") || call.startsWith("date") || call.startsWith("clock") ||
           call.startsWith("status");
}

std::tm December2026(int day, int hour, int minute, int second) {
    std::tm fields{};
    fields.tm_year = 2026 - 1900;
    fields.tm_mon = 11;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    return fields;
}

std::time_t LocalTime(int hour, int minute, int second) {
    std::tm fields = December2026(6, hour, minute, second);
    return std::mktime(&fields);
}

std::time_t UtcTime(int hour, int minute, int second) {
    std::tm fields = December2026(6, hour, minute, second);
    return timegm(&fields);
}

void UseZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
}

// The shared state and main-window members as the main window holds them across ticks.
struct Cycle {
    SharedTimerState state;
    std::int32_t audioChoice = 1;
    bool alertCloseRequest = false;
    RecordingEffects effects;

    void Tick(std::time_t now) { RunTick(state, now, {audioChoice, alertCloseRequest}, effects); }

    // Ticks several times in each second from..to after minuteStart and returns the alert
    // and audio effects, each prefixed by its second: "0 show|0 beep|15 hide".
    QString Run(std::time_t minuteStart, int from, int to) {
        QStringList marks;
        for (int second = from; second <= to; ++second) {
            for (int tick = 0; tick < 3; ++tick) {
                effects.calls.clear();
                Tick(minuteStart + second);
                for (const QString& call : effects.calls) {
                    if (!IsRefresh(call)) {
                        marks << QStringLiteral("%1 %2").arg(second).arg(call);
                    }
                }
            }
        }
        return marks.join('|');
    }
};

// Columns that the alert tables share: whether the cycle runs, the audio choice, and whether
// the operator raised the alert with the Display button beforehand.
void AddCycleColumns() {
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("audioChoice");
    QTest::addColumn<bool>("fromButton");
}

void SetUpFromRow(Cycle& cycle) {
    QFETCH(bool, running);
    QFETCH(int, audioChoice);
    QFETCH(bool, fromButton);
    cycle.state.running = running;
    cycle.audioChoice = audioChoice;
    cycle.state.alertShowing = fromButton;
    cycle.state.alertFromButton = fromButton;
}

} // namespace

class TestIdentificationCycle : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseZone("America/New_York"); }
    void cleanup() { UseZone("America/New_York"); }

    void tickRefreshesThenActsInOrder() {
        Cycle cycle;
        cycle.Tick(LocalTime(12, 30, 0));
        const QStringList expected{"interval 100",
                                   "date Sunday Dec 06, 2026 ",
                                   "clock 12:30:00 PM",
                                   "status System Tone Selected",
                                   "show",
                                   "beep"};
        QCOMPARE(cycle.effects.calls, expected);
    }

    void marksAroundTenMinutes_data() {
        AddCycleColumns();
        QTest::addColumn<int>("minute");
        QTest::addColumn<bool>("autoMode");
        QTest::addColumn<bool>("fileLoads");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("showingAfter");

        QTest::newRow("auto, tone")
            << true << 1 << false << 30 << true << true << "0 show|0 beep|15 hide" << false;
        QTest::newRow("manual stays")
            << true << 1 << false << 30 << false << true << "0 show|0 beep" << true;
        QTest::newRow("minute 35") << true << 1 << false << 35 << true << true << "" << false;
        QTest::newRow("stopped") << false << 1 << false << 40 << true << true << "" << false;
        QTest::newRow("display raised")
            << true << 1 << true << 40 << true << true << "0 beep" << true;
        QTest::newRow("file plays") << true << 2 << false << 30 << true << true
                                    << "0 show|0 load|0 play|15 hide|15 stop" << false;
        QTest::newRow("file not loaded") << true << 2 << false << 30 << true << false
                                         << "0 show|0 load|15 hide|15 stop" << false;
        QTest::newRow("display raised, file")
            << true << 2 << true << 40 << true << true << "0 load|0 play" << true;
        QTest::newRow("no audio") << true << 0 << false << 30 << true << true << "0 show|15 hide"
                                  << false;
        QTest::newRow("unknown choice")
            << true << 5 << false << 30 << true << true << "0 show|15 hide" << false;
    }

    void marksAroundTenMinutes() {
        QFETCH(int, minute);
        QFETCH(bool, autoMode);
        QFETCH(bool, fileLoads);
        QFETCH(QString, expected);
        QFETCH(bool, showingAfter);
        Cycle cycle;
        SetUpFromRow(cycle);
        cycle.state.autoMode = autoMode;
        cycle.effects.fileLoads = fileLoads;

        QCOMPARE(cycle.Run(LocalTime(12, minute, 0), 0, 16), expected);
        QCOMPARE(cycle.state.alertShowing, showingAfter);
        QVERIFY(cycle.state.armed);
    }

    void unknownAudioChoiceLeavesStatusAlone() {
        Cycle cycle;
        cycle.audioChoice = 5;
        cycle.Tick(LocalTime(12, 30, 0));
        QVERIFY(!cycle.effects.calls.join('|').contains("status"));
    }

    void triggerFiresOnceWithinSecondsZeroAndOne() {
        Cycle cycle;
        QCOMPARE(cycle.Run(LocalTime(12, 30, 0), 0, 1), QString("0 show|0 beep"));
        QVERIFY(!cycle.state.armed);
        cycle.Run(LocalTime(12, 30, 0), 2, 2);
        QVERIFY(cycle.state.armed);
    }

    void startDuringMarkTriggersNextTick() {
        Cycle cycle;
        cycle.state.running = false;
        QCOMPARE(cycle.Run(LocalTime(12, 40, 0), 0, 0), QString());
        QVERIFY(cycle.state.armed);
        cycle.state.running = true;
        QCOMPARE(cycle.Run(LocalTime(12, 40, 0), 1, 1), QString("1 show|1 beep"));
    }

    void stoppedCycleLeavesTimerAlertAtSecond15() {
        Cycle cycle;
        cycle.state.running = false;
        cycle.state.alertShowing = true;
        QCOMPARE(cycle.Run(LocalTime(12, 43, 0), 14, 16), QString());
        QVERIFY(cycle.state.alertShowing);
    }

    void closeRequest_data() {
        AddCycleColumns();
        QTest::addColumn<QString>("expected");

        QTest::newRow("file stops before hiding") << true << 2 << false << "20 stop|20 hide";
        QTest::newRow("stopped cycle still hides") << false << 1 << false << "20 hide";
        QTest::newRow("display raised") << true << 1 << true << "20 hide";
    }

    void closeRequest() {
        QFETCH(QString, expected);
        Cycle cycle;
        SetUpFromRow(cycle);
        cycle.state.alertShowing = true;
        cycle.alertCloseRequest = true;

        QCOMPARE(cycle.Run(LocalTime(12, 33, 0), 20, 21), expected);
        QVERIFY(!cycle.state.alertShowing);
        QVERIFY(!cycle.state.alertFromButton);
        QVERIFY(!cycle.alertCloseRequest);
    }

    void autoModeChosenLaterClosesAtNextSecond15() {
        Cycle cycle;
        cycle.state.autoMode = false;
        cycle.Run(LocalTime(12, 40, 0), 0, 59);
        QVERIFY(cycle.state.alertShowing);
        cycle.state.autoMode = true;
        QCOMPARE(cycle.Run(LocalTime(12, 43, 0), 5, 16), QString("15 hide"));
    }

    void clockFormat_data() {
        QTest::addColumn<int>("clockFormat");
        QTest::addColumn<QString>("clock");

        QTest::newRow("0") << 0 << "03:07:09 PM";
        QTest::newRow("1") << 1 << "03:07:09 PM";
        QTest::newRow("2") << 2 << "15:07:09";
        QTest::newRow("3") << 3 << "15:07:09";
        QTest::newRow("7") << 7 << "15:07:09";
        QTest::newRow("-1") << -1 << "15:07:09";
        QTest::newRow("-2") << -2 << "15:07:09";
    }

    void clockFormat() {
        QFETCH(int, clockFormat);
        QFETCH(QString, clock);
        Cycle cycle;
        cycle.state.clockFormat = clockFormat;
        cycle.Tick(LocalTime(15, 7, 9));
        QVERIFY(cycle.effects.calls.contains("clock " + clock));
    }

    void displayedZone_data() {
        QTest::addColumn<bool>("localTimeZone");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("clock");

        QTest::newRow("local") << true << "Sunday Dec 06, 2026 "
                               << "11:30:00 PM";
        QTest::newRow("GMT") << false << "Monday Dec 07, 2026 "
                             << "04:30:00 AM";
    }

    void displayedZone() {
        QFETCH(bool, localTimeZone);
        QFETCH(QString, date);
        QFETCH(QString, clock);
        Cycle cycle;
        cycle.state.localTimeZone = localTimeZone;
        cycle.Tick(LocalTime(23, 30, 0));
        QCOMPARE(cycle.effects.calls.mid(1, 2), (QStringList{"date " + date, "clock " + clock}));
    }

    // Kathmandu is 5:45 ahead of GMT, so its ten-minute marks fall between GMT's.
    void marksFollowDisplayedZone_data() {
        QTest::addColumn<bool>("localTimeZone");
        QTest::addColumn<int>("utcMinute");
        QTest::addColumn<QString>("expected");

        QTest::newRow("GMT 07:00") << false << 0 << "0 show|0 beep";
        QTest::newRow("local 12:45") << true << 0 << "";
        QTest::newRow("GMT 07:05") << false << 5 << "";
        QTest::newRow("local 12:50") << true << 5 << "0 show|0 beep";
    }

    void marksFollowDisplayedZone() {
        QFETCH(bool, localTimeZone);
        QFETCH(int, utcMinute);
        QFETCH(QString, expected);
        UseZone("Asia/Kathmandu");
        Cycle cycle;
        cycle.state.localTimeZone = localTimeZone;
        QCOMPARE(cycle.Run(UtcTime(7, utcMinute, 0), 0, 0), expected);
    }

    void unrepresentableTimeOnlySetsInterval() {
        Cycle cycle;
        cycle.Tick(std::numeric_limits<std::time_t>::max());
        QCOMPARE(cycle.effects.calls, QStringList{"interval 100"});
        QVERIFY(cycle.state.currentTm == nullptr);
    }
};

QTEST_GUILESS_MAIN(TestIdentificationCycle)
#include "test_identification_cycle.moc"
