#pragma once
// TMediaPlayer: plays one audio file, on the sound output of the operator's choice. The Qt
// media backend is created when a file is given or the owner prepares it, never at start-up,
// and a path that is not a regular file is never handed to it (opening a FIFO or a device could
// block the user-interface thread).
#include "app/toolkit/events.h"
#include "app/toolkit/rtl.h"

#include <QObject>
#include <memory>

class QMediaPlayer;
class QAudioOutput;
class QTimer;

enum class TMediaState { Unavailable, Playing, Stopped };

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
    ~TMediaPlayer() override;

    void SetFileName(const UnicodeString& path);
    UnicodeString GetFileName() const { return m_fileName; }
    TMedia* GetMedia() const { return m_media.get(); }
    // Why the last file given could not be loaded or played; empty while nothing failed.
    UnicodeString GetErrorString() const { return m_error; }
    // Unavailable without a medium; Stopped also once the medium has played to its end.
    TMediaState GetState() const;
    void Play();
    void Stop();
    void Clear();
    // Loads the media backend now rather than at the first Play, which it would make a
    // quarter of a second late; best called while the event loop has nothing else to do.
    void Prepare() { EnsureBackend(); }

    // The medium proved unplayable (an error, or no start within 2 s) and was dropped; this
    // comes some time after the load, so it may come after SetFileName or Play has returned.
    TNotifyEvent OnError;

private:
    void EnsureBackend();
    void Unload();
    void DropUnplayableMedium(const UnicodeString& reason);
    void DropMedium(const UnicodeString& reason);

    UnicodeString m_fileName;
    UnicodeString m_error;
    std::unique_ptr<TMedia> m_media;
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_output = nullptr;
    QTimer* m_startWatch = nullptr;
};
