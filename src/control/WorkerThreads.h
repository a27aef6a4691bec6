#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "model/JobGate.h"

namespace tarnwick {

// Owns the worker threads: one per started entry, each with the gate that pauses, resumes
// and cancels it. Used from the interface thread only; the workers themselves never see it.
class WorkerThreads {
public:
    // Creates a thread running the body; throws std::system_error when it cannot.
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;
    static std::thread StartStdThread(std::function<void()> body);

    explicit WorkerThreads(ThreadStarter starter = StartStdThread);
    // Cancels and joins whatever still runs; the program calls Shutdown before this.
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Runs the body on a new thread; throws std::system_error when no thread can be created.
    void Start(std::shared_ptr<JobGate> gate, std::function<void()> body);

    // Cancels every gate, paused ones included; waits for nothing.
    void CancelAll();
    // True when every worker has returned from its body; never blocks.
    bool AllWorkersEnded() const;
    void JoinAll();
    // Waits until a worker ends, at most for limit; true when one has ended since the last
    // wait (or since the first start), so a waiter never sleeps through an ending.
    bool WaitForAnEnd(std::chrono::milliseconds limit);
    // Cancels all, then calls whileWaiting until every worker has ended, then joins them.
    // The interface passes "process events for a moment", so that a worker waiting for the
    // interface thread inside a blocking call can finish instead of deadlocking the join.
    void Shutdown(const std::function<void()>& whileWaiting);

    // Threads not yet joined (finished ones are joined at the next Start).
    std::size_t ThreadCount() const { return workers_.size(); }

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<JobGate> gate;
        std::shared_ptr<std::atomic<bool>> ended;
    };

    // Joins the threads whose body has returned, so a long session does not pile them up.
    void JoinEnded();

    ThreadStarter starter_;
    std::vector<Worker> workers_;
    std::mutex endingsMutex_;
    std::condition_variable workerEnded_;
    std::uint64_t endings_ = 0;      // workers ended so far
    std::uint64_t endingsSeen_ = 0;  // as WaitForAnEnd last reported them
};

}  // namespace tarnwick
