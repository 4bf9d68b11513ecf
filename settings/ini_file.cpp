#include "settings/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace {

// Settings take a few hundred bytes; the cap keeps a wrong file from stalling the program.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

std::runtime_error SaveError(const QString& path, const QString& reason) {
    return std::runtime_error(QStringLiteral("Could not save the settings to \"%1\": %2.")
                                  .arg(path, reason)
                                  .toStdString());
}

// The error display must not throw out of a destructor; should it fail, nobody is left to tell.
void ReportSaveFailure(const std::exception& error) noexcept {
    try {
        if (TIniFile::OnSaveFailure)
            TIniFile::OnSaveFailure(error);
    } catch (...) {
    }
}

// A current directory that was removed has no path; the kernel still names it, with
// " (deleted)" appended, which tells the operator where a save was to go and why it failed.
// (Qt's empty path would put the settings at the root of the file system.)
QString GetCurrentDir() {
    const QString current = QDir::currentPath();
    return current.isEmpty() ? QFile::symLinkTarget(QStringLiteral("/proc/self/cwd")) : current;
}

} // namespace

TIniFile::TIniFile(const QString& FileName)
    : m_fileName(FileName) {
    Load();
}

TIniFile::~TIniFile() {
    try {
        UpdateFile();
    } catch (const std::exception& error) {
        ReportSaveFailure(error);
    }
}

// Only a regular file of sensible size is opened, so that a FIFO or a device at the path can
// never hang the program.
void TIniFile::Load() {
    const QFileInfo info(m_fileName);
    if (!info.exists())
        return;
    if (!info.isFile()) {
        m_readFailure = QStringLiteral("it is not a regular file");
        return;
    }
    QFile file(m_fileName);
    const QByteArray bytes =
        file.open(QIODevice::ReadOnly) ? file.read(kMaxFileSize + 1) : QByteArray();
    if (file.error() != QFileDevice::NoError)
        m_readFailure = file.errorString();
    else if (bytes.size() > kMaxFileSize)
        m_readFailure = QStringLiteral("it is larger than 4 MiB");
    else
        Decode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void TIniFile::Decode(std::string_view bytes) {
    const auto text = DecodeText(bytes);
    if (!text) {
        m_readFailure = QStringLiteral("it is marked as UTF-16 but is not UTF-16");
        return;
    }
    m_document = IniDocument::Parse(text->utf8);
    m_encoding = text->encoding;
}

void TIniFile::UpdateFile() {
    if (!m_document.Modified())
        return;
    // Overwriting a file we could not read would lose the operator's settings.
    if (!m_readFailure.isEmpty())
        throw SaveError(
            m_fileName,
            QStringLiteral("the existing file could not be read (%1), so it is left as it is")
                .arg(m_readFailure));
    Save();
    m_document.MarkSaved();
}

// QSaveFile::commit() renames the temporary file even when its own final flush fails (a full
// disk), which would replace the settings with a truncated file: flush and check first.
void TIniFile::Save() const {
    const std::string text = EncodeText(m_document.Serialize(), m_encoding);
    const auto size = static_cast<qint64>(text.size());
    QSaveFile file(m_fileName);
    // A folder that takes no new file (shared, managed) may still let the file be rewritten.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), size) != size ||
        !file.flush() || !file.commit())
        throw SaveError(m_fileName, file.errorString());
}

std::int32_t TIniFile::Integer(std::string_view section, std::string_view name,
                               std::int32_t byDefault) const {
    const auto value = m_document.Get(section, name);
    return value ? ParseInt32(*value).value_or(byDefault) : byDefault;
}

QString TIniFile::ReadString(const TextKey& Key) const {
    return ReadString(Key, DefaultText(Key));
}

QString TIniFile::ReadString(const TextKey& Key, const QString& Default) const {
    const auto value = m_document.Get(Key.section, Key.name);
    return value ? QString::fromStdString(*value) : Default;
}

void TIniFile::WriteString(const TextKey& Key, const QString& Value) {
    m_document.Set(Key.section, Key.name, Value.toStdString());
}

std::int32_t TIniFile::ReadInteger(const IntegerKey& Key, std::int32_t Default) const {
    return Integer(Key.section, Key.name, Default);
}

void TIniFile::WriteInteger(const IntegerKey& Key, std::int32_t Value) {
    m_document.Set(Key.section, Key.name, std::to_string(Value));
}

bool TIniFile::ReadBool(const BoolKey& Key, bool Default) const {
    return Integer(Key.section, Key.name, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const BoolKey& Key, bool Value) {
    m_document.Set(Key.section, Key.name, Value ? "1" : "0");
}

QString SettingsFilePath() {
    return GetCurrentDir() + QStringLiteral("/Chimewell.ini");
}

QString DefaultText(const TextKey& Key) {
    return QString::fromUtf8(Key.byDefault.data(), static_cast<qsizetype>(Key.byDefault.size()));
}
