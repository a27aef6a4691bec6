#include "cli/FolderRun.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "cli/ExitCodes.h"
#include "control/DownloadControl.h"
#include "control/JobKind.h"
#include "control/RunOutcome.h"
#include "model/ListFiles.h"
#include "model/Settings.h"

namespace tarnwick {

namespace {

// Ended workers are reported at once; signals and the list saving are looked at this often.
constexpr auto kLookInterval = std::chrono::milliseconds(100);
constexpr auto kSaveInterval = std::chrono::minutes(1);

// A save that leaves a list modified has failed (its message was shown).
bool SaveAll(SharedState& state, const std::filesystem::path& folder) {
    SaveAllLists(state, folder);
    std::lock_guard lock(state.mutex);
    for (ListCategory category : {ListCategory::RequestedFiles, ListCategory::RequestedWebSites,
                                  ListCategory::DownloadedFiles, ListCategory::DownloadedSites,
                                  ListCategory::SearchProjects, ListCategory::SearchResults}) {
        if (WithCategoryList(state, category, [](auto& list) { return list.IsModified(); })) {
            return false;
        }
    }
    return true;
}

// The targets whose worker is no longer in its running-job table.
template <typename Record>
void TakeEnded(SharedState& state, std::vector<std::string>& pending,
               std::vector<std::string>& ended) {
    std::lock_guard lock(state.mutex);
    const RunningJobTable& jobs = JobKind<Record>::Jobs(state);
    std::erase_if(pending, [&](const std::string& key) {
        if (jobs.FindByName(key) >= 0) {
            return false;
        }
        ended.push_back(key);
        return true;
    });
}

class Run {
public:
    Run(const CommandLine& command, TerminalProgress& terminal, StopSignals& stopSignals)
        : command_(command),
          terminal_(terminal),
          stopSignals_(stopSignals),
          control_(state_, command.folder,
                   WorkerFunctions{RunFileDownload, RunFtpDownload, RunSiteCrawl, RunSearchProject},
                   [] {}) {
        terminal_.AttachTo(state_.ui);
        Settings settings = LoadSettings(command.folder);
        settings.maxConcurrent = command.maxConcurrent.value_or(settings.maxConcurrent);
        settings.limitBytesPerSecond =
            command.limitBytesPerSecond.value_or(settings.limitBytesPerSecond);
        control_.ApplySettings(settings);
    }

    int Execute() {
        LoadAllLists(state_, command_.folder);
        if (command_.schedule) {
            return RunSchedule();
        }
        const TakenOrder taken = control_.CarryOut(command_.order);
        for (const std::string& name : taken.unknownNames) {
            terminal_.ShowMessage("no requested entry is named " + name);
        }
        if (!taken.unknownNames.empty()) {
            return kExitUsage;
        }
        pending_ = taken.targets;
        if (!command_.order.start || pending_.Empty()) {
            return SaveAll(state_, command_.folder) ? kExitSuccess : kExitDisk;
        }
        // What was asked for is on disk before the work is done: a run killed halfway leaves
        // its entries requested, for `run` to finish.
        SaveAllLists(state_, command_.folder);
        const int stopped = WaitForWorkers();
        if (stopped != 0) {
            return Stop(stopped);
        }
        control_.Shutdown([] {});
        ReportEnded();
        const int code = ExitCodeOf(outcomes_);
        return SaveAll(state_, command_.folder) ? code : kExitDisk;
    }

private:
    // The signal that ended the wait, 0 when every worker ended.
    int WaitForWorkers() {
        auto lastSave = std::chrono::steady_clock::now();
        while (!control_.Threads().AllWorkersEnded()) {
            control_.Threads().WaitForAnEnd(kLookInterval);
            if (stopSignals_.CaughtWithin(std::chrono::milliseconds::zero())) {
                return stopSignals_.Caught();
            }
            ReportEnded();
            if (std::chrono::steady_clock::now() - lastSave >= kSaveInterval) {
                SaveAllLists(state_, command_.folder);
                lastSave = std::chrono::steady_clock::now();
            }
        }
        return 0;
    }

    void ReportEnded() {
        RunTargets ended;
        TakeEnded<FileEntry>(state_, pending_.files, ended.files);
        TakeEnded<WebProject>(state_, pending_.webProjects, ended.webProjects);
        TakeEnded<SearchProject>(state_, pending_.searchProjects, ended.searchProjects);
        for (EntryOutcome& outcome : OutcomesOf(state_, ended)) {
            terminal_.ShowEnded(outcome.key, outcome.outcome == Outcome::Done, outcome.text);
            outcomes_.push_back(std::move(outcome));
        }
    }

    int RunSchedule() {
        std::optional<LocalMinute> lastTick;
        while (true) {
            const LocalMinute now = LocalMinuteNow();
            if (now != lastTick) {
                control_.OnScheduleTimer(now);  // it saves the lists too
                lastTick = now;
            }
            if (stopSignals_.CaughtWithin(std::chrono::seconds(1))) {
                return Stop(stopSignals_.Caught());
            }
        }
    }

    // As the window's Exit: workers stop, then the lists are saved.
    int Stop(int signal) {
        state_.ui.Close();
        control_.Shutdown([] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); });
        SaveAll(state_, command_.folder);
        return StopSignals::ExitCodeFor(signal);
    }

    const CommandLine& command_;
    TerminalProgress& terminal_;
    StopSignals& stopSignals_;
    SharedState state_;
    DownloadControl control_;
    RunTargets pending_;
    std::vector<EntryOutcome> outcomes_;
};

}  // namespace

int RunInFolder(const CommandLine& command, TerminalProgress& terminal, StopSignals& stopSignals) {
    return Run(command, terminal, stopSignals).Execute();
}

}  // namespace tarnwick
