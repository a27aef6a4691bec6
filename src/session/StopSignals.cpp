#include "session/StopSignals.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

namespace tarnwick {

namespace {

// A signal handler can reach only globals; these belong to the one StopSignals object.
int g_pipe[2] = {-1, -1};
std::atomic<int> g_caught{0};
std::atomic<int> g_interrupts{0};
std::atomic<bool> g_secondEndsAtOnce{false};

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void OnStopSignal(int signal) {
    const int savedErrno = errno;
    g_caught.store(signal);
    if (signal == SIGINT && g_interrupts.fetch_add(1) >= 1 && g_secondEndsAtOnce.load()) {
        ::_exit(StopSignals::ExitCodeFor(SIGINT));
    }
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t ignored = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

StopSignals::StopSignals(SecondInterrupt second) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;  // without a pipe the default handlers stay: the program still ends
    }
    g_caught = 0;
    g_interrupts = 0;
    g_secondEndsAtOnce = second == SecondInterrupt::EndsAtOnce;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

StopSignals::~StopSignals() {
    for (int signal : kSignals) {
        std::signal(signal, SIG_DFL);
    }
    for (int& fd : g_pipe) {
        if (fd >= 0) {
            ::close(fd);
        }
        fd = -1;
    }
}

int StopSignals::ReadableFd() const {
    return g_pipe[0];
}

void StopSignals::Drain() {
    char bytes[64];
    while (g_pipe[0] >= 0 && ::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
}

int StopSignals::Caught() const {
    return g_caught.load();
}

bool StopSignals::CaughtWithin(std::chrono::milliseconds wait) const {
    pollfd watched{g_pipe[0], POLLIN, 0};
    if (watched.fd < 0) {
        std::this_thread::sleep_for(wait);  // the default handlers end the program instead
        return false;
    }
    return ::poll(&watched, 1, static_cast<int>(wait.count())) > 0 && Caught() != 0;
}

}  // namespace tarnwick
