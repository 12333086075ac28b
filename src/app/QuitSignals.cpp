#include "app/QuitSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pelto {

namespace {

int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// Until the load has ended, the event loop does not run and nothing would read the
// pipe: a signal then ends the program at once, as if it had no handler. The load
// writes no file, so nothing is left half-written; the instance lock goes with the
// process.
std::atomic<bool> g_eventLoopRuns{false};

extern "C" void onQuitSignal(int sig) {
    if (!g_eventLoopRuns.load()) {
        ::signal(sig, SIG_DFL);
        ::raise(sig);
        return;
    }
    const int saved = errno;
    const char byte = char(sig);
    // Nothing to do if the pipe is full: a quit is already on its way.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    ::fcntl(g_pipe[0], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readPipe);
    struct sigaction sa = {};
    sa.sa_handler = onQuitSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : kSignals)
        ::sigaction(sig, &sa, nullptr);
}

void QuitSignals::loadEnded() {
    g_eventLoopRuns.store(true);
}

QuitSignals::~QuitSignals() {
    g_eventLoopRuns.store(false);
    struct sigaction sa = {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (int sig : kSignals)
        ::sigaction(sig, &sa, nullptr);
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void QuitSignals::readPipe() {
    char buf[16];
    bool any = false;
    while (::read(g_pipe[0], buf, sizeof buf) > 0)
        any = true;
    if (any)
        emit quitRequested();
}

} // namespace pelto
