#include "morse/morse.h"

#include <QtTest>

#include <numbers>

namespace {

// Dots and dashes as written: a blank between characters, " | " between words, "!" where an
// element is not one of the standard ones or two keys follow each other without a gap.
QString Written(const std::vector<morse::Element>& elements) {
    QString text;
    bool down = false;
    for (const auto& [keyDown, units] : elements) {
        if (keyDown == down)
            text += '!';
        down = keyDown;
        if (keyDown)
            text += units == 1 ? "." : units == 3 ? "-" : "!";
        else
            text += units == 1 ? "" : units == 3 ? " " : units == 7 ? " | " : "!";
    }
    return text;
}

// The lengths in samples of the runs of sound and of silence, starting with sound; silence
// is 20 or more zero samples in a row (the tone itself passes zero for a sample at most).
QList<int> Runs(const std::vector<std::int16_t>& samples) {
    QList<int> runs;
    bool silent = true;
    for (auto at = samples.begin(); at != samples.end(); ++at) {
        const auto ahead = std::min(samples.end(), at + 20);
        const bool now =
            *at == 0 && ((silent && !runs.isEmpty()) ||
                         std::all_of(at, ahead, [](auto sample) { return sample == 0; }));
        if (runs.isEmpty() || now != silent)
            runs << 0;
        silent = now;
        ++runs.last();
    }
    return runs;
}

} // namespace

class TestMorse : public QObject {
    Q_OBJECT

private slots:
    void encode_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QStringList>("skipped");
        const auto row = [](const char* text, const char* written, const QStringList& skipped) {
            QTest::newRow(text) << QString(text) << QString(written) << skipped;
        };
        row("W1AW/P", ".-- .---- .- .-- -..-. .--.", {});
        row("  de\t w1aw ", "-.. . | .-- .---- .- .--", {});
        row("?.,=-", "..--.. .-.-.- --..-- -...- -....-", {});
        row("K#Ä1 Ä", "-.- .----", {"#", "Ä"});
        row("#*+ ", "", {"#", "*", "+"});
        row("", "", {});
    }
    void encode() {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QFETCH(QStringList, skipped);
        const morse::Keying keying = morse::Encode(text.toStdString());
        QCOMPARE(Written(keying.elements), written);
        QStringList skippedText;
        for (const std::string& character : keying.skipped)
            skippedText << QString::fromStdString(character);
        QCOMPARE(skippedText, skipped);
        QVERIFY(!keying.cut);
    }

    // A long text stops at a whole character within the bound, and is said to be cut: "0" is
    // 19 units and 3 more before each next one, so 22 fit in 500 units.
    void longTextIsCut() {
        const morse::Keying keying = morse::Encode(std::string(100, '0'));
        QVERIFY(keying.cut);
        QCOMPARE(Written(keying.elements), QStringList(22, "-----").join(' '));
    }

    // PARIS keyed: every element and gap measured in samples (to 0.2 ms: the faint ends of a
    // fade round to zero); no step between samples steeper than a fading tone's (no key
    // clicks); the pitch counted. Outside values clamp.
    void keyedTone_data() {
        QTest::addColumn<int>("wpm");
        QTest::addColumn<int>("hz");
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("unitSamples");
        QTest::addColumn<int>("expectedHz");
        QTest::newRow("5 WPM, 700 Hz, 48 kHz") << 5 << 700 << 48000 << 11520.0 << 700;
        QTest::newRow("13 WPM, 1200 Hz, 44.1 kHz") << 13 << 1200 << 44100 << 4070.77 << 1200;
        QTest::newRow("20 WPM, 300 Hz, 48 kHz") << 20 << 300 << 48000 << 2880.0 << 300;
        QTest::newRow("40 WPM, 5000 Hz") << 40 << 5000 << 48000 << 2880.0 << 1200;
        QTest::newRow("0 WPM, 100 Hz") << 0 << 100 << 44100 << 10584.0 << 300;
    }
    void keyedTone() {
        QFETCH(int, wpm);
        QFETCH(int, hz);
        QFETCH(int, rate);
        QFETCH(double, unitSamples);
        QFETCH(int, expectedHz);
        const auto samples = morse::Render(morse::Encode("PARIS").elements, {wpm, hz, rate});
        const QList<double> units = {
            1, 1, 3, 1, 3, 1, 1, 3, 1, 1, 3, 3, 1, 1,
            3, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1, 1, 1, rate / 10 / unitSamples}; // then the tail
        const QList<int> runs = Runs(samples);
        QCOMPARE(runs.size(), units.size());
        for (int i = 0; i < runs.size(); ++i)
            QVERIFY2(std::abs(runs[i] - units[i] * unitSamples) <= 10,
                     qPrintable(QString::number(i)));
        QCOMPARE(qsizetype(samples.size()), std::lround(43 * unitSamples) + rate / 10);

        const double amplitude = 0.4 * 32767, pi = std::numbers::pi;
        QVERIFY(std::abs(samples[1]) < amplitude / 100 &&
                std::abs(samples[runs[0] - 1]) < amplitude / 100);
        const double steepest = amplitude * (2 * pi * expectedHz + 100 * pi) / rate + 1;
        int crossings = 0;
        for (std::size_t i = 1; i < samples.size(); ++i) {
            QVERIFY(std::abs(samples[i] - samples[i - 1]) <= steepest);
            crossings += (samples[i - 1] < 0) != (samples[i] < 0);
        }
        const double toneSeconds = 22 * unitSamples / rate;
        QVERIFY(std::abs(crossings / 2 / toneSeconds - expectedHz) < expectedHz / 50.0);
        QVERIFY(morse::Render({}, {}).empty() && morse::Render({{true, -5}}, {}).empty());
        QVERIFY(morse::Render(std::vector<morse::Element>(72, {true, 7}), {}).empty());
    }
};

QTEST_APPLESS_MAIN(TestMorse)
#include "test_morse.moc"
