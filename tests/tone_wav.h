#pragma once
// A test tone written as a WAV file with Qt alone: 440 Hz, 16-bit mono PCM.
#include <QDataStream>
#include <QFile>
#include <cmath>
#include <numbers>

inline bool WriteToneWav(const QString& path, double seconds) {
    constexpr quint32 rate = 44100;
    const auto samples = static_cast<quint32>(seconds * rate);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream wav(&file);
    wav.setByteOrder(QDataStream::LittleEndian);
    wav.writeRawData("RIFF", 4);
    wav << quint32(36 + samples * 2);
    wav.writeRawData("WAVEfmt ", 8);
    wav << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2)
        << quint16(16);
    wav.writeRawData("data", 4);
    wav << quint32(samples * 2);
    for (quint32 i = 0; i < samples; ++i)
        wav << qint16(std::lround(12000 * std::sin(2 * std::numbers::pi * 440 * i / rate)));
    return wav.status() == QDataStream::Ok;
}
