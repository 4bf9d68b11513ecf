#include "sound/sound_file.h"

#include <QFile>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

struct TSoundFile::Decoder {
    int descriptor = -1;
    SNDFILE* file = nullptr;
    ~Decoder() {
        if (file)
            sf_close(file);
        if (descriptor >= 0)
            ::close(descriptor);
    }
};

namespace {

QString WhyNotOpened(int error) {
    return error == ENOENT || error == ENOTDIR ? QStringLiteral("there is no such file")
                                               : QStringLiteral("it cannot be read");
}

QString WhyNotRegular(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder, not a file");
    return S_ISREG(mode) ? QString() : QStringLiteral("it is not a regular file");
}

// libsndfile's own words, without the full stop, since they go inside a sentence.
QString Undecodable(SNDFILE* file) {
    QString detail = QString::fromUtf8(sf_strerror(file)).trimmed();
    if (detail.endsWith(QLatin1Char('.')))
        detail.chop(1);
    return QStringLiteral("it holds no audio that can be decoded (%1)").arg(detail);
}

} // namespace

QString WhyNotASoundFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (path.isEmpty() || stat(name.constData(), &status) != 0)
        return WhyNotOpened(path.isEmpty() ? ENOENT : errno);
    if (const QString reason = WhyNotRegular(status.st_mode); !reason.isEmpty())
        return reason;
    return access(name.constData(), R_OK) == 0 ? QString() : WhyNotOpened(errno);
}

TSoundFile::TSoundFile(QString path)
    : m_path(std::move(path))
    , m_decoder(std::make_unique<Decoder>()) {}

TSoundFile::~TSoundFile() = default;

QString TSoundFile::Fail(const QString& reason) {
    m_decoder = std::make_unique<Decoder>();
    return reason;
}

// Non-blocking, so that opening a FIFO does not wait for a writer; the type is then checked
// before anything reads.
QString TSoundFile::Open() {
    Decoder& decoder = *m_decoder;
    decoder.descriptor = m_path.isEmpty() ? -1
                                          : ::open(QFile::encodeName(m_path).constData(),
                                                   O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (decoder.descriptor < 0)
        return Fail(WhyNotOpened(m_path.isEmpty() ? ENOENT : errno));
    struct stat status {};
    if (fstat(decoder.descriptor, &status) != 0)
        return Fail(WhyNotOpened(errno));
    if (const QString reason = WhyNotRegular(status.st_mode); !reason.isEmpty())
        return Fail(reason);
    SF_INFO info{};
    decoder.file = sf_open_fd(decoder.descriptor, SFM_READ, &info, SF_FALSE);
    if (!decoder.file || info.channels < 1)
        return Fail(Undecodable(decoder.file));
    m_sampleRate = info.samplerate;
    m_channels = info.channels;
    return {};
}

std::size_t TSoundFile::Read(std::span<std::int16_t> samples) {
    if (!m_decoder->file)
        return 0;
    const auto frames = static_cast<sf_count_t>(samples.size()) / m_channels;
    return static_cast<std::size_t>(sf_readf_short(m_decoder->file, samples.data(), frames) *
                                    m_channels);
}
