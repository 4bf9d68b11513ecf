#include "app/toolkit/media_player.h"
#include "app/toolkit/message_beep.h"

#include <QtTest>

#include <sys/stat.h>

namespace {

// A short PCM WAV of silence: 8 kHz, mono, 16 bits, 0.1 s.
void WriteSilentWav(const QString& path) {
    constexpr quint32 samples = 800;
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QDataStream wav(&file);
    wav.setByteOrder(QDataStream::LittleEndian);
    wav.writeRawData("RIFF", 4);
    wav << quint32(36 + samples * 2);
    wav.writeRawData("WAVE", 4);
    wav.writeRawData("fmt ", 4);
    wav << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
        << quint16(16);
    wav.writeRawData("data", 4);
    wav << quint32(samples * 2);
    wav.writeRawData(QByteArray(samples * 2, '\0').constData(), samples * 2);
}

} // namespace

class TestMediaPlayer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void unplayablePathHoldsNoMedium_data();
    void unplayablePathHoldsNoMedium();
    void audioFileIsLoaded_data();
    void audioFileIsLoaded();
    void clearUnloads();
    void undecodableFileIsDropped();
    void messageBeepReturnsWithoutSoundServer();

private:
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestMediaPlayer::initTestCase() {
    QVERIFY(m_dir.isValid());
    // No sound server: nothing here may wait for one.
    qputenv("PULSE_SERVER", QFile::encodeName("unix:" + Path("no-server")));
    QVERIFY(QDir(m_dir.path()).mkdir("folder.wav"));
    QCOMPARE(mkfifo(QFile::encodeName(Path("fifo.wav")).constData(), 0600), 0);
}

void TestMediaPlayer::unplayablePathHoldsNoMedium_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << Path("missing.wav");
    QTest::newRow("directory") << Path("folder.wav");
    // Opening a FIFO would block until a writer comes: the call must return without one.
    QTest::newRow("fifo") << Path("fifo.wav");
    QTest::newRow("device") << QStringLiteral("/dev/zero");
    QTest::newRow("empty") << QString();
}

void TestMediaPlayer::unplayablePathHoldsNoMedium() {
    QFETCH(QString, path);
    TMediaPlayer player(nullptr);
    WriteSilentWav(Path("before.wav"));
    player.SetFileName(Path("before.wav"));
    QVERIFY(player.GetMedia());

    player.SetFileName(path);
    QVERIFY(!player.GetMedia());
    QCOMPARE(player.GetFileName(), path);
    player.Play();
    player.Stop();
    QVERIFY(!player.GetMedia());
}

void TestMediaPlayer::audioFileIsLoaded_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("tone.wav");
    QTest::newRow("blanks") << QStringLiteral("call sign  tone.wav");
    QTest::newRow("non-ASCII") << QStringLiteral("Grüße ñ 音.wav");
}

void TestMediaPlayer::audioFileIsLoaded() {
    QFETCH(QString, name);
    const QString path = Path(name);
    WriteSilentWav(path);
    TMediaPlayer player(nullptr);
    QVERIFY(player.GetFileName().isEmpty());

    player.SetFileName(path);
    QCOMPARE(player.GetFileName(), path);
    QVERIFY(player.GetMedia());
    QCOMPARE(player.GetMedia()->GetFileName(), path);
}

void TestMediaPlayer::clearUnloads() {
    WriteSilentWav(Path("clear.wav"));
    TMediaPlayer player(nullptr);
    player.SetFileName(Path("clear.wav"));
    player.Clear();
    QVERIFY(!player.GetMedia());
    QVERIFY(player.GetFileName().isEmpty());
    player.Play();
    QVERIFY(!player.GetMedia());
}

void TestMediaPlayer::undecodableFileIsDropped() {
    QFile garbage(Path("garbage.wav"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    TMediaPlayer player(nullptr);
    int errors = 0;
    player.OnError = [&](TObject*) { ++errors; };

    player.SetFileName(garbage.fileName());
    player.Play();
    // The backend reports on its own time, after the load.
    QTRY_VERIFY(!player.GetMedia());
    QCOMPARE(errors, 1);
    QCOMPARE(player.GetFileName(), garbage.fileName());
}

// The process must still end cleanly afterwards, with the bell's worker stopped.
void TestMediaPlayer::messageBeepReturnsWithoutSoundServer() {
    MessageBeep(0);
    MessageBeep(0);
}

QTEST_MAIN(TestMediaPlayer)
#include "test_media_player.moc"
