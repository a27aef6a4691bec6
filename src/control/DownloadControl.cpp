#include "control/DownloadControl.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "control/JobKind.h"
#include "engine/files/PartialProgress.h"
#include "model/FileRequestOptions.h"
#include "model/ListChanges.h"
#include "model/ListFiles.h"
#include "model/WebProjectOptions.h"

namespace tarnwick {

namespace {

constexpr const char* kDownloading = "Downloading...";
constexpr const char* kNoErrors = "No errors";
constexpr const char* kStopped = "Stopped";
constexpr const char* kErrorStarting = "Error starting download";
constexpr const char* kQueued = "Queued";

// Calls action with std::type_identity<Record> for the kind shown in the category; nothing
// for the downloaded lists and the search results.
template <typename Action>
void ForKindOf(ListCategory category, Action&& action) {
    switch (category) {
        case ListCategory::RequestedFiles:
            action(std::type_identity<FileEntry>{});
            break;
        case ListCategory::RequestedWebSites:
            action(std::type_identity<WebProject>{});
            break;
        case ListCategory::SearchProjects:
            action(std::type_identity<SearchProject>{});
            break;
        default:
            break;
    }
}

// The FTP procedure is chosen by this exact test anywhere in the URL, letter case included.
const std::function<Outcome(WorkerContext&, FileEntry)>& WorkerFor(const WorkerFunctions& workers,
                                                                   const FileEntry& entry) {
    return entry.url.find("ftp://") != std::string::npos ? workers.ftpDownload
                                                         : workers.fileDownload;
}

const std::function<Outcome(WorkerContext&, WebProject)>& WorkerFor(const WorkerFunctions& workers,
                                                                    const WebProject&) {
    return workers.siteCrawl;
}

const std::function<Outcome(WorkerContext&, SearchProject)>& WorkerFor(
    const WorkerFunctions& workers, const SearchProject&) {
    return workers.searchProject;
}

template <typename Project>
bool IsDueToStart(const Project& project, int hour, int minute) {
    return project.runWhenRequested == 0 && project.startHour == hour &&
           project.startMinute == minute;
}

template <typename Project>
bool IsDueToStop(const Project& project, int hour, int minute) {
    return project.stopWhenRequested == 0 && project.stopHour == hour &&
           project.stopMinute == minute;
}

// The ids of the projects due now, from the head of the list; each is looked up again when its
// turn comes.
template <typename Project, typename IsDue>
std::vector<EntryId> DueProjects(SharedState& state, const EntryList<Project>& list, IsDue isDue,
                                 int hour, int minute) {
    std::vector<EntryId> due;
    std::lock_guard lock(state.mutex);
    for (const auto& [id, project] : list.WithIds()) {
        if (isDue(project, hour, minute)) {
            due.push_back(id);
        }
    }
    return due;
}

}  // namespace

void DownloadControl::PauseForHandOver() {
    std::this_thread::sleep_for(std::chrono::milliseconds{100});
}

DownloadControl::DownloadControl(SharedState& state, std::filesystem::path workingDirectory,
                                 WorkerFunctions workers, std::function<void()> pauseAfterStart,
                                 WorkerThreads::ThreadStarter threadStarter)
    : state_(state),
      workingDirectory_(std::move(workingDirectory)),
      workers_(std::move(workers)),
      pauseAfterStart_(std::move(pauseAfterStart)),
      threads_(std::move(threadStarter)) {
    ApplySettings(LoadSettings(workingDirectory_));
}

void DownloadControl::ShowHeldPartials() {
    std::vector<std::pair<EntryId, std::string>> files;
    {
        std::lock_guard lock(state_.mutex);
        for (const auto& [id, entry] : state_.RequestedFiles.WithIds()) {
            files.emplace_back(id, entry.url);
        }
    }
    const DownloadFolder downloads = DownloadFolder::Of(workingDirectory_, settings_);
    for (const auto& [id, url] : files) {
        if (const std::optional<TransferSnapshot> held = PartialProgress(downloads, url)) {
            state_.ui.EntryChanged(
                EntryChange{ListCategory::RequestedFiles, id, url, std::nullopt, *held, false});
        }
    }
}

void DownloadControl::ApplySettings(const Settings& settings) {
    settings_ = settings;
    slots_.SetCount(settings.maxConcurrent);
    sharedLimit_->SetBytesPerSecond(settings.limitBytesPerSecond);
}

void DownloadControl::StartSelected(ListCategory category, const std::vector<EntryId>& selected) {
    ForKindOf(category, [this, &selected](auto kind) {
        StartOrResume<typename decltype(kind)::type>(selected, true);
    });
}

void DownloadControl::StopSelected(ListCategory category, const std::vector<EntryId>& selected) {
    if (selected.empty()) {
        return;
    }
    ForKindOf(category,
              [this, &selected](auto kind) { Pause<typename decltype(kind)::type>(selected); });
    std::lock_guard lock(state_.mutex);
    state_.BusyAnimationRunning = 0;
}

void DownloadControl::StartTargets(const RunTargets& targets) {
    StartOrResume<FileEntry>(targets.files, false);
    StartOrResume<WebProject>(targets.webProjects, false);
    StartOrResume<SearchProject>(targets.searchProjects, false);
}

TakenOrder DownloadControl::CarryOut(const WorkOrder& order) {
    TakenOrder taken = TakeWorkOrder(state_, order);
    StoreOptions(order, taken);
    if (order.start && taken.unknownNames.empty()) {
        StartTargets(taken.targets);
    }
    return taken;
}

void DownloadControl::StoreOptions(const WorkOrder& order, const TakenOrder& taken) {
    bool stored = true;
    for (const EntryId id : taken.targets.webProjects) {
        const bool made = std::find(taken.newWebProjects.begin(), taken.newWebProjects.end(), id) !=
                          taken.newWebProjects.end();
        if (!made && !order.webOptions.Any()) {
            continue;
        }
        const std::vector<std::string> names =
            RequestedKeys(state_, ListCategory::RequestedWebSites, {id});
        if (names.empty()) {
            continue;
        }
        // A new project starts from the options of a new one, never from one of that name
        // before it; a reused one keeps what the order does not set.
        WebProjectOptions options = made ? NewWebProjectOptions(settings_)
                                         : LoadWebProjectOptions(workingDirectory_, names[0]);
        order.webOptions.ApplyTo(options);
        stored = StoreWebProjectOptions(workingDirectory_, names[0], options) && stored;
    }
    if (!stored) {
        state_.ui.ShowMessage("Error saving the web project options");
    }
    if (order.fileOptions != FileRequestOptions{} &&
        !KeepFileOptions(state_, workingDirectory_,
                         RequestedKeys(state_, ListCategory::RequestedFiles, taken.targets.files),
                         order.fileOptions)) {
        state_.ui.ShowMessage(kFileOptionsNotSaved);
    }
}

template <typename Record>
void DownloadControl::StartOrResume(const std::vector<EntryId>& ids, bool aResumeEnds) {
    for (const EntryId id : ids) {
        const std::optional<Located<Record>> target = Locate<Record>(id);
        if (!target) {
            continue;
        }
        if (!target->gate) {
            StartJob(*target);
            continue;
        }
        ResumeJob(*target);
        if (aResumeEnds) {
            return;  // later rows are not looked at
        }
    }
}

template <typename Record>
void DownloadControl::Pause(const std::vector<EntryId>& ids) {
    for (const EntryId id : ids) {
        const std::optional<Located<Record>> target = Locate<Record>(id);
        if (target && target->gate) {
            SuspendJob(*target);
        }
    }
}

void DownloadControl::OnScheduleTimer(LocalMinute now) {
    for (LocalMinute minute = clock_.FirstDue(now); minute <= now;
         minute += std::chrono::minutes{1}) {
        clock_.MarkExamined(minute);
        if (!RunScheduledMinute(HourOf(minute), MinuteOf(minute))) {
            break;
        }
    }
    // Modified lists reach their files within a minute rather than only at exit.
    SaveAllLists(state_, workingDirectory_);
}

bool DownloadControl::RunScheduledMinute(int hour, int minute) {
    if (!StartDueProjects<WebProject>(hour, minute) ||
        !StartDueProjects<SearchProject>(hour, minute)) {
        return false;
    }
    StopDueProjects<WebProject>(hour, minute);
    StopDueProjects<SearchProject>(hour, minute);
    return true;
}

template <typename Record>
bool DownloadControl::StartDueProjects(int hour, int minute) {
    for (const EntryId id :
         DueProjects(state_, JobKind<Record>::List(state_), IsDueToStart<Record>, hour, minute)) {
        const std::optional<Located<Record>> target = Locate<Record>(id);
        if (!target) {
            continue;
        }
        if (target->gate) {
            ResumeJob(*target);
            return false;
        }
        StartJob(*target);
    }
    return true;
}

template <typename Record>
void DownloadControl::StopDueProjects(int hour, int minute) {
    Pause<Record>(
        DueProjects(state_, JobKind<Record>::List(state_), IsDueToStop<Record>, hour, minute));
}

template <typename Record>
void DownloadControl::StartJob(const Located<Record>& target) {
    using Kind = JobKind<Record>;
    auto gate = std::make_shared<JobGate>();
    bool queued = false;
    if constexpr (std::is_same_v<Record, FileEntry>) {
        queued = !slots_.Reserve(gate);
    }
    {
        std::lock_guard lock(state_.mutex);
        Kind::Slot(state_) = target.entry;
        state_.BusyAnimationRunning = 0;
        // Listed before the thread exists, so that a worker ending at once still finds it.
        Kind::Jobs(state_).Adopt(RunningJob{gate, KeyOf(target.entry), 0}, target.id);
        if constexpr (!std::is_same_v<Record, SearchProject>) {
            state_.FollowedEntry = target.id;
        }
    }
    // Shown before the worker runs, so that its own first reports are not overwritten.
    if constexpr (std::is_same_v<Record, FileEntry>) {
        ShowStatus<Record>(target.id, queued ? kQueued : kDownloading, queued);
        state_.ui.SetCurrentProjectText("None");
        state_.ui.SetLastActionText(target.entry.url);
        state_.ui.SetStatusText(kNoErrors);
    } else if constexpr (std::is_same_v<Record, WebProject>) {
        ShowStatus<Record>(target.id, kDownloading, true);
        state_.ui.SetCurrentProjectText(target.entry.name);
        state_.ui.SetLastActionText("Finding Web Site...");
        state_.ui.SetStatusText(kNoErrors);
    }
    try {
        threads_.Start(gate, WorkerBody(target.entry, target.id, gate, queued));
    } catch (const std::system_error&) {
        if constexpr (std::is_same_v<Record, FileEntry>) {
            slots_.Leave(gate);
        }
        ReportStartFailure(target, gate);
        return;
    }
    pauseAfterStart_();
    if constexpr (std::is_same_v<Record, SearchProject>) {
        Follow(target.id);
    }
}

template <typename Record>
void DownloadControl::ResumeJob(const Located<Record>& target) {
    target.gate->Resume();
    ShowStatus<Record>(target.id, slots_.IsWaiting(target.gate) ? kQueued : kDownloading, false);
    state_.ui.SetCurrentProjectText("None");
    state_.ui.SetLastActionText(KeyOf(target.entry));
    state_.ui.SetStatusText(kNoErrors);
    {
        std::lock_guard lock(state_.mutex);
        state_.FollowedEntry = target.id;
        state_.BusyAnimationRunning = 1;
    }
    state_.ui.PlayBusyAnimation();
}

template <typename Record>
void DownloadControl::SuspendJob(const Located<Record>& target) {
    target.gate->Pause();
    state_.ui.StopBusyAnimation();
    ShowStatus<Record>(target.id, kStopped, true, true);
    state_.ui.SetStatusText("Download Stopped");
}

template <typename Record>
void DownloadControl::ReportStartFailure(const Located<Record>& target,
                                         const std::shared_ptr<JobGate>& gate) {
    RemoveRunningJob(state_, JobKind<Record>::Jobs(state_), target.id, gate);
    ShowStatus<Record>(target.id, kErrorStarting, true);
    state_.ui.SetStatusText(kErrorStarting);
    state_.ui.EntryEnded(ViewOf(JobKind<Record>::category, target.id, target.entry),
                         Outcome{OutcomeKind::Interrupted, kErrorStarting});
}

template <typename Record>
std::function<void()> DownloadControl::WorkerBody(Record entry, EntryId id,
                                                  std::shared_ptr<JobGate> gate, bool queued) {
    auto worker = WorkerFor(workers_, entry);
    const EntryView view = ViewOf(JobKind<Record>::category, id, entry);
    if constexpr (std::is_same_v<Record, FileEntry>) {
        return [this, context = ContextFor(entry, id, gate), worker = std::move(worker),
                entry = std::move(entry), view, queued]() mutable {
            Outcome outcome{OutcomeKind::Interrupted, {}};
            if (!queued || slots_.WaitForTurn(context.gate)) {
                if (queued) {
                    ShowTurnCame(context.entry);
                }
                outcome = worker(context, std::move(entry));
                slots_.Leave(context.gate);
            } else {
                RemoveRunningJob(state_, state_.RunningFileJobs, context.entry, context.gate);
            }
            if (context.gate->IsDiscarded()) {
                DiscardPartialOfEnded(view.key);
            }
            state_.ui.EntryEnded(view, outcome);
        };
    } else {
        return [&state = state_, directory = workingDirectory_, gate = std::move(gate), id,
                worker = std::move(worker), entry = std::move(entry), view,
                userAgent = settings_.userAgent]() mutable {
            WorkerContext context{state, directory, gate, id, {}, {}, {}, userAgent};
            const Outcome outcome = worker(context, std::move(entry));
            state.ui.EntryEnded(view, outcome);
        };
    }
}

WorkerContext DownloadControl::ContextFor(const FileEntry& entry, EntryId id,
                                          std::shared_ptr<JobGate> gate) {
    TransferPolicy policy;
    policy.retries = settings_.retries;
    policy.stallTime = std::chrono::seconds{settings_.stallSeconds};
    policy.sharedLimit = sharedLimit_;
    const FileRequestOptionsFile options = LoadFileRequestOptions(workingDirectory_);
    const auto found = options.find(entry.url);
    return WorkerContext{state_,
                         workingDirectory_,
                         std::move(gate),
                         id,
                         {},
                         std::move(policy),
                         found == options.end() ? FileRequestOptions{} : found->second,
                         settings_.userAgent,
                         DownloadFolder::Of(workingDirectory_, settings_)};
}

void DownloadControl::DiscardPartialOfEnded(const std::string& url) {
    std::lock_guard lock(state_.mutex);
    // A new entry of the same URL, started meanwhile, has taken the partial download over.
    if (state_.RunningFileJobs.FindByName(url) < 0) {
        DiscardPartial(DownloadFolder::Of(workingDirectory_, settings_), url);
    }
}

void DownloadControl::ShowTurnCame(EntryId id) {
    ShowStatus<FileEntry>(id, kDownloading, true);
}

template <typename Record>
std::optional<DownloadControl::Located<Record>> DownloadControl::Locate(EntryId id) {
    std::lock_guard lock(state_.mutex);
    const Record* entry = JobKind<Record>::List(state_).Find(id);
    if (entry == nullptr) {
        return std::nullopt;
    }
    return Located<Record>{*entry, id, GateOf(JobKind<Record>::Jobs(state_), id)};
}

template <typename Record>
void DownloadControl::ShowStatus(EntryId id, const std::string& status, bool keep, bool held) {
    EntryChange change{JobKind<Record>::category, id, {}, status, std::nullopt, held};
    {
        std::lock_guard lock(state_.mutex);
        Record* entry = JobKind<Record>::List(state_).Find(id);
        if (entry == nullptr) {
            return;
        }
        if (keep) {
            entry->status = status;
            FitFields(*entry);
        }
        change.key = KeyOf(*entry);
    }
    state_.ui.EntryChanged(change);
}

void DownloadControl::Follow(EntryId id) {
    std::lock_guard lock(state_.mutex);
    state_.FollowedEntry = id;
}

}  // namespace tarnwick
