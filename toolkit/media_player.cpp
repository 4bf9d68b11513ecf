#include "toolkit/media_player.h"

#include "sound/sound_file.h"
#include "sound/sound_output.h"

// A failure reported late may be about a medium since replaced: only one about the medium
// still held drops it.
TMediaPlayer::TMediaPlayer(QObject* Owner)
    : QObject(Owner)
    , m_stream([this](const UnicodeString& fileName, const UnicodeString& reason) {
        if (m_media && m_media->GetFileName() == fileName)
            DropMedium(reason);
    }) {}

// Loading checks the path only: the file is decoded when it is to play.
void TMediaPlayer::SetFileName(const UnicodeString& path) {
    m_fileName = path;
    m_media.reset();
    Stop();
    m_error = WhyNotASoundFile(path);
    if (m_error.isEmpty())
        m_media = std::make_unique<TMedia>(path);
}

// The file is opened and decoded on the stream's thread: a file found unplayable there is
// reported as one that fails while it plays.
void TMediaPlayer::Play() {
    if (!m_media)
        return;
    m_stream.Play(std::make_unique<TSoundFile>(m_media->GetFileName()), m_media->GetFileName(),
                  SoundOutputSink());
}

void TMediaPlayer::Stop() {
    m_stream.Stop();
}

void TMediaPlayer::Clear() {
    m_fileName.clear();
    m_error.clear();
    m_media.reset();
    Stop();
}

void TMediaPlayer::DropMedium(const UnicodeString& reason) {
    m_error = reason;
    m_media.reset();
    Fire(OnError, this);
}
