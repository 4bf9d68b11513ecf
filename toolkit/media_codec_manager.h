#pragma once
// TMediaCodecManager: which audio files the installed decoders play, and opening one of
// them for the player; the toolkit's face of the sound engine's file types (sound/file_types.h).
#include "toolkit/media_player.h"
#include "toolkit/rtl.h"

#include <memory>

class TMediaCodecManager {
public:
    // The open dialog's filter, in Qt's form ("Audio files (*.wav *.flac);;WAV (*.wav);;..."),
    // listing the file types that have a decoder installed. Worked out once, on first call,
    // so that it costs nothing at start-up. Empty when no audio decoder could be found.
    static UnicodeString GetFilterString();

    // Opens `path` and decodes the start of it, on the calling thread: a moment for a local
    // file. Throws std::runtime_error naming the file when it is not a readable regular file
    // or yields no audio.
    static std::unique_ptr<TMedia> CreateFromFile(const UnicodeString& path);
};
