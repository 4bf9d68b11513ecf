#include "app/toolkit/application.h"
#include "settings/ini_file.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
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

bool IsRoot() {
    return ::geteuid() == 0;
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

enum class Obstacle { Directory, Fifo, Oversized, NoReadPermission };

// Puts something at `path` that exists but cannot be read as settings; false when this
// process cannot make it so (root reads every file).
bool PlaceObstacle(Obstacle obstacle, const QString& path) {
    switch (obstacle) {
    case Obstacle::Directory:
        return QDir().mkdir(path);
    case Obstacle::Fifo:
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    case Obstacle::Oversized:
        Store(path, kMainForm + QByteArray(4 * 1024 * 1024, ';'));
        return true;
    case Obstacle::NoReadPermission:
        Store(path, kMainForm);
        return !IsRoot() && QFile::setPermissions(path, QFileDevice::WriteOwner);
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
    void readsBooleans_data();
    void readsBooleans();
    void writesNothingWithoutChange();
    void replacesFileAtomically();
    void reportsWriteFailureOnce_data();
    void reportsWriteFailureOnce();
    void keepsOldFileWhenDiskIsFull();
    void neverOverwritesUnreadableFile_data();
    void neverOverwritesUnreadableFile();
    void usesCurrentDirectory();

private:
    QString SettingsPath() const { return m_dir.filePath(QStringLiteral("Chimewell.ini")); }

    TApplication m_application;
    QStringList m_reported;
    QTemporaryDir m_dir;
};

void TestIniFile::initTestCase() {
    m_application.OnException = [this](TObject*, const std::exception& error) {
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
        ini.WriteInteger("Main Form", "CS_FontColor", -16776961);
        ini.WriteString("Main Form", "CallSign", "DL1ÄBC");
        ini.WriteString("Main Form", "GMT", "");
        ini.WriteBool("Main Form", "Start", false);
        ini.UpdateFile();
        QCOMPARE(Contents(SettingsPath()), QByteArray("[Main Form]\nCS_FontColor=-16776961\n"
                                                      "CallSign=DL1ÄBC\nGMT=\nStart=0\n"));
    }
    TIniFile ini(SettingsPath());
    QCOMPARE(ini.ReadInteger("Main Form", "CS_FontColor", 0), -16776961);
    QCOMPARE(ini.ReadString("Main Form", "CallSign", "Callsign"), QString("DL1ÄBC"));
    QCOMPARE(ini.ReadString("Main Form", "GMT", "GMT"), QString());
    QCOMPARE(ini.ReadInteger("Main Form", "GMT", 3), 3);
    QCOMPARE(ini.ReadBool("Main Form", "Start", true), false);
    QCOMPARE(ini.ReadInteger("Audio Form", "Left", 100), 100);
    QVERIFY(m_reported.isEmpty());
}

void TestIniFile::readsBooleans_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("fallback");
    QTest::addColumn<bool>("expected");

    QTest::newRow("1") << QByteArray("Start=1") << false << true;
    QTest::newRow("0") << QByteArray("Start=0") << true << false;
    QTest::newRow("any other number") << QByteArray("Start=2") << false << true;
    QTest::newRow("negative") << QByteArray("Start=-1") << false << true;
    QTest::newRow("word, default true") << QByteArray("Start=true") << true << true;
    QTest::newRow("word, default false") << QByteArray("Start=true") << false << false;
    QTest::newRow("empty") << QByteArray("Start=") << true << true;
    QTest::newRow("missing") << QByteArray() << false << false;
}

void TestIniFile::readsBooleans() {
    QFETCH(QByteArray, stored);
    QFETCH(bool, fallback);
    QFETCH(bool, expected);
    Store(SettingsPath(), "[Main Form]\n" + stored + "\n");

    QCOMPARE(TIniFile(SettingsPath()).ReadBool("Main Form", "Start", fallback), expected);
}

void TestIniFile::writesNothingWithoutChange() {
    TIniFile(SettingsPath()).ReadInteger("Main Form", "Left", 50);
    QVERIFY(!QFile::exists(SettingsPath()));

    const QByteArray file("\xEF\xBB\xBF[main form]\r\nleft = 7\r\n");
    Store(SettingsPath(), file);
    const ino_t before = Inode(SettingsPath());
    TIniFile(SettingsPath()).WriteInteger("Main Form", "Left", 7);
    QCOMPARE(Inode(SettingsPath()), before);
    QCOMPARE(Contents(SettingsPath()), file);
}

void TestIniFile::replacesFileAtomically() {
    Store(SettingsPath(), kMainForm);
    QVERIFY(
        QFile::setPermissions(SettingsPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const auto permissions = QFile::permissions(SettingsPath());
    const ino_t before = Inode(SettingsPath());

    TIniFile(SettingsPath()).WriteInteger("Main Form", "Left", 8);

    QCOMPARE(Contents(SettingsPath()), QByteArray("[Main Form]\nLeft=8\n"));
    QVERIFY(Inode(SettingsPath()) != before);
    QCOMPARE(QFile::permissions(SettingsPath()), permissions);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"Chimewell.ini"});
    QVERIFY(m_reported.isEmpty());
}

void TestIniFile::reportsWriteFailureOnce_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("folderIsFile");
    QTest::addColumn<bool>("readOnlyFolder");

    QTest::newRow("folder missing") << "missing" << false << false;
    QTest::newRow("folder is a file") << "file" << true << false;
    QTest::newRow("read-only folder") << "locked" << false << true;
}

void TestIniFile::reportsWriteFailureOnce() {
    QFETCH(QString, folder);
    QFETCH(bool, folderIsFile);
    QFETCH(bool, readOnlyFolder);
    if (readOnlyFolder && IsRoot())
        QSKIP("root writes into read-only folders");
    const QString folderPath = m_dir.filePath(folder);
    if (folderIsFile)
        Store(folderPath, kMainForm);
    if (readOnlyFolder)
        QVERIFY(QDir().mkdir(folderPath, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString path = folderPath + "/Chimewell.ini";

    TIniFile(path).WriteInteger("Main Form", "Left", 8);

    QCOMPARE(m_reported.size(), 1);
    QVERIFY2(m_reported.first().contains(path), qPrintable(m_reported.first()));
    QVERIFY(!QFile::exists(path));
}

void TestIniFile::keepsOldFileWhenDiskIsFull() {
    Store(SettingsPath(), kMainForm);
    {
        const FileSizeLimit limit(64);
        TIniFile(SettingsPath()).WriteString("Main Form", "CallSign", QString(100, 'X'));
    }
    QCOMPARE(Contents(SettingsPath()), kMainForm);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"Chimewell.ini"});
    QCOMPARE(m_reported.size(), 1);
    QVERIFY2(m_reported.first().contains(SettingsPath()), qPrintable(m_reported.first()));
}

void TestIniFile::neverOverwritesUnreadableFile_data() {
    QTest::addColumn<Obstacle>("obstacle");

    QTest::newRow("directory") << Obstacle::Directory;
    QTest::newRow("FIFO") << Obstacle::Fifo;
    QTest::newRow("larger than 4 MiB") << Obstacle::Oversized;
    QTest::newRow("no read permission") << Obstacle::NoReadPermission;
}

void TestIniFile::neverOverwritesUnreadableFile() {
    QFETCH(Obstacle, obstacle);
    if (!PlaceObstacle(obstacle, SettingsPath()))
        QSKIP("root reads every file");
    const QFileInfo before(SettingsPath());

    {
        TIniFile ini(SettingsPath());
        QCOMPARE(ini.ReadInteger("Main Form", "Left", 50), 50);
        ini.WriteInteger("Main Form", "Left", 8);
    }

    QCOMPARE(m_reported.size(), 1);
    QVERIFY2(m_reported.first().contains(SettingsPath()), qPrintable(m_reported.first()));
    const QFileInfo after(SettingsPath());
    QCOMPARE(after.isDir(), before.isDir());
    QCOMPARE(after.isFile(), before.isFile());
    QCOMPARE(after.size(), before.size());
    QCOMPARE(Inode(SettingsPath()), Inode(before.filePath()));
}

void TestIniFile::usesCurrentDirectory() {
    const QString home = QDir::currentPath();
    QVERIFY(QDir().mkdir(m_dir.filePath("other")));
    QVERIFY(QDir::setCurrent(m_dir.path()));
    TIniFile(SettingsFilePath()).WriteInteger("Main Form", "Left", 8);
    QVERIFY(QDir::setCurrent(m_dir.filePath("other")));
    const int left = TIniFile(SettingsFilePath()).ReadInteger("Main Form", "Left", 50);
    QVERIFY(QDir::setCurrent(home));

    QCOMPARE(left, 50);
    QCOMPARE(Contents(SettingsPath()), QByteArray("[Main Form]\nLeft=8\n"));
}

QTEST_MAIN(TestIniFile)
#include "test_ini_file.moc"
