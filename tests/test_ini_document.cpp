#include "settings/ini_document.h"
#include "settings/text_encoding.h"

#include <QtTest>

namespace {

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QByteArray Bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// `stored` is what "Top" of "[Main Form]" reads before `value` is set; null when absent.
void AddRow(const char* name, const QByteArray& file, const char* stored, const char* value,
            const QByteArray& expected) {
    QTest::newRow(name) << file << QByteArray(stored) << QString(value) << expected;
}

} // namespace

class TestIniDocument : public QObject {
    Q_OBJECT

private slots:
    void readsAndEditsInPlace_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("expected");

        AddRow("key of the next section", "[Main Form]\n[Audio Form]\nTop=1\n", nullptr, "7",
               "[Main Form]\nTop=7\n[Audio Form]\nTop=1\n");
        AddRow("key before any section, commented out", "Top=1\n[Main Form]\n;Top=1\n", nullptr,
               "7", "Top=1\n[Main Form]\nTop=7\n;Top=1\n");
        AddRow("blanks around names and values", " [ Main Form ] \n\t Top \t=  Auto Mode \n",
               "Auto Mode", "7", " [ Main Form ] \nTop=7\n");
        AddRow("names in other letter case", "[main form]\ntop=5\n", "5", "6",
               "[main form]\nTop=6\n");
        AddRow("equals sign in value, first of duplicates", "[Main Form]\nTop=a=b\nTop=2\n", "a=b",
               "7", "[Main Form]\nTop=7\nTop=2\n");
        AddRow("new key before the next section",
               "[Main Form]\nLeft=5\n; about audio\n\n[Audio Form]\nLeft=1\n", nullptr, "7",
               "[Main Form]\nLeft=5\nTop=7\n; about audio\n\n[Audio Form]\nLeft=1\n");
        static constexpr char kGarbage[] = "\x00\xFF=\n[\n]]=[\n=x\n[Foreign]\nx=1\n";
        const QByteArray garbage(kGarbage, sizeof kGarbage - 1);
        AddRow("new section after garbage", garbage, nullptr, "7",
               garbage + "\n[Main Form]\nTop=7\n");
        AddRow("last line without line end", "[Main Form]\nLeft=5", nullptr, "7",
               "[Main Form]\nLeft=5\nTop=7\n");
        AddRow("CRLF, last line without LF", "[Main Form]\r\nTop=\r", "", "7",
               "[Main Form]\r\nTop=7");
        AddRow("CRLF stays, repeated byte-order marks go",
               "\xEF\xBB\xBF\xEF\xBB\xBF[Main Form]\r\nLeft=5\r\n", nullptr, "7",
               "[Main Form]\r\nLeft=5\r\nTop=7\r\n");
    }

    void readsAndEditsInPlace() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, stored);
        QFETCH(QString, value);
        QFETCH(QByteArray, expected);
        IniDocument document = IniDocument::Parse(View(file));

        const auto before = document.Get("Main Form", "Top");
        QCOMPARE(before ? Bytes(*before) : QByteArray(), stored);
        QCOMPARE(before.has_value(), !stored.isNull());
        document.Set("Main Form", "Top", value.toStdString());

        QCOMPARE(Bytes(document.Serialize()), expected);
        QVERIFY(document.Modified());
    }

    void parsesInt32_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected"); // empty: not a number

        for (const char* text : {"-2", "2147483647", "-2147483648"})
            QTest::newRow(text) << QByteArray(text) << QString(text);
        QTest::newRow("plus sign") << QByteArray("+3") << "3";
        QTest::newRow("blanks around") << QByteArray(" 5 ") << "5";
        for (const char* text :
             {"", "abc", "2147483648", "-2147483649", "99999999999999999999999", "1.5", "0x10"})
            QTest::newRow(*text ? text : "empty") << QByteArray(text) << QString();
    }

    void parsesInt32() {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        const auto parsed = ParseInt32(View(text));
        QCOMPARE(parsed ? QString::number(*parsed) : QString(), expected);
    }

    // Decoded text encodes back to the very bytes (the fuzz target's check on any bytes);
    // `text` is null where they are not UTF-16.
    void decodesUtf16AfterItsMarkOnly_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("surrogate pair, big-endian")
            << QByteArray("\xFE\xFF\xD8\x34\xDD\x1E\x00=", 8) << QByteArray("\xF0\x9D\x84\x9E=");
        QTest::newRow("lone high surrogate")
            << QByteArray("\xFF\xFE\x00\xD8=\x00", 6) << QByteArray();
        QTest::newRow("lone low surrogate") << QByteArray("\xFF\xFE\x00\xDC", 4) << QByteArray();
    }

    void decodesUtf16AfterItsMarkOnly() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, text);
        const auto decoded = DecodeText(View(bytes));
        QCOMPARE(decoded.has_value(), !text.isNull());
        if (decoded) {
            QCOMPARE(Bytes(decoded->utf8), text);
            QCOMPARE(Bytes(EncodeText(decoded->utf8, decoded->encoding)), bytes);
        }
        // Only the program's own UTF-8 goes into a UTF-16 file: any other byte becomes U+FFFD.
        QCOMPARE(Bytes(EncodeText("a\xFF", TextEncoding::Utf16LE)),
                 QByteArray("\xFF\xFE\x61\0\xFD\xFF", 6)); // "a", then U+FFFD
    }
};

QTEST_GUILESS_MAIN(TestIniDocument)
#include "test_ini_document.moc"
