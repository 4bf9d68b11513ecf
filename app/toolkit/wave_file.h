#pragma once
// Sound the program makes itself (16-bit mono PCM), kept as a WAV file in the temporary folder
// for a TMediaPlayer to play: the media layer plays files, not sample buffers. Each Write makes
// a new file, so a player still reading the old one is not disturbed; a file goes with the
// object or the next Write.
#include "app/toolkit/rtl.h"

#include <QTemporaryFile>
#include <cstdint>
#include <memory>
#include <span>

class TWaveFile {
public:
    // False, with the reason in GetErrorString, when the file could not be written; the file
    // name is then empty.
    bool Write(std::span<const std::int16_t> samples, int sampleRate);
    UnicodeString GetFileName() const { return m_file ? m_file->fileName() : QString(); }
    UnicodeString GetErrorString() const { return m_error; }

private:
    std::unique_ptr<QTemporaryFile> m_file;
    UnicodeString m_error;
};
