#include "app/toolkit/media_player.h"

#include "app/toolkit/media_backend_tuning.h"
#include "app/toolkit/sound_output.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kStartTimeoutMs = 2000;

// Checked before anything opens the path: only a regular file can be opened without risk
// of blocking (a FIFO waits for a writer, a device may never end). Empty when it can be.
UnicodeString WhyNotPlayable(const UnicodeString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QStringLiteral("no such file");
    if (!info.isFile())
        return QStringLiteral("not a regular file");
    return info.isReadable() ? QString() : QStringLiteral("not readable");
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
    m_error = WhyNotPlayable(path);
    if (!m_error.isEmpty())
        return;
    m_media = std::make_unique<TMedia>(path);
    // A file chosen is soon played: the backend loads as soon as this event is done.
    QTimer::singleShot(0, this, &TMediaPlayer::Prepare);
}

void TMediaPlayer::Play() {
    if (!m_media)
        return;
    if (const UnicodeString reason = WhyNotPlayable(m_media->GetFileName()); !reason.isEmpty()) {
        Unload();
        DropMedium(reason);
        return;
    }
    // A source that sat loaded for a while before play() was heard late and clipped, while
    // one loaded right before play() started on time: so every play loads afresh.
    EnsureBackend();
    m_output->setDevice(SoundOutputDevice());
    m_player->setSource(QUrl());
    m_player->setSource(UrlOf(m_media->GetFileName()));
    m_player->play();
    m_startWatch->start(kStartTimeoutMs);
}

TMediaState TMediaPlayer::GetState() const {
    if (!m_media)
        return TMediaState::Unavailable;
    return m_player && m_player->playbackState() == QMediaPlayer::PlayingState
               ? TMediaState::Playing
               : TMediaState::Stopped;
}

void TMediaPlayer::Stop() {
    if (!m_player)
        return;
    m_startWatch->stop();
    m_player->stop();
}

void TMediaPlayer::Clear() {
    m_fileName.clear();
    m_error.clear();
    m_media.reset();
    Unload();
}

void TMediaPlayer::EnsureBackend() {
    if (m_player)
        return;
    TuneMediaBackend();
    m_player = new QMediaPlayer(this);
    m_output = new QAudioOutput(m_player);
    m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::errorOccurred, this,
            [this] { DropUnplayableMedium(m_player->errorString()); });
    // Some files hold the backend for seconds and then end without a sound (a WAV padded
    // with zeros): one that has not started by then counts as unplayable. It is left to end
    // by itself, since unloading it now would block this thread.
    m_startWatch = new QTimer(this);
    m_startWatch->setSingleShot(true);
    connect(m_startWatch, &QTimer::timeout, this, [this] {
        DropUnplayableMedium(
            QStringLiteral("it did not start within %1 s").arg(kStartTimeoutMs / 1000));
    });
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::BufferedMedia)
                    m_startWatch->stop();
            });
}

void TMediaPlayer::Unload() {
    if (!m_player)
        return;
    m_startWatch->stop();
    m_player->setSource(QUrl());
}

// The backend reports errors later than the load that caused them: only a report about the
// medium still held may drop it.
void TMediaPlayer::DropUnplayableMedium(const UnicodeString& reason) {
    if (m_media && m_player->source() == UrlOf(m_media->GetFileName()))
        DropMedium(reason);
}

void TMediaPlayer::DropMedium(const UnicodeString& reason) {
    m_error = reason;
    m_media.reset();
    Fire(OnError, this);
}
