#include "app/toolkit/media_player.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace {

// Checked before anything opens the path: only a regular file can be opened without risk
// of blocking (a FIFO waits for a writer, a device may never end).
bool IsPlayableFile(const UnicodeString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && info.isFile() && info.isReadable();
}

QUrl UrlOf(const UnicodeString& path) {
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
}

} // namespace

TMediaPlayer::TMediaPlayer(QObject* Owner)
    : QObject(Owner) {}

TMediaPlayer::~TMediaPlayer() = default;

// The backend is handed the file only when it is to play (see Play), so loading costs the
// user-interface thread nothing here.
void TMediaPlayer::SetFileName(const UnicodeString& path) {
    m_fileName = path;
    m_media.reset();
    Unload();
    if (IsPlayableFile(path))
        m_media = std::make_unique<TMedia>(path);
}

void TMediaPlayer::Play() {
    if (!m_media)
        return;
    if (!IsPlayableFile(m_media->GetFileName())) {
        Unload();
        DropMedium();
        return;
    }
    // A source that sat loaded for a while before play() was heard late and clipped, while
    // one loaded right before play() started on time: so every play loads afresh.
    EnsureBackend();
    m_player->setSource(QUrl());
    m_player->setSource(UrlOf(m_media->GetFileName()));
    m_player->play();
}

TMediaState TMediaPlayer::GetState() const {
    if (!m_media)
        return TMediaState::Unavailable;
    return m_player && m_player->playbackState() == QMediaPlayer::PlayingState
               ? TMediaState::Playing
               : TMediaState::Stopped;
}

void TMediaPlayer::Stop() {
    if (m_player)
        m_player->stop();
}

void TMediaPlayer::Clear() {
    m_fileName.clear();
    m_media.reset();
    Unload();
}

void TMediaPlayer::EnsureBackend() {
    if (m_player)
        return;
    m_player = new QMediaPlayer(this);
    m_output = new QAudioOutput(m_player);
    m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this] { DropUnplayableMedium(); });
}

void TMediaPlayer::Unload() {
    if (m_player)
        m_player->setSource(QUrl());
}

// The backend reports errors later than the load that caused them: only a report about the
// medium still held may drop it.
void TMediaPlayer::DropUnplayableMedium() {
    if (m_media && m_player->source() == UrlOf(m_media->GetFileName()))
        DropMedium();
}

void TMediaPlayer::DropMedium() {
    m_media.reset();
    Fire(OnError, this);
}
