#include "app/toolkit/wave_file.h"

#include <QDataStream>
#include <QDir>

namespace {

constexpr quint32 kHeaderBytes = 36;
constexpr quint16 kBytesPerSample = 2;

QByteArray Wav(std::span<const std::int16_t> samples, int sampleRate) {
    const auto dataBytes = static_cast<quint32>(samples.size() * kBytesPerSample);
    const auto rate = static_cast<quint32>(sampleRate);
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(kHeaderBytes + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * kBytesPerSample)
        << kBytesPerSample << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (const std::int16_t sample : samples)
        out << qint16(sample);
    return wav;
}

} // namespace

bool TWaveFile::Write(std::span<const std::int16_t> samples, int sampleRate) {
    m_file = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/chimewell-XXXXXX.wav");
    const QByteArray wav = Wav(samples, sampleRate);
    if (m_file->open() && m_file->write(wav) == wav.size() && m_file->flush()) {
        m_error.clear();
        return true;
    }
    m_error = QStringLiteral("no temporary file could be written in %1: %2")
                  .arg(QDir::toNativeSeparators(QDir::tempPath()), m_file->errorString());
    m_file.reset();
    return false;
}
