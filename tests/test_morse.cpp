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

// The lengths in samples of the runs of sound and of silence; silence is 20 or more zero
// samples in a row (the tone itself passes zero for a sample at most).
QList<int> Runs(const std::vector<std::int16_t>& samples) {
    QList<int> runs;
    std::size_t start = 0;
    for (std::size_t i = 0; i < samples.size();) {
        std::size_t zeros = 0;
        while (i + zeros < samples.size() && samples[i + zeros] == 0)
            ++zeros;
        if (zeros >= 20 || i + zeros == samples.size()) {
            if (i > start)
                runs << int(i - start);
            runs << int(zeros);
            start = i + zeros;
        }
        i += std::max<std::size_t>(zeros, 1);
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
        QTest::newRow("callsign") << "W1AW/P"
                                  << ".-- .---- .- .-- -..-. .--." << QStringList();
        QTest::newRow("lower case, blanks") << "  de\t w1aw "
                                            << "-.. . | .-- .---- .- .--" << QStringList();
        QTest::newRow("signs") << "?.,=-"
                               << "..--.. .-.-.- --..-- -...- -....-" << QStringList();
        QTest::newRow("skipped as if absent") << "K#Ä1 Ä"
                                              << "-.- .----" << QStringList{"#", "Ä"};
        QTest::newRow("nothing sendable") << "#*+ "
                                          << "" << QStringList{"#", "*", "+"};
        QTest::newRow("empty") << ""
                               << "" << QStringList();
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

    // A long text stops at a whole character within the bound, and is said to be cut.
    void longTextIsCut() {
        const morse::Keying keying = morse::Encode(std::string(100, '0'));
        int units = 0;
        for (const morse::Element& element : keying.elements)
            units += element.units;
        QVERIFY(keying.cut);
        QCOMPARE(units, 19 + 21 * 22); // "0" is 19 units, and 3 more before each next one
        QVERIFY(units + 22 > morse::kMaxUnits);
        QCOMPARE(Written(keying.elements).count(' '), 21);
    }

    // PARIS, with every element and gap measured in samples; outside speeds are clamped.
    void timing_data() {
        QTest::addColumn<int>("wpm");
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("unitSamples");
        QTest::newRow("5 WPM, 48 kHz") << 5 << 48000 << 11520.0;
        QTest::newRow("13 WPM, 44.1 kHz") << 13 << 44100 << 4070.77;
        QTest::newRow("20 WPM, 48 kHz") << 20 << 48000 << 2880.0;
        QTest::newRow("40 WPM is 20") << 40 << 48000 << 2880.0;
        QTest::newRow("0 WPM is 5") << 0 << 44100 << 10584.0;
    }
    void timing() {
        QFETCH(int, wpm);
        QFETCH(int, rate);
        QFETCH(double, unitSamples);
        const auto samples = morse::Render(morse::Encode("PARIS").elements, {wpm, 700, rate});
        const QList<double> expected = {
            1, 1, 3, 1, 3, 1, 1, 3, 1, 1, 3, 3, 1, 1,
            3, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1, 1, 1, rate / 10 / unitSamples};
        const QList<int> runs = Runs(samples);
        QCOMPARE(runs.size(), expected.size());
        for (int i = 0; i < runs.size(); ++i)
            QVERIFY2(std::abs(runs[i] - expected[i] * unitSamples) <= 4,
                     qPrintable(QString::number(i)));
        QCOMPARE(qsizetype(samples.size()), std::lround(43 * unitSamples) + rate / 10);
    }

    // No clicks: each element fades in and out, and no step between samples is steeper than
    // the tone's own; the pitch is clamped to its range.
    void toneShape_data() {
        QTest::addColumn<int>("hz");
        QTest::addColumn<int>("expectedHz");
        QTest::newRow("700 Hz") << 700 << 700;
        QTest::newRow("1200 Hz") << 1200 << 1200;
        QTest::newRow("100 Hz is 300") << 100 << 300;
        QTest::newRow("5000 Hz is 1200") << 5000 << 1200;
    }
    void toneShape() {
        QFETCH(int, hz);
        QFETCH(int, expectedHz);
        const auto samples = morse::Render(morse::Encode("TE").elements, {20, hz, 48000});
        const double amplitude = 0.4 * 32767;
        // The steepest a 5 ms fade of the tone can be, and a rounding step.
        const double steepest =
            amplitude * (2 * std::numbers::pi * expectedHz / 48000 + std::numbers::pi / 480) + 1;
        int crossings = 0;
        for (std::size_t i = 1; i < samples.size(); ++i) {
            QVERIFY(std::abs(samples[i] - samples[i - 1]) <= steepest);
            crossings += (samples[i - 1] < 0) != (samples[i] < 0);
        }
        QVERIFY(std::abs(samples[2880 * 3 - 1]) < amplitude / 100); // the dash's end
        QVERIFY(std::abs(samples[2880 * 6 + 2]) < amplitude / 100); // the dot's start
        const double toneSeconds = 4 * 2880 / 48000.0;
        QVERIFY(std::abs(crossings / 2 / toneSeconds - expectedHz) < expectedHz / 50.0);
        QVERIFY(morse::Render({}, {}).empty());
    }
};

QTEST_APPLESS_MAIN(TestMorse)
#include "test_morse.moc"
