#pragma once
// TMediaPlayer: plays one audio file, on the sound output of the operator's choice. Files are
// decoded by libsndfile and played on the sound server from a thread of the player's own,
// started when it is first prepared or played; a path that is not a regular file is never
// opened (a FIFO or a device could block).
#include "sound/sound_stream.h"
#include "toolkit/events.h"
#include "toolkit/rtl.h"

#include <QObject>
#include <memory>

// What a loaded player holds; a null TMedia* means nothing could be loaded.
class TMedia {
public:
    explicit TMedia(UnicodeString fileName)
        : m_fileName(std::move(fileName)) {}
    const UnicodeString& GetFileName() const { return m_fileName; }

private:
    UnicodeString m_fileName;
};

class TMediaPlayer : public QObject {
public:
    explicit TMediaPlayer(QObject* Owner);

    void SetFileName(const UnicodeString& path);
    UnicodeString GetFileName() const { return m_fileName; }
    TMedia* GetMedia() const { return m_media.get(); }
    // Why the last file given could not be loaded or played; empty while nothing failed.
    UnicodeString GetErrorString() const { return m_error; }
    void Play();
    void Stop();
    void Clear();
    // Starts the player's thread now rather than at the first Play, which it would make
    // late; best called while the event loop has nothing else to do.
    void Prepare() { m_stream.Prepare(); }

    // The medium proved unplayable and was dropped. This may come after Play has returned,
    // when the sound output fails while it plays.
    TNotifyEvent OnError;

private:
    void DropMedium(const UnicodeString& reason);

    UnicodeString m_fileName;
    UnicodeString m_error;
    std::unique_ptr<TMedia> m_media;
    TSoundStream m_stream;
};
