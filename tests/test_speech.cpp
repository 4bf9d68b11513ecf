#include "speech/phonetics.h"

#include <QtTest>

class TestSpeech : public QObject {
    Q_OBJECT

private slots:
    // Each callsign as the words said, in the ITU phonetic alphabet or letter by letter ("L" in
    // the expected text), and the characters that cannot be said, once each, in order: with any
    // of them, or with more than kMaxWords, nothing is said.
    void spelled_data() {
        QTest::addColumn<QString>("callsign");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("unsayable");
        const auto row = [](const char* callsign, const char* said, const char* unsayable = "") {
            QTest::newRow(callsign) << QString(callsign) << QString(said) << QString(unsayable);
        };
        row("DL1ABC", "Delta Lima One Alpha Bravo Charlie");
        row("0123456789", "Zero One Two Three Four Five Six Seven Eight Nine");
        row("  ea8/dl1xyz\t", "Echo Alpha Eight stroke Delta Lima One X-ray Yankee Zulu");
        row("w1aw/p", "Whiskey One Alpha Whiskey portable");
        row("KØABC/M", "Kilo Zero Alpha Bravo Charlie mobile");
        row("G4ØØ /mm", "Golf Four Zero Zero maritime mobile");
        row("N0∅⌀0\u0338/AM", "November Zero Zero Zero Zero aeronautical mobile");
        row("K1P/QRP", "Kilo One Papa stroke Quebec Romeo Papa");
        row("M/DL1A/P/X", "Mike stroke Delta Lima One Alpha stroke Papa stroke X-ray");
        row("L dl1abc/p", "D, L, 1, A, B, C, portable");
        row("L F/kø1", "F, stroke, K, 0, 1");
        row("DL1ÄBC#Ä-", "", "Ä|#|-");
        row("L W1AW?", "", "?");
        row("", "");
        QTest::newRow("as long as it may be")
            << QString(speech::kMaxWords, 'K') << QStringList(speech::kMaxWords, "Kilo").join(' ')
            << QString();
        QTest::newRow("longer") << QString(speech::kMaxWords + 1, 'K') << QString() << QString();
    }
    void spelled() {
        QFETCH(QString, callsign);
        QFETCH(QString, said);
        QFETCH(QString, unsayable);
        const bool letters = callsign.startsWith("L ");
        const speech::Saying saying =
            speech::Spell(callsign.mid(letters ? 2 : 0).toStdString(),
                          letters ? speech::Spelling::Letters : speech::Spelling::Phonetics);
        QCOMPARE(QString::fromStdString(saying.text), said);
        QStringList unsaid;
        for (const std::string& character : saying.unsayable)
            unsaid << QString::fromStdString(character);
        QCOMPARE(unsaid.join('|'), unsayable);
        QCOMPARE(saying.tooLong, callsign.size() > speech::kMaxWords);
    }
};

QTEST_APPLESS_MAIN(TestSpeech)
#include "test_speech.moc"
