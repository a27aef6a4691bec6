#include "session/StopSignals.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace tarnwick {
namespace {

bool Readable(int fd, int timeoutMs) {
    pollfd poller{fd, POLLIN, 0};
    return ::poll(&poller, 1, timeoutMs) == 1 && (poller.revents & POLLIN) != 0;
}

// What a forked child reports after acting: its exit code, or 1000 + the signal that killed it.
template <typename Act>
int EndOfChild(Act act) {
    const pid_t child = ::fork();
    if (child == 0) {
        act();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

TEST(StopSignals, EachStopSignalBecomesAByteOnThePipe) {
    StopSignals signals(StopSignals::SecondInterrupt::LikeTheFirst);
    ASSERT_GE(signals.ReadableFd(), 0);
    EXPECT_EQ(signals.Caught(), 0);
    EXPECT_FALSE(Readable(signals.ReadableFd(), 0));
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        ::raise(signal);
        EXPECT_TRUE(Readable(signals.ReadableFd(), 1000));
        EXPECT_EQ(signals.Caught(), signal);
        signals.Drain();
        EXPECT_FALSE(Readable(signals.ReadableFd(), 0));
    }
    EXPECT_EQ(StopSignals::ExitCodeFor(SIGTERM), 143);
}

TEST(StopSignals, ASecondInterruptEndsAtOnceOnlyWhenAskedTo) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "forking under ThreadSanitizer is slow; the address-sanitized build runs it";
#endif
    auto twoInterrupts = [](StopSignals::SecondInterrupt second) {
        return [second] {
            StopSignals signals(second);
            ::raise(SIGINT);
            ::raise(SIGINT);
            ::_exit(signals.Caught() == SIGINT ? 7 : 8);
        };
    };
    EXPECT_EQ(EndOfChild(twoInterrupts(StopSignals::SecondInterrupt::EndsAtOnce)), 130);
    EXPECT_EQ(EndOfChild(twoInterrupts(StopSignals::SecondInterrupt::LikeTheFirst)), 7);
    // Once the object is gone a signal ends the process as it would without Tarnwick.
    EXPECT_EQ(EndOfChild([] {
                  { StopSignals signals(StopSignals::SecondInterrupt::LikeTheFirst); }
                  ::raise(SIGTERM);
              }),
              1000 + SIGTERM);
}

}  // namespace
}  // namespace tarnwick
