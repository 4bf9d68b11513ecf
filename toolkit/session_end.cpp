#include "toolkit/session_end.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSessionSignals[] = {SIGTERM, SIGHUP, SIGINT};

int s_pipe[2] = {-1, -1};
volatile std::sig_atomic_t s_received = 0;

// Only what a signal handler may do: a flag, one byte into the pipe, or the end. The program
// always ends with status 0.
void OnSignal(int) {
    if (s_received)
        _exit(0);
    s_received = 1;
    const char byte = 0;
    if (write(s_pipe[1], &byte, 1) < 0)
        _exit(0);
}

void Handle(void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSessionSignals)
        sigaction(signal, &action, nullptr);
}

} // namespace

TSessionEnd::TSessionEnd(std::function<void()> onEnd)
    : m_onEnd(std::move(onEnd)) {
    if (pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TSessionEnd::Received);
    Handle(OnSignal);
}

TSessionEnd::~TSessionEnd() {
    Handle(SIG_DFL);
    for (int& end : s_pipe) {
        if (end >= 0)
            close(end);
        end = -1;
    }
}

void TSessionEnd::Received() {
    char byte = 0;
    while (read(s_pipe[0], &byte, 1) > 0) {
    }
    m_onEnd();
}
