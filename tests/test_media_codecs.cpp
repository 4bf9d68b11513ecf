// The codec layer on real files made here: a tone written as WAV and the same encoded as
// FLAC, Ogg Vorbis and MP3 where an encoder is installed must open; bad files are refused by
// name. Playing on a real sound sink is proven end to end.
#include "app/toolkit/media_codec_manager.h"
#include "tone_wav.h"

#include <QtTest>

#include <sys/stat.h>

class TestMediaCodecs : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

    QString Path(const QString& name) const { return folder.filePath(name); }
    // The encoder leaves no file behind when it is not installed; the test then skips the row.
    static void Encode(const QString& program, const QStringList& arguments) {
        if (!QStandardPaths::findExecutable(program).isEmpty())
            QProcess::execute(program, arguments);
    }

private slots:
    void initTestCase();
    void filterOffersWhatDecodes();
    void audioFileOpens_data();
    void audioFileOpens();
    void badFileIsRefusedByName_data();
    void badFileIsRefusedByName();
};

void TestMediaCodecs::initTestCase() {
    QVERIFY(folder.isValid());
    const QString wav = Path("tone.wav");
    QVERIFY(WriteToneWav(wav, 0.5));
    Encode("sox", {wav, Path("tone.flac")});
    Encode("sox", {wav, Path("Grüße ñ 音.ogg")});
    Encode("lame", {"--quiet", wav, Path("tone.mp3")});
    QVERIFY(QDir().mkpath(Path("folder.ogg")));
    // A FIFO without a writer would block whoever opened it.
    QCOMPARE(mkfifo(QFile::encodeName(Path("pipe.wav")).constData(), 0600), 0);
}

// The set-up installs GStreamer's usual plugins, so these four must be offered, first in
// the entry for all audio files, then in their own entry.
void TestMediaCodecs::filterOffersWhatDecodes() {
    const QStringList entries = TMediaCodecManager::GetFilterString().split(";;");
    const QRegularExpression form(R"(^[^()]+ \((\*\.\w+ ?)+\)$)");
    for (const QString& entry : entries)
        QVERIFY2(form.match(entry).hasMatch(), qPrintable(entry));
    QVERIFY(entries.first().startsWith("Audio files ("));
    for (const QString pattern : {"*.wav", "*.flac", "*.ogg", "*.mp3"})
        QVERIFY2(entries.filter(pattern).size() == 2, qPrintable(pattern));
}

void TestMediaCodecs::audioFileOpens_data() {
    QTest::addColumn<QString>("path");
    for (const char* name : {"tone.wav", "tone.flac", "Grüße ñ 音.ogg", "tone.mp3"})
        QTest::newRow(name) << Path(QString::fromUtf8(name));
}

void TestMediaCodecs::audioFileOpens() {
    QFETCH(QString, path);
    if (!QFile::exists(path))
        QSKIP("no encoder for this format is installed");
    QCOMPARE(TMediaCodecManager::CreateFromFile(path)->GetFileName(), path);
}

void TestMediaCodecs::badFileIsRefusedByName_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("content");
    QByteArray noise(8192, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    QTest::newRow("random bytes") << Path("noise.wav") << noise;
    QTest::newRow("zero bytes") << Path("empty.mp3") << QByteArray("");
    QTest::newRow("text renamed") << Path("notes.mp3") << QByteArray("73 de N0CALL\n");
    QTest::newRow("directory") << Path("folder.ogg") << QByteArray();
    QTest::newRow("FIFO") << Path("pipe.wav") << QByteArray();
    QTest::newRow("device") << QStringLiteral("/dev/zero") << QByteArray();
    QTest::newRow("missing") << Path("gone ñ 音.wav") << QByteArray();
}

// A non-null content is written to the path first.
void TestMediaCodecs::badFileIsRefusedByName() {
    QFETCH(QString, path);
    QFETCH(QByteArray, content);
    QFile file(path);
    if (!content.isNull())
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    try {
        TMediaCodecManager::CreateFromFile(path);
        QFAIL("the file was accepted");
    } catch (const std::runtime_error& error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains("\"" + path + "\""), error.what());
    }
}

QTEST_GUILESS_MAIN(TestMediaCodecs)
#include "test_media_codecs.moc"
