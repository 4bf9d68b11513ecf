#include "morse/morse.h"

#include <QtTest>

#include <numbers>

namespace {

// Dots and dashes as written: a blank between characters, " | " between words, "!" where an
// element is not one of the standard ones or where two keys (or two gaps) meet.
QString Written(const std::vector<morse::Element>& elements) {
    static const QStringList keys = {"!", ".", "!", "-"};
    static const QStringList gaps = {"!", "", "!", " ", "!", "!", "!", " | "};
    QString text;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const auto [keyDown, units] = elements[i];
        const QStringList& names = keyDown ? keys : gaps;
        text += keyDown == (i % 2 == 0) && units >= 0 && units < names.size() ? names[units] : "!";
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
    // Each text keyed at one speed and tone (values outside their range clamp): every element
    // and gap measured in samples (to 0.2 ms: the faint ends of a fade round to zero), then
    // 100 ms of silence; no step between samples steeper than a fading tone's (no key clicks);
    // the pitch counted. Skipped characters are listed once each, in order (a text with none
    // to send is the station options' test).
    void keyed_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("skipped");
        QTest::addColumn<QList<int>>("tone"); // WPM, Hz, samples a second
        QTest::addColumn<double>("unitSamples");
        QTest::addColumn<int>("expectedHz");
        const auto row = [](const char* text, const char* written, const char* skipped,
                            const QList<int>& tone, double unitSamples, int hz) {
            QTest::newRow(text) << QString(text) << QString(written) << QString(skipped) << tone
                                << unitSamples << hz;
        };
        row("PARIS", ".--. .- .-. .. ...", "", {5, 700, 48000}, 11520, 700);
        row("W1AW/P", ".-- .---- .- .-- -..-. .--.", "", {20, 300, 44100}, 2646, 300);
        row("  de\t w1aw ", "-.. . | .-- .---- .- .--", "", {13, 1200, 44100}, 4070.77, 1200);
        row("?.,=-", "..--.. .-.-.- --..-- -...- -....-", "", {40, 5000, 48000}, 2880, 1200);
        row("K#Ä1 Ä", "-.- .----", "#|Ä", {0, 100, 44100}, 10584, 300);
        // Operators write the zero slashed: each look-alike is the digit.
        row("KØABC ø∅⌀0\u0338", "-.- ----- .- -... -.-. | ----- ----- ----- -----", "",
            {18, 600, 48000}, 3200, 600);
    }
    void keyed() {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QFETCH(QString, skipped);
        QFETCH(QList<int>, tone);
        QFETCH(double, unitSamples);
        QFETCH(int, expectedHz);
        const morse::Keying keying = morse::Encode(text.toStdString());
        QCOMPARE(Written(keying.elements), written);
        QStringList skippedText;
        for (const std::string& character : keying.skipped)
            skippedText << QString::fromStdString(character);
        QCOMPARE(skippedText.join('|'), skipped);
        QVERIFY(!keying.cut);

        const auto samples = morse::Render(keying.elements, {tone[0], tone[1], tone[2]});
        const QList<int> runs = Runs(samples);
        QCOMPARE(runs.size(), qsizetype(keying.elements.size()) + 1); // then the tail
        int units = 0, keyUnits = 0;
        for (std::size_t i = 0; i < keying.elements.size(); ++i) {
            const auto [keyDown, length] = keying.elements[i];
            QVERIFY2(std::abs(runs[i] - length * unitSamples) <= 10,
                     qPrintable(QString::number(i)));
            units += length;
            keyUnits += keyDown ? length : 0;
        }
        QCOMPARE(qsizetype(samples.size()), std::lround(units * unitSamples) + tone[2] / 10);

        const double amplitude = 0.4 * 32767, pi = std::numbers::pi;
        QVERIFY(std::abs(samples[1]) < amplitude / 100 &&
                std::abs(samples[runs[0] - 1]) < amplitude / 100);
        const double steepest = amplitude * (2 * pi * expectedHz + 100 * pi) / tone[2] + 1;
        int crossings = 0;
        for (std::size_t i = 1; i < samples.size(); ++i) {
            QVERIFY(std::abs(samples[i] - samples[i - 1]) <= steepest);
            crossings += (samples[i - 1] < 0) != (samples[i] < 0);
        }
        const double toneSeconds = keyUnits * unitSamples / tone[2];
        QVERIFY(std::abs(crossings / 2 / toneSeconds - expectedHz) < expectedHz / 50.0);
    }

    // A long text stops at a whole character within the bound, and is said to be cut: "0" is
    // 19 units and 3 more before each next one, so 22 fit in 500 units. Elements Encode cannot
    // give are not keyed.
    void longTextIsCut() {
        const morse::Keying keying = morse::Encode(std::string(100, '0'));
        QVERIFY(keying.cut);
        QCOMPARE(Written(keying.elements), QStringList(22, "-----").join(' '));
        QVERIFY(morse::Render({{true, -5}}, {}).empty());
        QVERIFY(morse::Render(std::vector<morse::Element>(72, {true, 7}), {}).empty());
    }
};

QTEST_APPLESS_MAIN(TestMorse)
#include "test_morse.moc"
