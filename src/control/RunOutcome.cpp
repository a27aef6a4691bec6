#include "control/RunOutcome.h"

#include "control/JobKind.h"

namespace tarnwick {

namespace {

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

template <typename Record>
EntryOutcome OutcomeOfEntry(SharedState& state, const std::string& key,
                            const EntryList<Record>& finishedList) {
    const EntryList<Record>& requested = JobKind<Record>::List(state);
    const Record* stillRequested = requested.GetAt(requested.FindByName(key));
    if (stillRequested == nullptr && finishedList.FindByName(key) >= 0) {
        return {key, Outcome::Done, "Success"};
    }
    const std::string status = stillRequested != nullptr ? stillRequested->status : "Deleted";
    return {key, OutcomeOfFailure(status), status};
}

}  // namespace

Outcome OutcomeOfFailure(const std::string& status) {
    if (Contains(status, "Error creating ") || Contains(status, "Error writing ")) {
        return Outcome::DiskFailed;
    }
    // libcurl's words for an error status, and the FTP server's for a missing file.
    if (Contains(status, "returned error") || Contains(status, "Error finding file") ||
        Contains(status, "RETR response: 550") || Contains(status, "Access denied")) {
        return Outcome::ServerRefused;
    }
    return Outcome::NetworkFailed;
}

std::vector<EntryOutcome> OutcomesOf(SharedState& state, const RunTargets& targets) {
    std::vector<EntryOutcome> outcomes;
    std::lock_guard lock(state.mutex);
    for (const std::string& key : targets.files) {
        outcomes.push_back(OutcomeOfEntry(state, key, state.DownloadedFiles));
    }
    for (const std::string& key : targets.webProjects) {
        outcomes.push_back(OutcomeOfEntry(state, key, state.DownloadedSites));
    }
    for (const std::string& key : targets.searchProjects) {
        const SearchProject* project =
            state.SearchProjects.GetAt(state.SearchProjects.FindByName(key));
        if (project == nullptr) {
            outcomes.push_back({key, Outcome::NetworkFailed, "Deleted"});
        } else if (state.searchesUnanswered.contains(key)) {
            outcomes.push_back({key, Outcome::NetworkFailed, "No search engine answered"});
        } else {
            outcomes.push_back({key, Outcome::Done, "Search ended"});
        }
    }
    return outcomes;
}

}  // namespace tarnwick
