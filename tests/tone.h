#pragma once
// A test tone as a WAV file: 440 Hz, 16-bit mono PCM, made by sox.
#include <QProcess>

inline bool MakeTone(const QString& path, double seconds) {
    return QProcess::execute("sox", {"-n", "-r", "44100", "-c", "1", "-b", "16", path, "synth",
                                     QString::number(seconds), "sine", "440"}) == 0;
}
