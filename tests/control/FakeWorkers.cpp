#include "FakeWorkers.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace tarnwick::testing {

namespace {

constexpr std::chrono::seconds kPatience{10};

}  // namespace

WorkerFunctions FakeWorkers::Functions() {
    return WorkerFunctions{
        [this](WorkerContext& context, FileEntry entry) {
            return Run(context, "file", state_.RunningFileJobs, entry.url);
        },
        [this](WorkerContext& context, FileEntry entry) {
            return Run(context, "ftp", state_.RunningFileJobs, entry.url);
        },
        [this](WorkerContext& context, WebProject project) {
            return Run(context, "site", state_.RunningSiteJobs, project.name);
        },
        [this](WorkerContext& context, SearchProject project) {
            return Run(context, "search", state_.RunningSearchJobs, project.name);
        },
    };
}

void FakeWorkers::SetFirstStep(FirstStep step) {
    std::lock_guard lock(mutex_);
    firstStep_ = std::move(step);
}

Outcome FakeWorkers::Run(WorkerContext& context, const std::string& procedure,
                         RunningJobTable& jobs, const std::string& key) {
    FirstStep firstStep;
    {
        std::lock_guard lock(mutex_);
        starts_.push_back(Start{procedure, key});
        firstStep = firstStep_;
    }
    changed_.notify_all();
    Outcome outcome{OutcomeKind::Interrupted, {}};
    if (!firstStep || firstStep(context, key)) {
        while (context.gate->WaitWhilePaused()) {
            {
                std::lock_guard lock(mutex_);
                const auto finish = std::find(finished_.begin(), finished_.end(), key);
                if (finish != finished_.end()) {
                    finished_.erase(finish);
                    outcome = Outcome::Done();
                    break;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds{1});
        }
    }
    RemoveRunningJob(state_, jobs, context.entry, context.gate);
    {
        std::lock_guard lock(mutex_);
        ++ended_;
    }
    changed_.notify_all();
    return outcome;
}

void FakeWorkers::Finish(const std::string& key) {
    std::lock_guard lock(mutex_);
    finished_.push_back(key);
}

std::vector<FakeWorkers::Start> FakeWorkers::Starts() const {
    std::lock_guard lock(mutex_);
    return starts_;
}

std::vector<std::string> FakeWorkers::StartedKeys() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> keys;
    for (const Start& start : starts_) {
        keys.push_back(start.key);
    }
    return keys;
}

bool FakeWorkers::WaitForStarts(int count) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience,
                             [&] { return static_cast<int>(starts_.size()) >= count; });
}

bool FakeWorkers::WaitForEnded(int count) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [&] { return ended_ >= count; });
}

}  // namespace tarnwick::testing
