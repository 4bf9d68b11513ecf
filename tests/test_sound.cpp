// The sound engine on real files made here, with no display and no sound server: which paths
// are taken as sound files and which decode (a tone as WAV and encoded as FLAC, Ogg Vorbis and
// MP3 must; anything else is refused with a reason, and nothing waits on a FIFO or a device),
// the files that fail only once a stream tries them, and a stream destroyed while a hung server
// holds its thread. Sound reaching a real sound server is proven end to end.
#include "sound/file_types.h"
#include "sound/sound_file.h"
#include "sound/sound_stream.h"
#include "test_files.h"

#include <QtTest>

#include <csignal>
#include <sys/stat.h>

class TestSound : public QObject {
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
        QTest::addColumn<bool>("taken"); // as a sound file: any readable regular file
        QTest::addColumn<bool>("decodes");
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
    void eachPath() {
        QFETCH(QString, path);
        QFETCH(bool, taken);
        QFETCH(bool, decodes);
        QCOMPARE(WhyNotASoundFile(path).isEmpty(), taken);
        QCOMPARE(WhyNoAudio(path).isEmpty(), decodes);
    }

    // Each fails only once a stream has tried it, which tells why, once.
    void unplayableFileIsTold_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("size"); // zeros appended up to this size
        QTest::newRow("2 GB sparse file") << Path("sparse.wav") << qint64(2) * 1024 * 1024 * 1024;
        QTest::newRow("/proc/self/mem") << QStringLiteral("/proc/self/mem") << qint64(0);
        QTest::newRow("a tone, with no sound server") << Path("tone.wav") << qint64(0);
    }
    void unplayableFileIsTold() {
        QFETCH(QString, path);
        QFETCH(qint64, size);
        QFile file(path);
        QVERIFY(size == 0 || (file.open(QIODevice::ReadWrite) && file.resize(size)));
        file.close();
        QStringList told;
        TSoundStream stream(
            [&](const QString& name, const QString& reason) { told << name + ": " + reason; });
        QVERIFY(WhyNotASoundFile(path).isEmpty());
        stream.Play(std::make_unique<TSoundFile>(path), path, {});
        QTRY_COMPARE(told.size(), 1);
        QVERIFY(told[0].startsWith(path + ": ") && told[0].size() > path.size() + 2);
        QTest::qWait(100);
        QCOMPARE(told.size(), 1);
    }

    // A real sound server that takes the connection and then stops answering (SIGSTOP, as a
    // hung one): the stream is destroyed while its thread waits on it, and the server's end,
    // which wakes that thread, must find nothing of the stream in use (the sanitizer build
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
            TSoundStream stream([](const QString&, const QString&) { QFAIL("told when gone"); });
            stream.Play(std::make_unique<TSoundFile>(Path("tone.wav")), "tone", {});
            QTest::qWait(300); // its thread is inside the connection now
        }
        server.kill();
        QVERIFY(server.waitForFinished());
        QTest::qWait(1000);
        qputenv("PULSE_SERVER", noServer);
    }
};

QTEST_GUILESS_MAIN(TestSound)
#include "test_sound.moc"
