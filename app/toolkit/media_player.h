#pragma once
// TMediaPlayer: plays one audio file. The Qt media backend is created on first use, never
// at start-up, and a path that is not a regular file is never handed to it (opening a FIFO
// or a device could block the user-interface thread).
#include "app/toolkit/events.h"
#include "app/toolkit/rtl.h"

#include <QObject>
#include <memory>

class QMediaPlayer;
class QAudioOutput;

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
    // Unavailable without a medium; Stopped also once the medium has played to its end.
    TMediaState GetState() const;
    void Play();
    void Stop();
    void Clear();

    // The medium proved unplayable and was dropped; the backend tells so some time after
    // the load, so this may come after SetFileName or Play has returned.
    TNotifyEvent OnError;

private:
    void EnsureBackend();
    void Unload();
    void DropUnplayableMedium();
    void DropMedium();

    UnicodeString m_fileName;
    std::unique_ptr<TMedia> m_media;
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_output = nullptr;
};
