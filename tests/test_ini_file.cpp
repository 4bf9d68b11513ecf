// The settings file on disk: the atomic save of changes only, in the file's encoding, and every
// save that cannot be done told once while the old file stays as it was. (Typed reads and writes
// are the window tests', which restore and save every key.)
#include "settings/ini_file.h"
#include "test_files.h"

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

// The file's inode and size: a file replaced, grown or cut reads differently.
QString Identity(const QString& path) {
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return QStringLiteral("%1 %2").arg(status.st_ino).arg(status.st_size);
}

// Lets every file this process writes grow to `bytes` at most, as a full disk would; returns
// the limit it replaces.
rlim_t LimitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlim_t before = std::exchange(limit.rlim_cur, bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return before;
}

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

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

    QStringList m_reported;
    QTemporaryDir m_dir;
    QString SettingsPath() const { return m_dir.filePath(QStringLiteral("Chimewell.ini")); }

    // Puts `obstacle` in the way of a save in a fresh folder, then saves a change: the save
    // must be told once, naming where it went, and leave the file there as it was; only in a
    // folder that takes no new file is a file already there rewritten in place, silently.
    bool SaveAgainst(const QString& obstacle) {
        const QTemporaryDir dir;
        QString path = dir.filePath("Chimewell.ini"), named = path;
        const QString folder = dir.filePath("folder"), before = QDir::currentPath();
        const bool fileThere = obstacle.endsWith("file there: rewritten");
        std::optional<rlim_t> sizeLimit;
        bool placed = true;
        if (obstacle.startsWith("current folder")) {
            placed = QDir().mkdir(folder) && QDir::setCurrent(folder) && QDir().rmdir(folder) &&
                     (obstacle.endsWith("removed") || QDir().mkdir(folder));
            path = SettingsFilePath();
            named = folder;
        } else if (obstacle == "FIFO")
            placed = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
        else if (obstacle == "larger than 4 MiB")
            placed = Store(path, kMainForm + QByteArray(4 * 1024 * 1024, ';'));
        else if (obstacle == "marked UTF-16, not UTF-16") // an odd number of bytes after the mark
            placed = Store(path, QByteArray("\xFF\xFE[\0M\0]", 7));
        else if (obstacle != "locked folder")
            placed = Store(path, kMainForm);
        if (obstacle.startsWith("locked folder"))
            placed = placed && QFile::setPermissions(dir.path(), QFileDevice::ReadOwner |
                                                                     QFileDevice::ExeOwner);
        if (obstacle == "no read permission")
            placed = placed && QFile::setPermissions(path, QFileDevice::WriteOwner);
        if (obstacle == "full disk")
            sizeLimit = LimitFileSize(64);
        const QString identity = Identity(path);
        const std::int32_t stored = obstacle == "full disk" || fileThere ? 7 : 50;
        bool readAsStored = false;
        {
            TIniFile ini(path);
            readAsStored = ini.ReadInteger(MainForm::kPlace.Left, 50) == stored;
            ini.WriteString(MainForm::kCallSign, QString(100, 'X'));
        }
        if (sizeLimit)
            LimitFileSize(*sizeLimit);
        QDir::setCurrent(before);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
        const QStringList left =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        const bool held =
            fileThere
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

    // Written only on change, then by replacing the file in its encoding (UTF-16 as Qt's own
    // encoder makes a Windows editor's "Unicode", mark included; the UTF-8 mark is dropped),
    // with its permissions, leaving no temporary file behind.
    void writesOnlyChangesAtomically_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("saved");
        const auto utf16 = [](const QString& text) {
            return QByteArray(
                QStringEncoder(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom)(text));
        };
        const QString text =
            QStringLiteral("[main form]\r\nleft = 7\r\nCallSign=DL1ÄBC \U0001D11E\r\n");
        const QString changed = QString(text).replace("left = 7", "Left=8");
        QTest::newRow("UTF-8") << "\xEF\xBB\xBF" + text.toUtf8() << changed.toUtf8();
        QTest::newRow("UTF-16") << utf16(text) << utf16(changed);
    }
    void writesOnlyChangesAtomically() {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, saved);
        TIniFile(SettingsPath()).ReadInteger(MainForm::kPlace.Left, 50);
        QVERIFY(!QFile::exists(SettingsPath()));
        QVERIFY(Store(SettingsPath(), stored));
        QVERIFY(QFile::setPermissions(SettingsPath(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const auto permissions = QFile::permissions(SettingsPath());
        const QString before = Identity(SettingsPath());
        QCOMPARE(TIniFile(SettingsPath()).ReadString(MainForm::kCallSign, ""), "DL1ÄBC \U0001D11E");
        TIniFile(SettingsPath()).WriteInteger(MainForm::kPlace.Left, 7);
        QCOMPARE(Identity(SettingsPath()), before);
        TIniFile(SettingsPath()).WriteInteger(MainForm::kPlace.Left, 8);
        QCOMPARE(Contents(SettingsPath()), saved);
        QVERIFY(Identity(SettingsPath()) != before);
        QCOMPARE(QFile::permissions(SettingsPath()), permissions);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Chimewell.ini"});
        QVERIFY(m_reported.isEmpty());
    }

    // A current folder that was removed, even if made anew, takes no settings; a file that
    // exists but cannot be read is never overwritten, and reads as the defaults.
    void savesThatCannotBeDone_data() {
        QTest::addColumn<QString>("obstacle");
        for (const char* obstacle :
             {"current folder removed", "current folder made anew", "locked folder",
              "locked folder, file there: rewritten", "full disk", "FIFO", "larger than 4 MiB",
              "no read permission", "marked UTF-16, not UTF-16"})
            QTest::newRow(obstacle) << QString(obstacle);
    }
    void savesThatCannotBeDone() {
        QFETCH(QString, obstacle);
        // Only permissions need an unprivileged child; the rest run here, where they count
        // towards the coverage.
        const bool permissions = obstacle.contains("locked") || obstacle.contains("permission");
        QVERIFY(permissions ? AsUnprivileged([&] { return SaveAgainst(obstacle); })
                            : SaveAgainst(obstacle));
    }
};

QTEST_MAIN(TestIniFile)
#include "test_ini_file.moc"
