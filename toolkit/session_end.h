#pragma once
// The desktop ending the session: SIGTERM (a shutdown or a logout), SIGHUP (a closed terminal)
// and SIGINT (Ctrl+C) are taken on the event loop, through a self-pipe, and handed there to one
// action; a second one before the process has ended ends it at once.
#include <QObject>
#include <functional>

class TSessionEnd : public QObject {
public:
    explicit TSessionEnd(std::function<void()> onEnd);
    ~TSessionEnd() override;
    TSessionEnd(const TSessionEnd&) = delete;
    TSessionEnd& operator=(const TSessionEnd&) = delete;

private:
    void Received();

    std::function<void()> m_onEnd;
};
