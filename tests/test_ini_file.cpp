#include "settings/ini_file.h"

#include <QtTest>
#include <csignal>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QByteArray kMainForm("[Main Form]\nLeft=7\n");

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Store(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

ino_t Inode(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// Lets every file this process writes grow to `bytes` at most, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_saved); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
};

// Runs `check` as the unprivileged user nobody (in a child process) when this test runs as
// root, for whom folder permissions do not hold; true when `check` held.
bool AsUnprivileged(const std::function<bool()>& check) {
    if (::geteuid() != 0)
        return check();
    const pid_t child = ::fork();
    if (child == 0) {
        const gid_t nogroup = 65534;
        const bool dropped =
            ::setgroups(0, nullptr) == 0 && ::setgid(nogroup) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

enum class Obstacle { Fifo, Oversized, NoReadPermission, NotUtf16 };

// Puts something at `path` that exists but cannot be read as settings; false when this
// process cannot make it so (root reads every file).
bool PlaceObstacle(Obstacle obstacle, const QString& path) {
    switch (obstacle) {
    case Obstacle::Fifo:
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    case Obstacle::Oversized:
        Store(path, kMainForm + QByteArray(4 * 1024 * 1024, ';'));
        return true;
    case Obstacle::NotUtf16: // an odd number of bytes after the mark
        Store(path, QByteArray("\xFF\xFE[\0M\0]", 7));
        return true;
    case Obstacle::NoReadPermission:
        Store(path, kMainForm);
        return ::geteuid() != 0 && QFile::setPermissions(path, QFileDevice::WriteOwner);
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Obstacle)

class TestIniFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void roundTripsThroughTheFile();
    void writesOnlyChangesAtomically();
    void keepsUtf16_data();
    void keepsUtf16();
    void reportsWriteFailureOnce_data();
    void reportsWriteFailureOnce();
    void lockedFolder_data();
    void lockedFolder();
    void keepsOldFileWhenDiskIsFull();
    void neverOverwritesUnreadableFile_data();
    void neverOverwritesUnreadableFile();

private:
    QString SettingsPath() const { return m_dir.filePath(QStringLiteral("Chimewell.ini")); }
    // Nothing but the settings file: no temporary file left behind.
    bool OnlySettingsFile() const {
        return QDir(m_dir.path())
                   .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden) ==
               QStringList{"Chimewell.ini"};
    }
    bool ReportedOnce(const QString& path) const {
        return m_reported.size() == 1 && m_reported.first().contains(path);
    }

    QStringList m_reported;
    QTemporaryDir m_dir;
};

void TestIniFile::initTestCase() {
    TIniFile::OnSaveFailure = [this](const std::exception& error) {
        m_reported << QString::fromUtf8(error.what());
    };
}

void TestIniFile::init() {
    m_reported.clear();
    QDir(m_dir.path()).removeRecursively();
    QVERIFY(QDir().mkpath(m_dir.path()));
}

void TestIniFile::roundTripsThroughTheFile() {
    {
        TIniFile ini(SettingsPath());
        ini.WriteInteger(MainForm::kCS_FontColor, -16776961);
        ini.WriteString(MainForm::kCallSign, "DL1ÄBC");
        ini.WriteString(MainForm::kGMT, "");
        ini.WriteBool(MainForm::kStart, false);
        ini.UpdateFile();
        QCOMPARE(Contents(SettingsPath()), QByteArray("[Main Form]\nCS_FontColor=-16776961\n"
                                                      "CallSign=DL1ÄBC\nGMT=\nStart=0\n"));
    }
    TIniFile ini(SettingsPath());
    QCOMPARE(ini.ReadInteger(MainForm::kCS_FontColor, 0), -16776961);
    QCOMPARE(ini.ReadString(MainForm::kCallSign, "Callsign"), QString("DL1ÄBC"));
    QCOMPARE(ini.ReadString(MainForm::kGMT, "GMT"), QString());
    QCOMPARE(ini.ReadInteger(IntegerKey{"Main Form", "GMT", 3}), 3); // an empty value is no number
    QCOMPARE(ini.ReadInteger(AudioForm::kPlace.Left, 100), 100);
    QCOMPARE(ini.ReadBool(MainForm::kStart, true), false);
    QCOMPARE(ini.ReadBool(BoolKey{"Main Form", "CS_FontColor", false}), true); // any number but 0
    // A word is no number: the default stands.
    QCOMPARE(ini.ReadBool(BoolKey{"Main Form", "CallSign", false}), false);
    QCOMPARE(ini.ReadBool(BoolKey{"Main Form", "CallSign", true}), true);
    QVERIFY(m_reported.isEmpty());
}

// Written only on change, then by replacing the file, with its permissions.
void TestIniFile::writesOnlyChangesAtomically() {
    TIniFile(SettingsPath()).ReadInteger(MainForm::kPlace.Left, 50);
    QVERIFY(!QFile::exists(SettingsPath()));

    const QByteArray file("\xEF\xBB\xBF[main form]\r\nleft = 7\r\n");
    Store(SettingsPath(), file);
    QVERIFY(
        QFile::setPermissions(SettingsPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const auto permissions = QFile::permissions(SettingsPath());
    const ino_t before = Inode(SettingsPath());
    TIniFile(SettingsPath()).WriteInteger(MainForm::kPlace.Left, 7);
    QCOMPARE(Inode(SettingsPath()), before);
    QCOMPARE(Contents(SettingsPath()), file);

    TIniFile(SettingsPath()).WriteInteger(MainForm::kPlace.Left, 8);

    QCOMPARE(Contents(SettingsPath()), QByteArray("[main form]\r\nLeft=8\r\n"));
    QVERIFY(Inode(SettingsPath()) != before);
    QCOMPARE(QFile::permissions(SettingsPath()), permissions);
    QVERIFY(OnlySettingsFile());
    QVERIFY(m_reported.isEmpty());
}

// Qt's own encoder makes the files a Windows editor's "Unicode" writes, mark included.
void TestIniFile::keepsUtf16_data() {
    QTest::addColumn<QStringConverter::Encoding>("encoding");
    QTest::newRow("little-endian") << QStringConverter::Utf16LE;
    QTest::newRow("big-endian") << QStringConverter::Utf16BE;
}

void TestIniFile::keepsUtf16() {
    QFETCH(QStringConverter::Encoding, encoding);
    const auto utf16 = [encoding](const QString& text) {
        return QByteArray(QStringEncoder(encoding, QStringEncoder::Flag::WriteBom)(text));
    };
    const QString stored = QStringLiteral("[Main Form]\r\nCallSign=DL1ÄBC \U0001D11E\r\n");
    Store(SettingsPath(), utf16(stored));
    {
        TIniFile ini(SettingsPath());
        QCOMPARE(ini.ReadString(MainForm::kCallSign, "Callsign"), "DL1ÄBC \U0001D11E");
        ini.WriteInteger(MainForm::kPlace.Left, 8);
    }
    QCOMPARE(Contents(SettingsPath()), utf16(stored + "Left=8\r\n"));
    QVERIFY(m_reported.isEmpty());
}

// A current folder that was removed, even if made anew, takes no settings: the save is
// reported with the folder's path and nothing is written anywhere else.
void TestIniFile::reportsWriteFailureOnce_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("current");
    QTest::addColumn<bool>("madeAnew");

    QTest::newRow("folder missing") << "missing" << false << false;
    QTest::newRow("current folder removed") << "gone" << true << false;
    QTest::newRow("current folder made anew") << "anew" << true << true;
}

void TestIniFile::reportsWriteFailureOnce() {
    QFETCH(QString, folder);
    QFETCH(bool, current);
    QFETCH(bool, madeAnew);
    const QString folderPath = m_dir.filePath(folder);
    const QString before = QDir::currentPath();
    if (current)
        QVERIFY(QDir().mkdir(folderPath) && QDir::setCurrent(folderPath) &&
                QDir().rmdir(folderPath) && (!madeAnew || QDir().mkdir(folderPath)));
    const QString path = current ? SettingsFilePath() : folderPath + "/Chimewell.ini";

    TIniFile(path).WriteInteger(MainForm::kPlace.Left, 8);

    QDir::setCurrent(before);
    QVERIFY2(ReportedOnce(folderPath), qPrintable(m_reported.join('\n')));
    QVERIFY(!QFile::exists(folderPath + "/Chimewell.ini"));
}

// A folder that takes no new file: a file already there is rewritten in place; with none,
// the save fails and says so.
void TestIniFile::lockedFolder_data() {
    QTest::addColumn<bool>("fileThere");
    QTest::newRow("file there: rewritten in place") << true;
    QTest::newRow("no file: reported") << false;
}

void TestIniFile::lockedFolder() {
    QFETCH(bool, fileThere);
    QVERIFY(AsUnprivileged([&] {
        QTemporaryDir dir;
        const QString path = dir.filePath("Chimewell.ini");
        if (fileThere)
            Store(path, kMainForm);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        TIniFile(path).WriteInteger(MainForm::kPlace.Left, 8);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
        return fileThere ? Contents(path) == "[Main Form]\nLeft=8\n" && m_reported.isEmpty()
                         : ReportedOnce(path) && !QFile::exists(path);
    }));
}

void TestIniFile::keepsOldFileWhenDiskIsFull() {
    Store(SettingsPath(), kMainForm);
    {
        const FileSizeLimit limit(64);
        TIniFile(SettingsPath()).WriteString(MainForm::kCallSign, QString(100, 'X'));
    }
    QCOMPARE(Contents(SettingsPath()), kMainForm);
    QVERIFY(OnlySettingsFile());
    QVERIFY2(ReportedOnce(SettingsPath()), qPrintable(m_reported.join('\n')));
}

void TestIniFile::neverOverwritesUnreadableFile_data() {
    QTest::addColumn<Obstacle>("obstacle");

    QTest::newRow("FIFO") << Obstacle::Fifo;
    QTest::newRow("larger than 4 MiB") << Obstacle::Oversized;
    QTest::newRow("no read permission") << Obstacle::NoReadPermission;
    QTest::newRow("marked UTF-16, not UTF-16") << Obstacle::NotUtf16;
}

void TestIniFile::neverOverwritesUnreadableFile() {
    QFETCH(Obstacle, obstacle);
    if (!PlaceObstacle(obstacle, SettingsPath()))
        QSKIP("root reads every file");
    const qint64 size = QFileInfo(SettingsPath()).size();
    const ino_t inode = Inode(SettingsPath());

    {
        TIniFile ini(SettingsPath());
        QCOMPARE(ini.ReadInteger(MainForm::kPlace.Left, 50), 50);
        ini.WriteInteger(MainForm::kPlace.Left, 8);
    }

    QVERIFY2(ReportedOnce(SettingsPath()), qPrintable(m_reported.join('\n')));
    QCOMPARE(Inode(SettingsPath()), inode);
    QCOMPARE(QFileInfo(SettingsPath()).size(), size);
}

QTEST_MAIN(TestIniFile)
#include "test_ini_file.moc"
