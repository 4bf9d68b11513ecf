// The settings file on disk: typed reads and writes, the atomic save of changes only, UTF-16
// kept, and every save that cannot be done told once while the old file stays as it was.
#include "settings/ini_file.h"

#include <QtTest>
#include <csignal>
#include <functional>
#include <grp.h>
#include <optional>
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

bool Store(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The file's inode and size: a file replaced, grown or cut reads differently.
QString Identity(const QString& path) {
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return QStringLiteral("%1 %2").arg(status.st_ino).arg(status.st_size);
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

// Runs `check` as the user nobody, in a child process, when this test runs as root (for whom
// file and folder permissions do not hold, and CI runs as root); whether `check` held.
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

enum class Obstacle {
    MissingFolder,
    RemovedFolder,
    FolderMadeAnew,
    LockedFolder,
    LockedFolderWithFile,
    FullDisk,
    Fifo,
    Oversized,
    NoReadPermission,
    NotUtf16
};

} // namespace

Q_DECLARE_METATYPE(Obstacle)

class TestIniFile : public QObject {
    Q_OBJECT

    QStringList m_reported;
    QTemporaryDir m_dir;
    QString SettingsPath() const { return m_dir.filePath(QStringLiteral("Chimewell.ini")); }

    // Puts `obstacle` in the way of a save in a fresh folder, then saves a change: the save
    // must be told once, naming where it went, and leave the file there as it was; only in a
    // folder that takes no new file is a file already there rewritten in place, silently.
    bool SaveAgainst(Obstacle obstacle) {
        const QTemporaryDir dir;
        QString path = dir.filePath("Chimewell.ini"), named = path;
        const QString folder = dir.filePath("folder"), before = QDir::currentPath();
        std::optional<FileSizeLimit> limit;
        bool placed = true;
        switch (obstacle) {
        case Obstacle::MissingFolder:
            path = folder + "/Chimewell.ini";
            named = folder;
            break;
        case Obstacle::RemovedFolder:
        case Obstacle::FolderMadeAnew:
            placed = QDir().mkdir(folder) && QDir::setCurrent(folder) && QDir().rmdir(folder) &&
                     (obstacle == Obstacle::RemovedFolder || QDir().mkdir(folder));
            path = SettingsFilePath();
            named = folder;
            break;
        case Obstacle::LockedFolderWithFile:
            placed = Store(path, kMainForm);
            [[fallthrough]];
        case Obstacle::LockedFolder:
            placed = placed && QFile::setPermissions(dir.path(), QFileDevice::ReadOwner |
                                                                     QFileDevice::ExeOwner);
            break;
        case Obstacle::FullDisk:
            placed = Store(path, kMainForm);
            limit.emplace(64);
            break;
        case Obstacle::Fifo:
            placed = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
            break;
        case Obstacle::Oversized:
            placed = Store(path, kMainForm + QByteArray(4 * 1024 * 1024, ';'));
            break;
        case Obstacle::NoReadPermission:
            placed = Store(path, kMainForm) && QFile::setPermissions(path, QFileDevice::WriteOwner);
            break;
        case Obstacle::NotUtf16: // an odd number of bytes after the mark
            placed = Store(path, QByteArray("\xFF\xFE[\0M\0]", 7));
            break;
        }
        const QString identity = Identity(path);
        const std::int32_t stored =
            obstacle == Obstacle::FullDisk || obstacle == Obstacle::LockedFolderWithFile ? 7 : 50;
        m_reported.clear();
        bool readAsStored = false;
        {
            TIniFile ini(path);
            readAsStored = ini.ReadInteger(MainForm::kPlace.Left, 50) == stored;
            ini.WriteString(MainForm::kCallSign, QString(100, 'X'));
        }
        limit.reset();
        QDir::setCurrent(before);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
        const QStringList left =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        const bool held =
            obstacle == Obstacle::LockedFolderWithFile
                ? m_reported.isEmpty() &&
                      Contents(path) == kMainForm + "CallSign=" + QByteArray(100, 'X') + "\n"
                : m_reported.size() == 1 && m_reported[0].contains(named) &&
                      Identity(path) == identity && !QFile::exists(folder + "/Chimewell.ini") &&
                      left.size() == left.count("Chimewell.ini") + left.count("folder");
        if (!held)
            qWarning() << "saved to" << path << "told" << m_reported << "left" << left;
        return placed && readAsStored && held;
    }

private slots:
    void initTestCase() {
        TIniFile::OnSaveFailure = [this](const std::exception& error) {
            m_reported << QString::fromUtf8(error.what());
        };
    }
    void init() {
        m_reported.clear();
        QFile::remove(SettingsPath());
    }

    // A value that is empty, or a word, is no number: the default stands; any number but 0 is
    // true.
    void roundTripsThroughTheFile() {
        {
            TIniFile ini(SettingsPath());
            ini.WriteInteger(MainForm::kCS_FontColor, -16776961);
            ini.WriteString(MainForm::kCallSign, "DL1ÄBC");
            ini.WriteString(MainForm::kGMT, "");
        }
        QCOMPARE(Contents(SettingsPath()),
                 QByteArray("[Main Form]\nCS_FontColor=-16776961\nCallSign=DL1ÄBC\nGMT=\n"));
        TIniFile ini(SettingsPath());
        QCOMPARE(ini.ReadInteger(MainForm::kCS_FontColor, 0), -16776961);
        QCOMPARE(ini.ReadString(MainForm::kCallSign, "Callsign"), QString("DL1ÄBC"));
        QCOMPARE(ini.ReadString(MainForm::kGMT, "GMT"), QString());
        QCOMPARE(ini.ReadInteger(IntegerKey{"Main Form", "GMT", 3}), 3);
        QCOMPARE(ini.ReadBool(BoolKey{"Main Form", "CS_FontColor", false}), true);
        QCOMPARE(ini.ReadBool(BoolKey{"Main Form", "CallSign", true}), true);
        QVERIFY(m_reported.isEmpty());
    }

    // Written only on change, then by replacing the file, with its permissions, leaving no
    // temporary file behind.
    void writesOnlyChangesAtomically() {
        TIniFile(SettingsPath()).ReadInteger(MainForm::kPlace.Left, 50);
        QVERIFY(!QFile::exists(SettingsPath()));
        const QByteArray file("\xEF\xBB\xBF[main form]\r\nleft = 7\r\n");
        QVERIFY(Store(SettingsPath(), file));
        QVERIFY(QFile::setPermissions(SettingsPath(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const auto permissions = QFile::permissions(SettingsPath());
        const QString before = Identity(SettingsPath());
        TIniFile(SettingsPath()).WriteInteger(MainForm::kPlace.Left, 7);
        QCOMPARE(Identity(SettingsPath()), before);
        TIniFile(SettingsPath()).WriteInteger(MainForm::kPlace.Left, 8);
        QCOMPARE(Contents(SettingsPath()), QByteArray("[main form]\r\nLeft=8\r\n"));
        QVERIFY(Identity(SettingsPath()) != before);
        QCOMPARE(QFile::permissions(SettingsPath()), permissions);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Chimewell.ini"});
        QVERIFY(m_reported.isEmpty());
    }

    // Qt's own encoder makes the files a Windows editor's "Unicode" writes, mark included.
    void keepsUtf16_data() {
        QTest::addColumn<QStringConverter::Encoding>("encoding");
        QTest::newRow("little-endian") << QStringConverter::Utf16LE;
        QTest::newRow("big-endian") << QStringConverter::Utf16BE;
    }
    void keepsUtf16() {
        QFETCH(QStringConverter::Encoding, encoding);
        const auto utf16 = [encoding](const QString& text) {
            return QByteArray(QStringEncoder(encoding, QStringEncoder::Flag::WriteBom)(text));
        };
        const QString stored = QStringLiteral("[Main Form]\r\nCallSign=DL1ÄBC \U0001D11E\r\n");
        QVERIFY(Store(SettingsPath(), utf16(stored)));
        {
            TIniFile ini(SettingsPath());
            QCOMPARE(ini.ReadString(MainForm::kCallSign, "Callsign"), "DL1ÄBC \U0001D11E");
            ini.WriteInteger(MainForm::kPlace.Left, 8);
        }
        QCOMPARE(Contents(SettingsPath()), utf16(stored + "Left=8\r\n"));
        QVERIFY(m_reported.isEmpty());
    }

    // A current folder that was removed, even if made anew, takes no settings; a file that
    // exists but cannot be read is never overwritten, and reads as the defaults.
    void savesThatCannotBeDone_data() {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::newRow("folder missing") << Obstacle::MissingFolder;
        QTest::newRow("current folder removed") << Obstacle::RemovedFolder;
        QTest::newRow("current folder made anew") << Obstacle::FolderMadeAnew;
        QTest::newRow("locked folder") << Obstacle::LockedFolder;
        QTest::newRow("locked folder, file there: rewritten") << Obstacle::LockedFolderWithFile;
        QTest::newRow("full disk") << Obstacle::FullDisk;
        QTest::newRow("FIFO") << Obstacle::Fifo;
        QTest::newRow("larger than 4 MiB") << Obstacle::Oversized;
        QTest::newRow("no read permission") << Obstacle::NoReadPermission;
        QTest::newRow("marked UTF-16, not UTF-16") << Obstacle::NotUtf16;
    }
    void savesThatCannotBeDone() {
        QFETCH(Obstacle, obstacle);
        // Only permissions need an unprivileged child; the rest run here, where they count
        // towards the coverage.
        const bool permissions = obstacle == Obstacle::LockedFolder ||
                                 obstacle == Obstacle::LockedFolderWithFile ||
                                 obstacle == Obstacle::NoReadPermission;
        QVERIFY(permissions ? AsUnprivileged([&] { return SaveAgainst(obstacle); })
                            : SaveAgainst(obstacle));
    }
};

QTEST_MAIN(TestIniFile)
#include "test_ini_file.moc"
