// The media layer on real files made here: a tone written as WAV and the same encoded as
// FLAC, Ogg Vorbis and MP3 where an encoder is installed. Each opens and plays to its end
// on a sound server of the test's own with a null sink; bad files are refused by name.
#include "app/toolkit/media_codec_manager.h"
#include "tone_wav.h"

#include <QtTest>

#include <sys/stat.h>

namespace {

constexpr int kServerStartMs = 10000;
constexpr int kPlayMs = 10000;

enum class Made { Nothing, File, Directory, Fifo };

void MakeAt(const QString& path, Made made, const QByteArray& content) {
    QFile file(path);
    switch (made) {
    case Made::File:
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        break;
    case Made::Directory:
        QVERIFY(QDir().mkpath(path));
        break;
    case Made::Fifo:
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    case Made::Nothing:
        break;
    }
}

// The encoder leaves no file behind when it is not installed; the test then skips the row.
void Encode(const QString& program, const QStringList& arguments) {
    if (!QStandardPaths::findExecutable(program).isEmpty())
        QProcess::execute(program, arguments);
}

} // namespace

Q_DECLARE_METATYPE(Made)

class TestMediaCodecs : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    QProcess soundServer;

    QString Path(const QString& name) const { return folder.filePath(name); }
    void MakeTones();
    bool StartSoundServer();

private slots:
    void initTestCase();
    void cleanupTestCase();
    void filterOffersWhatDecodes_data();
    void filterOffersWhatDecodes();
    void audioFileOpensAndPlaysToItsEnd_data();
    void audioFileOpensAndPlaysToItsEnd();
    void badFileIsRefusedByName_data();
    void badFileIsRefusedByName();
};

void TestMediaCodecs::MakeTones() {
    const QString wav = Path("tone.wav");
    QVERIFY(WriteToneWav(wav, 0.5));
    Encode("sox", {wav, Path("tone.flac")});
    Encode("sox", {wav, Path("tone.ogg")});
    Encode("lame", {"--quiet", wav, Path("tone.mp3")});
    QVERIFY(QFile::copy(wav, Path("call sign tone.wav")));
    QFile::copy(Path("tone.ogg"), Path("Grüße ñ 音.ogg")); // skipped, as tone.ogg, when absent
}

// A PulseAudio server of our own, so that nothing sounds on the machine and nothing depends
// on a server being there; its one sink is a null sink.
bool TestMediaCodecs::StartSoundServer() {
    if (QStandardPaths::findExecutable("pulseaudio").isEmpty())
        return false;
    const QString dir = Path("pulse");
    QDir().mkpath(dir);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", dir);
    environment.insert("HOME", dir);
    soundServer.setProcessEnvironment(environment);
    soundServer.setStandardErrorFile(QProcess::nullDevice());
    soundServer.start("pulseaudio",
                      {"--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
                       "--realtime=no", "--disable-shm=yes", "--load=module-null-sink",
                       "--load=module-native-protocol-unix socket=" + dir +
                           "/native "
                           "auth-anonymous=1"});
    return QTest::qWaitFor([&] { return QFile::exists(dir + "/native"); }, kServerStartMs);
}

void TestMediaCodecs::initTestCase() {
    QVERIFY(folder.isValid());
    // Set before anything of the media layer starts, so that no other server is ever used.
    qputenv("PULSE_SERVER", QFile::encodeName("unix:" + Path("pulse/native")));
    MakeTones();
    if (!StartSoundServer())
        qWarning("No sound server could be started: the playing tests will be skipped.");
}

void TestMediaCodecs::cleanupTestCase() {
    soundServer.terminate();
    soundServer.waitForFinished();
}

void TestMediaCodecs::filterOffersWhatDecodes_data() {
    QTest::addColumn<QString>("pattern");
    QTest::newRow("WAV") << "*.wav";
    QTest::newRow("FLAC") << "*.flac";
    QTest::newRow("Ogg Vorbis") << "*.ogg";
    QTest::newRow("MP3") << "*.mp3";
}

// The set-up installs GStreamer's usual plugins, so these four must be offered, first in
// the entry for all audio files, then in their own entry.
void TestMediaCodecs::filterOffersWhatDecodes() {
    QFETCH(QString, pattern);
    const QStringList entries = TMediaCodecManager::GetFilterString().split(";;");
    QVERIFY(entries.size() > 1);
    const QRegularExpression form(R"(^[^()]+ \((\*\.\w+ ?)+\)$)");
    for (const QString& entry : entries)
        QVERIFY2(form.match(entry).hasMatch(), qPrintable(entry));
    QVERIFY(entries.first().startsWith("Audio files (") && entries.first().contains(pattern));
    QCOMPARE(entries.filter(pattern).size(), 2);
}

void TestMediaCodecs::audioFileOpensAndPlaysToItsEnd_data() {
    QTest::addColumn<QString>("path");
    for (const char* name :
         {"tone.wav", "tone.flac", "tone.ogg", "tone.mp3", "call sign tone.wav", "Grüße ñ 音.ogg"})
        QTest::newRow(name) << Path(QString::fromUtf8(name));
}

// Stopped with the medium still held is the end of the file; a failure would drop it.
void TestMediaCodecs::audioFileOpensAndPlaysToItsEnd() {
    QFETCH(QString, path);
    if (!QFile::exists(path))
        QSKIP("no encoder for this format is installed");
    QCOMPARE(TMediaCodecManager::CreateFromFile(path)->GetFileName(), path);
    if (soundServer.state() != QProcess::Running)
        QSKIP("no sound server");
    TMediaPlayer player(nullptr);
    bool failed = false;
    player.OnError = [&](TObject*) { failed = true; };
    player.SetFileName(path);
    player.Play();
    QTRY_COMPARE_WITH_TIMEOUT(player.GetState(), TMediaState::Playing, kPlayMs);
    QTRY_VERIFY_WITH_TIMEOUT(player.GetState() != TMediaState::Playing, kPlayMs);
    QCOMPARE(player.GetState(), TMediaState::Stopped);
    QVERIFY(!failed);
}

void TestMediaCodecs::badFileIsRefusedByName_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<Made>("made");
    QTest::addColumn<QByteArray>("content");
    QByteArray noise(8192, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    QTest::newRow("random bytes") << Path("noise.wav") << Made::File << noise;
    QTest::newRow("zero bytes") << Path("empty.mp3") << Made::File << QByteArray();
    QTest::newRow("text renamed") << Path("notes.mp3") << Made::File
                                  << QByteArray("73 de N0CALL\n");
    QTest::newRow("directory") << Path("folder.ogg") << Made::Directory << QByteArray();
    // A FIFO without a writer would block whoever opened it.
    QTest::newRow("FIFO") << Path("pipe.wav") << Made::Fifo << QByteArray();
    QTest::newRow("device") << QStringLiteral("/dev/zero") << Made::Nothing << QByteArray();
    QTest::newRow("missing") << Path("gone ñ 音.wav") << Made::Nothing << QByteArray();
}

void TestMediaCodecs::badFileIsRefusedByName() {
    QFETCH(QString, path);
    QFETCH(Made, made);
    QFETCH(QByteArray, content);
    MakeAt(path, made, content);
    try {
        TMediaCodecManager::CreateFromFile(path);
        QFAIL("the file was accepted");
    } catch (const std::runtime_error& error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains("\"" + path + "\""), error.what());
    }
}

QTEST_GUILESS_MAIN(TestMediaCodecs)
#include "test_media_codecs.moc"
