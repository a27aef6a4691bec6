#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "control/WorkerThreads.h"
#include "model/JobGate.h"

namespace tarnwick {
namespace {

using namespace std::chrono_literals;

// A worker that keeps going until its gate is cancelled.
std::function<void()> UntilCancelled(const std::shared_ptr<JobGate>& gate,
                                     std::atomic<int>& ended) {
    return [gate, &ended] {
        while (gate->WaitWhilePaused()) {
            std::this_thread::sleep_for(1ms);
        }
        ++ended;
    };
}

template <typename Condition>
bool PollUntil(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(WorkerThreads, ShutdownCancelsRunningAndPausedWorkersAndJoinsThem) {
    std::atomic<int> ended{0};
    WorkerThreads threads;
    for (int i = 0; i < 20; ++i) {
        auto gate = std::make_shared<JobGate>();
        if (i % 2 == 0) {
            gate->Pause();
        }
        threads.Start(gate, UntilCancelled(gate, ended));
    }
    EXPECT_FALSE(threads.AllWorkersEnded());

    int waits = 0;
    threads.Shutdown([&waits] {
        ++waits;
        std::this_thread::sleep_for(1ms);
    });

    EXPECT_EQ(ended.load(), 20);
    EXPECT_GT(waits, 0);
    EXPECT_EQ(threads.ThreadCount(), 0u);
}

TEST(WorkerThreads, ShutdownKeepsTheInterfaceTurningUntilWorkersLeaveItsCalls) {
    // The worker, once cancelled, waits for the interface thread as a blocking call would.
    std::atomic<bool> interfaceTurned{false};
    std::atomic<bool> served{false};
    auto gate = std::make_shared<JobGate>();
    WorkerThreads threads;
    threads.Start(gate, [gate, &interfaceTurned, &served] {
        while (gate->WaitWhilePaused()) {
            std::this_thread::sleep_for(1ms);
        }
        served = PollUntil([&] { return interfaceTurned.load(); });
    });

    threads.Shutdown([&interfaceTurned] {
        interfaceTurned = true;
        std::this_thread::sleep_for(1ms);
    });

    EXPECT_TRUE(served.load());
}

TEST(WorkerThreads, EndedThreadsAreJoinedAtTheNextStartAndRunningOnesKept) {
    std::atomic<int> ended{0};
    WorkerThreads threads;
    for (int i = 0; i < 3; ++i) {
        threads.Start(std::make_shared<JobGate>(), [] {});
    }
    ASSERT_TRUE(PollUntil([&] { return threads.AllWorkersEnded(); }));

    auto runningGate = std::make_shared<JobGate>();
    threads.Start(runningGate, UntilCancelled(runningGate, ended));
    EXPECT_EQ(threads.ThreadCount(), 1u);
    threads.Start(std::make_shared<JobGate>(), [] {});
    EXPECT_EQ(threads.ThreadCount(), 2u);

    threads.Shutdown([] { std::this_thread::sleep_for(1ms); });
    EXPECT_EQ(ended.load(), 1);
}

TEST(WorkerThreads, AWaitForAnEndWakesWhenAWorkerEndsAndOnlyThen) {
    std::atomic<int> ended{0};
    WorkerThreads threads;
    auto gate = std::make_shared<JobGate>();
    threads.Start(gate, UntilCancelled(gate, ended));
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(threads.WaitForAnEnd(50ms));
    EXPECT_GE(std::chrono::steady_clock::now() - before, 50ms);

    std::thread canceller([gate] {
        std::this_thread::sleep_for(20ms);
        gate->Cancel();
    });
    EXPECT_TRUE(threads.WaitForAnEnd(60s));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 30s);
    EXPECT_EQ(ended.load(), 1);
    canceller.join();
    // An ending already reported does not wake the next wait.
    EXPECT_FALSE(threads.WaitForAnEnd(1ms));
}

}  // namespace
}  // namespace tarnwick
