#pragma once
// Which audio files the installed decoder (libsndfile) plays, and whether one file does.
#include <QString>

// The open dialog's filter in Qt's form ("Audio files (*.wav *.flac);;WAV (*.wav);;..."),
// listing the file types that libsndfile was built to decode; empty when it decodes none.
// Worked out once, on first call, so that it costs nothing at start-up.
QString AudioFileFilter();

// Why `path` yields no audio, in words that fit in a sentence ("there is no such file"...);
// empty when it does. The file is opened and the start of it decoded, on the calling thread:
// a moment for a local file.
QString WhyNoAudio(const QString& path);
