#include "control/FinishedEntries.h"

#include <algorithm>

namespace tarnwick {

namespace {

std::vector<std::string> KeysOf(const RunningJobTable& jobs) {
    std::vector<std::string> keys;
    for (int index = 0; index < jobs.GetCount(); ++index) {
        keys.push_back(jobs.GetAt(index)->name);
    }
    return keys;
}

std::vector<std::string> Gone(const std::vector<std::string>& before,
                              const std::vector<std::string>& now) {
    std::vector<std::string> gone;
    for (const std::string& key : before) {
        if (std::find(now.begin(), now.end(), key) == now.end()) {
            gone.push_back(key);
        }
    }
    return gone;
}

}  // namespace

std::vector<EntryOutcome> FinishedEntries::Poll(SharedState& state) {
    RunTargets now;
    std::vector<EntryOutcome> outcomes;
    {
        std::lock_guard lock(state.mutex);
        now.files = KeysOf(state.RunningFileJobs);
        now.webProjects = KeysOf(state.RunningSiteJobs);
        const auto arrivals = [this, &outcomes](const auto& list, int& seen) {
            // Fewer than before: the lists were emptied, and counting starts over.
            seen = std::min(seen, list.GetCount());
            for (; seen < list.GetCount(); ++seen) {
                if (primed_) {
                    outcomes.push_back({KeyOf(*list.GetAt(seen)), Outcome::Done, "Success"});
                }
            }
        };
        arrivals(state.DownloadedFiles, downloadedFiles_);
        arrivals(state.DownloadedSites, downloadedSites_);
    }
    RunTargets ended;
    ended.files = Gone(running_.files, now.files);
    ended.webProjects = Gone(running_.webProjects, now.webProjects);
    running_ = std::move(now);
    primed_ = true;
    if (!ended.Empty()) {
        for (EntryOutcome& outcome : OutcomesOf(state, ended)) {
            if (outcome.outcome != Outcome::Done) {  // a completion was counted above
                outcomes.push_back(std::move(outcome));
            }
        }
    }
    return outcomes;
}

}  // namespace tarnwick
