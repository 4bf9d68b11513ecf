#pragma once
// Files that tests set up and read back: whole contents, and a tone as a WAV file.
#include <QFile>
#include <QProcess>

// Empty when the file cannot be read.
inline QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether all of `bytes` was written.
inline bool Store(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// 440 Hz, 16-bit mono PCM, made by sox.
inline bool MakeTone(const QString& path, double seconds) {
    return QProcess::execute("sox", {"-n", "-r", "44100", "-c", "1", "-b", "16", path, "synth",
                                     QString::number(seconds), "sine", "440"}) == 0;
}
