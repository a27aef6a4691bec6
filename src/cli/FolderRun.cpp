#include "cli/FolderRun.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "cli/ExitCodes.h"
#include "control/DownloadControl.h"
#include "model/ListFiles.h"
#include "model/Settings.h"

namespace tarnwick {

namespace {

// Signals and the list saving are looked at this often while the entries run.
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

// The outcomes of the entries a run waits for, as their jobs end.
class EndingsOfTargets final : public EntryEvents {
public:
    explicit EndingsOfTargets(const RunTargets& targets) {
        for (const auto* ids : {&targets.files, &targets.webProjects, &targets.searchProjects}) {
            waiting_.insert(ids->begin(), ids->end());
        }
    }

    void EntryEnded(const EntryView& entry, const Outcome& outcome) override {
        {
            std::lock_guard lock(mutex_);
            if (waiting_.erase(entry.id) == 0) {
                return;
            }
            outcomes_.push_back(outcome);
        }
        ended_.notify_all();
    }

    // True once every target has ended; waits at most limit for that.
    bool WaitForAll(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return ended_.wait_for(lock, limit, [this] { return waiting_.empty(); });
    }

    std::vector<Outcome> Outcomes() {
        std::lock_guard lock(mutex_);
        return outcomes_;
    }

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    std::set<EntryId> waiting_;
    std::vector<Outcome> outcomes_;
};

class Run {
public:
    Run(const CommandLine& command, TerminalProgress& terminal, StopSignals& stopSignals)
        : command_(command),
          terminal_(terminal),
          stopSignals_(stopSignals),
          control_(state_, command.folder, RealWorkers(), [] {}) {
        terminal_.AttachTo(state_.ui);
        Settings settings = LoadSettings(command.folder);
        settings.maxConcurrent = command.maxConcurrent.value_or(settings.maxConcurrent);
        settings.limitBytesPerSecond =
            command.limitBytesPerSecond.value_or(settings.limitBytesPerSecond);
        control_.ApplySettings(settings);
    }

    ~Run() {
        terminal_.DetachFrom(state_.ui);
        if (endings_) {
            state_.ui.Unsubscribe(endings_.get());
        }
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    int Execute() {
        LoadAllLists(state_, command_.folder);
        if (command_.schedule) {
            return RunSchedule();
        }
        // Taken before the order is carried out, so the endings of its entries are all heard.
        const TakenOrder taken = TakeOrder();
        for (const std::string& name : taken.unknownNames) {
            terminal_.ShowMessage("no requested entry is named " + name);
        }
        if (!taken.unknownNames.empty()) {
            return kExitUsage;
        }
        if (!command_.order.start || taken.targets.Empty()) {
            return SaveAll(state_, command_.folder) ? kExitSuccess : kExitDisk;
        }
        // What was asked for is on disk before the work is done: a run killed halfway leaves
        // its entries requested, for `run` to finish.
        SaveAllLists(state_, command_.folder);
        const int stopped = WaitForEndings();
        if (stopped != 0) {
            return Stop(stopped);
        }
        control_.Shutdown([] {});
        const int code = ExitCodeOf(endings_->Outcomes());
        return SaveAll(state_, command_.folder) ? code : kExitDisk;
    }

private:
    // The order's entries are added, then the run starts listening for their endings before
    // any of them starts.
    TakenOrder TakeOrder() {
        WorkOrder addOnly = command_.order;
        addOnly.start = false;
        TakenOrder taken = control_.CarryOut(addOnly);
        endings_ = std::make_unique<EndingsOfTargets>(taken.targets);
        state_.ui.Subscribe(endings_.get());
        if (command_.order.start && taken.unknownNames.empty()) {
            control_.StartTargets(taken.targets);
        }
        return taken;
    }

    // The signal that ended the wait, 0 when every target ended.
    int WaitForEndings() {
        auto lastSave = std::chrono::steady_clock::now();
        while (!endings_->WaitForAll(kLookInterval)) {
            if (stopSignals_.CaughtWithin(std::chrono::milliseconds::zero())) {
                return stopSignals_.Caught();
            }
            if (std::chrono::steady_clock::now() - lastSave >= kSaveInterval) {
                SaveAllLists(state_, command_.folder);
                lastSave = std::chrono::steady_clock::now();
            }
        }
        return 0;
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
    std::unique_ptr<EndingsOfTargets> endings_;
    // After endings_: its destructor joins the workers, which may still tell of endings.
    DownloadControl control_;
};

}  // namespace

int RunInFolder(const CommandLine& command, TerminalProgress& terminal, StopSignals& stopSignals) {
    return Run(command, terminal, stopSignals).Execute();
}

}  // namespace tarnwick
