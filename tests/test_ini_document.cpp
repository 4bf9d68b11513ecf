#include "settings/ini_document.h"

#include <QtTest>
#include <random>

namespace {

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QByteArray Bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// Short lines built mostly from the characters that give an INI file its structure.
QByteArray RandomIniBytes(std::mt19937& random) {
    static constexpr char kAlphabet[] = "[]=;\r\n \t aAzZ\xEF\xBB\xBF\xFF\x01";
    std::uniform_int_distribution<int> length(0, 120);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 1);
    QByteArray bytes;
    for (int i = length(random); i > 0; --i)
        bytes += kAlphabet[pick(random)]; // includes the terminating NUL byte on purpose
    return bytes;
}

} // namespace

class TestIniDocument : public QObject {
    Q_OBJECT

private slots:
    void readsStoredValues_data();
    void readsStoredValues();
    void parsesInt32_data();
    void parsesInt32();
    void writesFreshFileInWriteOrder();
    void keepsEveryOtherLine_data();
    void keepsEveryOtherLine();
    void sameValueIsNoChange();
    void survivesArbitraryBytes();
};

void TestIniDocument::readsStoredValues_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("empty file") << QByteArray() << "Left" << false << QByteArray();
    QTest::newRow("missing section")
        << QByteArray("[Audio Form]\nLeft=1\n") << "Left" << false << QByteArray();
    QTest::newRow("missing key") << QByteArray("[Main Form]\nTop=1\n") << "Left" << false
                                 << QByteArray();
    QTest::newRow("key before any section")
        << QByteArray("Left=1\n[Main Form]\n") << "Left" << false << QByteArray();
    QTest::newRow("key of the next section")
        << QByteArray("[Main Form]\n[Audio Form]\nLeft=1\n") << "Left" << false << QByteArray();
    QTest::newRow("commented out")
        << QByteArray("[Main Form]\n;Left=1\n") << "Left" << false << QByteArray();
    QTest::newRow("plain") << QByteArray("[Main Form]\nLeft=7\n") << "Left" << true
                           << QByteArray("7");
    QTest::newRow("byte-order mark")
        << QByteArray("\xEF\xBB\xBF[Main Form]\nLeft=7\n") << "Left" << true << QByteArray("7");
    QTest::newRow("repeated byte-order mark")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF[Main Form]\nLeft=7\n") << "Left" << true
        << QByteArray("7");
    QTest::newRow("CRLF") << QByteArray("[Main Form]\r\nLeft=7\r\n") << "Left" << true
                          << QByteArray("7");
    QTest::newRow("CRLF, last line without LF")
        << QByteArray("[Main Form]\r\nGMT=\r") << "GMT" << true << QByteArray();
    QTest::newRow("blanks around names and values")
        << QByteArray(" [ Main Form ] \n\t Mode Indicator \t=  Auto Mode \n") << "Mode Indicator"
        << true << QByteArray("Auto Mode");
    QTest::newRow("names in other letter case")
        << QByteArray("[MAIN form]\nleft=7\n") << "Left" << true << QByteArray("7");
    QTest::newRow("empty value") << QByteArray("[Main Form]\nGMT=\n") << "GMT" << true
                                 << QByteArray();
    QTest::newRow("equals sign in value")
        << QByteArray("[Main Form]\nCallSign=a=b\n") << "CallSign" << true << QByteArray("a=b");
    QTest::newRow("duplicate key, first wins")
        << QByteArray("[Main Form]\nLeft=1\nLeft=2\n") << "Left" << true << QByteArray("1");
    static constexpr char kGarbage[] = "\x00\xFF=\n[\n]]=[\n=x\n[Main Form]\nLeft=7\n";
    QTest::newRow("after garbage")
        << QByteArray(kGarbage, sizeof kGarbage - 1) << "Left" << true << QByteArray("7");
}

void TestIniDocument::readsStoredValues() {
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(bool, present);
    QFETCH(QByteArray, value);

    const auto stored = IniDocument::Parse(View(file)).Get("Main Form", key.toStdString());

    QCOMPARE(stored.has_value(), present);
    if (present)
        QCOMPARE(Bytes(*stored), value);
}

void TestIniDocument::parsesInt32_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("expected");

    QTest::newRow("positive") << QByteArray("7") << true << 7;
    QTest::newRow("negative") << QByteArray("-2") << true << -2;
    QTest::newRow("plus sign") << QByteArray("+3") << true << 3;
    QTest::newRow("blanks around") << QByteArray(" 5 ") << true << 5;
    QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647;
    QTest::newRow("smallest") << QByteArray("-2147483648") << true << -2147483647 - 1;
    QTest::newRow("letters") << QByteArray("abc") << false << 0;
    QTest::newRow("empty") << QByteArray("") << false << 0;
    QTest::newRow("one past largest") << QByteArray("2147483648") << false << 0;
    QTest::newRow("one past smallest") << QByteArray("-2147483649") << false << 0;
    QTest::newRow("huge") << QByteArray("99999999999") << false << 0;
    QTest::newRow("beyond 64 bits") << QByteArray("99999999999999999999999") << false << 0;
    QTest::newRow("fraction") << QByteArray("1.5") << false << 0;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << false << 0;
}

void TestIniDocument::parsesInt32() {
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(int, expected);

    const auto parsed = ParseInt32(View(text));

    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, expected);
}

void TestIniDocument::writesFreshFileInWriteOrder() {
    const std::pair<const char*, const char*> mainForm[] = {{"Left", "50"},
                                                            {"Top", "50"},
                                                            {"Width", "640"},
                                                            {"Height", "480"},
                                                            {"Audio", "1"},
                                                            {"CS_FontColor", "-16776961"},
                                                            {"AMPM", "0"},
                                                            {"CallSign", "Callsign"},
                                                            {"Active_Indicator", "Active"},
                                                            {"GMT", ""},
                                                            {"Mode Indicator", "Auto"},
                                                            {"Start", "1"},
                                                            {"Mode", "1"},
                                                            {"localTimeZone", "1"},
                                                            {"form2Left", "100"},
                                                            {"form2Top", "100"},
                                                            {"form2Width", "600"},
                                                            {"form2Height", "500"},
                                                            {"form2Color", "16776960"}};
    IniDocument document;
    for (const auto& [key, value] : mainForm)
        document.Set("Main Form", key, value);
    document.Set("Audio Form", "Left", "100");
    document.Set("Main Form", "Audio", "2");

    QCOMPARE(Bytes(document.Serialize()), QByteArray("[Main Form]\n"
                                                     "Left=50\n"
                                                     "Top=50\n"
                                                     "Width=640\n"
                                                     "Height=480\n"
                                                     "Audio=2\n"
                                                     "CS_FontColor=-16776961\n"
                                                     "AMPM=0\n"
                                                     "CallSign=Callsign\n"
                                                     "Active_Indicator=Active\n"
                                                     "GMT=\n"
                                                     "Mode Indicator=Auto\n"
                                                     "Start=1\n"
                                                     "Mode=1\n"
                                                     "localTimeZone=1\n"
                                                     "form2Left=100\n"
                                                     "form2Top=100\n"
                                                     "form2Width=600\n"
                                                     "form2Height=500\n"
                                                     "form2Color=16776960\n"
                                                     "\n"
                                                     "[Audio Form]\n"
                                                     "Left=100\n"));
    QVERIFY(document.Modified());
}

void TestIniDocument::keepsEveryOtherLine_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("changed value")
        << QByteArray("; notes\n[Main Form]\n  Left = 5  \nTop = 7\n\n[Foreign]\nx==y\n") << "Top"
        << "9" << QByteArray("; notes\n[Main Form]\n  Left = 5  \nTop=9\n\n[Foreign]\nx==y\n");
    QTest::newRow("changed key in other letter case")
        << QByteArray("[main form]\nleft=5\n") << "Left"
        << "6" << QByteArray("[main form]\nLeft=6\n");
    QTest::newRow("new key before the next section")
        << QByteArray("[Main Form]\nLeft=5\n; about audio\n\n[Audio Form]\nLeft=1\n") << "Top"
        << "7" << QByteArray("[Main Form]\nLeft=5\nTop=7\n; about audio\n\n[Audio Form]\nLeft=1\n");
    QTest::newRow("new key in an empty section")
        << QByteArray("[Main Form]\n[Audio Form]\n") << "Top"
        << "7" << QByteArray("[Main Form]\nTop=7\n[Audio Form]\n");
    QTest::newRow("new section after foreign lines")
        << QByteArray("\x01 garbage\n[Foreign]\nx=1\n") << "Top"
        << "7" << QByteArray("\x01 garbage\n[Foreign]\nx=1\n\n[Main Form]\nTop=7\n");
    QTest::newRow("last line without line end")
        << QByteArray("[Main Form]\nLeft=5") << "Top"
        << "7" << QByteArray("[Main Form]\nLeft=5\nTop=7\n");
    QTest::newRow("CRLF stays, byte-order mark goes")
        << QByteArray("\xEF\xBB\xBF[Main Form]\r\nLeft=5\r\n") << "Top"
        << "7" << QByteArray("[Main Form]\r\nLeft=5\r\nTop=7\r\n");
    QTest::newRow("repeated byte-order marks go")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF[Main Form]\nLeft=5\n") << "Top"
        << "7" << QByteArray("[Main Form]\nLeft=5\nTop=7\n");
    QTest::newRow("mixed line ends kept")
        << QByteArray("[A]\r\nx=1\n[Main Form]\r\nTop=1\n") << "Top"
        << "7" << QByteArray("[A]\r\nx=1\n[Main Form]\r\nTop=7\n");
    QTest::newRow("line breaks in value")
        << QByteArray() << "CallSign"
        << "DL1\r\nABC\nX\rY" << QByteArray("[Main Form]\nCallSign=DL1 ABC X Y\n");
    QTest::newRow("non-ASCII value") << QByteArray() << "CallSign"
                                     << "Ünïcödé" << QByteArray("[Main Form]\nCallSign=Ünïcödé\n");
}

void TestIniDocument::keepsEveryOtherLine() {
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    IniDocument document = IniDocument::Parse(View(file));

    document.Set("Main Form", key.toStdString(), value.toStdString());

    QCOMPARE(Bytes(document.Serialize()), expected);
    QVERIFY(document.Modified());
}

void TestIniDocument::sameValueIsNoChange() {
    const QByteArray file("[Main Form]\nLeft = 5\n");
    IniDocument document = IniDocument::Parse(View(file));

    document.Set("main form", "LEFT", "5");
    QVERIFY(!document.Modified());
    QCOMPARE(Bytes(document.Serialize()), file);

    document.Set("Main Form", "Left", "6");
    QVERIFY(document.Modified());
    document.MarkSaved();
    QVERIFY(!document.Modified());
}

// Whatever the bytes, parsing gives them back unchanged, and a value written into them reads
// back as written.
void TestIniDocument::survivesArbitraryBytes() {
    std::mt19937 random(20240611);
    for (int round = 0; round < 500; ++round) {
        const QByteArray bytes = RandomIniBytes(random);
        IniDocument document = IniDocument::Parse(View(bytes));
        QByteArray text = bytes;
        while (text.startsWith("\xEF\xBB\xBF"))
            text.remove(0, 3);
        QCOMPARE(Bytes(document.Serialize()), text);

        document.Set("Main Form", "CallSign", "DL1ABC");
        document.Set("a", "A", "1");
        const IniDocument reread = IniDocument::Parse(document.Serialize());
        QCOMPARE(reread.Get("Main Form", "CallSign"), std::optional<std::string>("DL1ABC"));
        QCOMPARE(reread.Get("A", "a"), std::optional<std::string>("1"));
    }
}

QTEST_GUILESS_MAIN(TestIniDocument)
#include "test_ini_document.moc"
