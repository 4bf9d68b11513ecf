#pragma once
// TSystemSound: the desktop's system sound. The sound theme's bell through libcanberra, rung on a
// thread of its own without waiting; a short built-in tone through a sound stream when the bell
// cannot sound; the caller's last resort when the tone cannot either.
//
// The bell's thread touches only the bell, which its jobs own with this object, and the way
// back, through which a failed bell asks this object for the tone while it lives.
#include "sound/sound_stream.h"
#include "sound/worker_thread.h"

#include <QByteArray>
#include <QObject>
#include <functional>
#include <memory>

class TSystemSound : public QObject {
public:
    explicit TSystemSound(std::function<void()> lastResort);
    ~TSystemSound() override;

    // Rings on the sound server's sink named `sink` (empty: its default); returns at once.
    void Beep(const QByteArray& sink);
    // Connects to the sound server now, off this thread, so that the first Beep sounds at once.
    void Prepare();

private:
    class Bell;
    void PlayTone();

    const std::shared_ptr<TWayBack> m_wayBack;
    const std::shared_ptr<Bell> m_bell;
    QByteArray m_sink; // of the latest Beep, for the tone that stands in for it
    TSoundStream m_tone;
    TWorkerThread m_thread{"system sound"}; // last, so that it is let go first
};
