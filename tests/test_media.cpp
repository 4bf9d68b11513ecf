// The media layer on real files made here, with no sound server: which paths the player
// loads and the codec layer opens (a tone as WAV and encoded as FLAC, Ogg Vorbis and MP3
// must open; anything else is refused by name, and nothing waits on a FIFO or a device), and
// the files that fail only once the player tries them. Sound reaching a real sound server is
// proven end to end.
#include "app/toolkit/media_codec_manager.h"
#include "test_files.h"

#include <QtTest>

#include <csignal>
#include <sys/stat.h>

class TestMedia : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString Path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        qputenv("PULSE_SERVER", QFile::encodeName("unix:" + Path("no-server")));
        for (const QString name : {"tone.wav", "call sign  tone.wav", "Grüße ñ 音.wav"})
            QVERIFY(MakeTone(Path(name), 0.2));
        for (const QString name : {"tone.flac", "Grüße ñ 音.ogg"})
            QCOMPARE(QProcess::execute("sox", {Path("tone.wav"), Path(name)}), 0);
        QCOMPARE(QProcess::execute("lame", {"--quiet", Path("tone.wav"), Path("tone.mp3")}), 0);
        QByteArray noise(8192, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        const QHash<QString, QByteArray> contents{
            {"noise.wav", noise}, {"empty.mp3", ""}, {"notes.mp3", "73 de N0CALL\n"}};
        for (auto [name, content] : contents.asKeyValueRange())
            QVERIFY(Store(Path(name), content));
        QVERIFY(QDir(m_dir.path()).mkdir("folder.wav"));
        QCOMPARE(mkfifo(QFile::encodeName(Path("fifo.wav")).constData(), 0600), 0);
    }

    void eachPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("loaded"); // by the player, which takes any readable regular file
        QTest::addColumn<bool>("opens");  // by the codec layer, which decodes it
        for (const char* name : {"tone.wav", "call sign  tone.wav", "Grüße ñ 音.wav", "tone.flac",
                                 "Grüße ñ 音.ogg", "tone.mp3"})
            QTest::newRow(name) << Path(QString::fromUtf8(name)) << true << true;
        for (const char* name : {"noise.wav", "empty.mp3", "notes.mp3"})
            QTest::newRow(name) << Path(name) << true << false;
        for (const char* name : {"missing.wav", "folder.wav", "fifo.wav"})
            QTest::newRow(name) << Path(name) << false << false;
        QTest::newRow("device") << QStringLiteral("/dev/zero") << false << false;
        QTest::newRow("empty") << QString() << false << false;
    }

    // An unplayable path also drops the medium loaded before it; a refused one is named.
    void eachPath() {
        QFETCH(QString, path);
        QFETCH(bool, loaded);
        QFETCH(bool, opens);
        TMediaPlayer player(nullptr);
        player.SetFileName(Path("tone.wav"));
        player.SetFileName(path);
        QCOMPARE(player.GetFileName(), path);
        if (!loaded)
            player.Play();
        QCOMPARE(player.GetMedia() ? player.GetMedia()->GetFileName() : QString(),
                 loaded ? path : QString());
        try {
            QCOMPARE(TMediaCodecManager::CreateFromFile(path)->GetFileName(), path);
            QVERIFY(opens);
        } catch (const std::runtime_error& error) {
            QVERIFY2(!opens && QString::fromUtf8(error.what()).contains("\"" + path + "\""),
                     error.what());
        }
    }

    // Each fails only once the player has tried it, after the load; the reason is kept.
    void unplayableFileIsDropped_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("size"); // zeros appended up to this size
        QTest::newRow("2 GB sparse file") << Path("sparse.wav") << qint64(2) * 1024 * 1024 * 1024;
        QTest::newRow("/proc/self/mem") << QStringLiteral("/proc/self/mem") << qint64(0);
        QTest::newRow("a tone, with no sound server") << Path("tone.wav") << qint64(0);
    }
    void unplayableFileIsDropped() {
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

    // A real sound server that takes the connection and then stops answering (SIGSTOP, as a
    // hung one): the player is destroyed while its thread waits on it, and the server's end,
    // which wakes that thread, must find nothing of the player in use (the sanitizer build
    // reports any such use).
    void playerGoneWhileTheServerHangs() {
        QProcess server;
        server.setEnvironment(QProcess::systemEnvironment()
                              << "XDG_RUNTIME_DIR=" + m_dir.path() << "HOME=" + m_dir.path());
        server.start(
            "pulseaudio",
            {"--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no", "--realtime=no",
             "--disable-shm=yes", "--load=module-null-sink",
             "--load=module-native-protocol-unix auth-anonymous=1 socket=" + Path("native")});
        QTRY_VERIFY(QFile::exists(Path("native")));
        const QByteArray noServer = qgetenv("PULSE_SERVER");
        qputenv("PULSE_SERVER", QFile::encodeName("unix:" + Path("native")));
        ::kill(pid_t(server.processId()), SIGSTOP);
        {
            TMediaPlayer player(nullptr);
            player.SetFileName(Path("tone.wav"));
            player.Play();
            QTest::qWait(300); // its thread is inside the connection now
        }
        server.kill();
        QVERIFY(server.waitForFinished());
        QTest::qWait(1000);
        qputenv("PULSE_SERVER", noServer);
    }
};

QTEST_MAIN(TestMedia)
#include "test_media.moc"
