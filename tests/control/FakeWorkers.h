#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "control/WorkerFunctions.h"
#include "model/SharedState.h"

namespace tarnwick::testing {

// Stand-ins for the four thread procedures. Each records what it was started with, then
// waits in small steps while its gate lets it, until the test finishes it (done) or the gate
// is cancelled (interrupted); on the way out it removes its running job, as the real workers
// do.
class FakeWorkers {
public:
    struct Start {
        std::string procedure;  // "file", "ftp", "site" or "search"
        std::string key;
    };
    // Runs as the worker's first step; returning false ends the worker at once.
    using FirstStep = std::function<bool(WorkerContext&, const std::string& key)>;

    explicit FakeWorkers(SharedState& state) : state_(state) {}

    WorkerFunctions Functions();
    void SetFirstStep(FirstStep step);

    // Lets the next worker of this key that looks end its work.
    void Finish(const std::string& key);
    std::vector<Start> Starts() const;
    std::vector<std::string> StartedKeys() const;
    // Each waits, up to a deadline, until this many workers have started or ended.
    bool WaitForStarts(int count) const;
    bool WaitForEnded(int count) const;

private:
    Outcome Run(WorkerContext& context, const std::string& procedure, RunningJobTable& jobs,
                const std::string& key);

    SharedState& state_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    FirstStep firstStep_;
    std::vector<Start> starts_;
    std::vector<std::string> finished_;
    int ended_ = 0;
};

}  // namespace tarnwick::testing
