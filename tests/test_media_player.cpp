// The player with no sound server: what it holds after each path, and that nothing waits.
#include "app/toolkit/media_player.h"
#include "app/toolkit/message_beep.h"
#include "tone_wav.h"

#include <QtTest>

#include <sys/stat.h>

class TestMediaPlayer : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString Path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase();
    void pathIsLoadedOnlyWhenPlayable_data();
    void pathIsLoadedOnlyWhenPlayable();
    void clearUnloads();
    void unplayableFileIsDropped_data();
    void unplayableFileIsDropped();
    void messageBeepReturnsWithoutSoundServer();
};

void TestMediaPlayer::initTestCase() {
    QVERIFY(m_dir.isValid());
    qputenv("PULSE_SERVER", QFile::encodeName("unix:" + Path("no-server")));
    for (const QString name :
         {"before.wav", "tone.wav", "call sign  tone.wav", "Grüße ñ 音.wav", "padded.wav"})
        QVERIFY(WriteToneWav(Path(name), 0.1));
    QVERIFY(QDir(m_dir.path()).mkdir("folder.wav"));
    QCOMPARE(mkfifo(QFile::encodeName(Path("fifo.wav")).constData(), 0600), 0);
}

void TestMediaPlayer::pathIsLoadedOnlyWhenPlayable_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("plain") << Path("tone.wav") << true;
    QTest::newRow("blanks") << Path("call sign  tone.wav") << true;
    QTest::newRow("non-ASCII") << Path("Grüße ñ 音.wav") << true;
    QTest::newRow("missing") << Path("missing.wav") << false;
    QTest::newRow("directory") << Path("folder.wav") << false;
    // Opening a FIFO would block until a writer comes: the call must return without one.
    QTest::newRow("fifo") << Path("fifo.wav") << false;
    QTest::newRow("device") << QStringLiteral("/dev/zero") << false;
    QTest::newRow("empty") << QString() << false;
}

// An unplayable path also drops the medium loaded before it.
void TestMediaPlayer::pathIsLoadedOnlyWhenPlayable() {
    QFETCH(QString, path);
    QFETCH(bool, loaded);
    TMediaPlayer player(nullptr);
    player.SetFileName(Path("before.wav"));
    QVERIFY(player.GetMedia());
    player.SetFileName(path);
    QCOMPARE(player.GetFileName(), path);
    QCOMPARE(player.GetMedia() ? player.GetMedia()->GetFileName() : QString(),
             loaded ? path : QString());
    if (!loaded) {
        player.Play();
        player.Stop();
        QVERIFY(!player.GetMedia());
    }
}

void TestMediaPlayer::clearUnloads() {
    TMediaPlayer player(nullptr);
    player.SetFileName(Path("tone.wav"));
    player.Clear();
    QVERIFY(player.GetFileName().isEmpty());
    player.Play();
    QVERIFY(!player.GetMedia());
}

// Each fails only once the backend has tried it, after the load; the reason is kept.
void TestMediaPlayer::unplayableFileIsDropped_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("size"); // zeros appended up to this size
    QTest::newRow("zeros") << Path("zeros.wav") << qint64(4096);
    QTest::newRow("2 GB sparse file") << Path("sparse.wav") << qint64(2) * 1024 * 1024 * 1024;
    // Holds the backend for seconds, then ends without a sound.
    QTest::newRow("tone padded with zeros to 50 MB")
        << Path("padded.wav") << qint64(50) * 1024 * 1024;
    QTest::newRow("/proc/self/mem") << QStringLiteral("/proc/self/mem") << qint64(0);
}

void TestMediaPlayer::unplayableFileIsDropped() {
    QFETCH(QString, path);
    QFETCH(qint64, size);
    QFile file(path);
    QVERIFY(size == 0 || (file.open(QIODevice::ReadWrite) && file.resize(size)));
    file.close();
    TMediaPlayer player(nullptr);
    int errors = 0;
    player.OnError = [&](TObject*) { ++errors; };
    player.SetFileName(path);
    QVERIFY(player.GetMedia());
    player.Play();
    QTRY_VERIFY(!player.GetMedia());
    QCOMPARE(errors, 1);
    QVERIFY(!player.GetErrorString().isEmpty());
    QCOMPARE(player.GetFileName(), path);
}

// The process must still end cleanly afterwards, with the bell's worker stopped.
void TestMediaPlayer::messageBeepReturnsWithoutSoundServer() {
    MessageBeep(0);
    MessageBeep(0);
}

QTEST_MAIN(TestMediaPlayer)
#include "test_media_player.moc"
