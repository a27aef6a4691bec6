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
const std::function<int(WorkerContext&, FileEntry)>& WorkerFor(const WorkerFunctions& workers,
                                                               const FileEntry& entry) {
    return entry.url.find("ftp://") != std::string::npos ? workers.ftpDownload
                                                         : workers.fileDownload;
}

const std::function<int(WorkerContext&, WebProject)>& WorkerFor(const WorkerFunctions& workers,
                                                                const WebProject&) {
    return workers.siteCrawl;
}

const std::function<int(WorkerContext&, SearchProject)>& WorkerFor(const WorkerFunctions& workers,
                                                                   const SearchProject&) {
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

// The index of the entry with this key: the expected index if it still holds it (so that
// entries sharing a name keep their own), else the first match.
template <typename Record>
int IndexOfEntry(const EntryList<Record>& list, int expectedIndex, const std::string& key) {
    const Record* expected = list.GetAt(expectedIndex);
    if (expected != nullptr && KeyOf(*expected) == key) {
        return expectedIndex;
    }
    return list.FindByName(key);
}

// Index and key of each project due now, walking from the head; the walk itself happens
// later, outside the lock, so each project is looked up again when its turn comes.
template <typename Project, typename IsDue>
std::vector<std::pair<int, std::string>> DueProjects(SharedState& state,
                                                     const EntryList<Project>& list, IsDue isDue,
                                                     int hour, int minute) {
    std::vector<std::pair<int, std::string>> due;
    std::lock_guard lock(state.mutex);
    for (int index = 0; index < list.GetCount(); ++index) {
        if (isDue(*list.GetAt(index), hour, minute)) {
            due.emplace_back(index, KeyOf(*list.GetAt(index)));
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
    std::vector<std::string> urls;
    {
        std::lock_guard lock(state_.mutex);
        for (const FileEntry& entry : state_.RequestedFiles.Entries()) {
            urls.push_back(entry.url);
        }
    }
    const DownloadFolder downloads = DownloadFolder::Of(workingDirectory_, settings_);
    for (const std::string& url : urls) {
        if (const std::optional<TransferSnapshot> held = PartialProgress(downloads, url)) {
            state_.ui.ShowTransferProgress(url, *held);
        }
    }
}

void DownloadControl::ApplySettings(const Settings& settings) {
    settings_ = settings;
    slots_.SetCount(settings.maxConcurrent);
    sharedLimit_->SetBytesPerSecond(settings.limitBytesPerSecond);
}

void DownloadControl::OnDownloadSelected() {
    ForKindOf(CurrentCategory(),
              [this](auto kind) { DownloadSelected<typename decltype(kind)::type>(); });
}

void DownloadControl::OnStopDownloading() {
    ForKindOf(CurrentCategory(),
              [this](auto kind) { StopSelected<typename decltype(kind)::type>(); });
}

void DownloadControl::StartTargets(const RunTargets& targets) {
    for (const std::string& key : targets.files) {
        StartByKey<FileEntry>(key);
    }
    for (const std::string& key : targets.webProjects) {
        StartByKey<WebProject>(key);
    }
    for (const std::string& key : targets.searchProjects) {
        StartByKey<SearchProject>(key);
    }
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
    for (const std::string& name : taken.targets.webProjects) {
        const bool made = std::find(taken.newWebProjects.begin(), taken.newWebProjects.end(),
                                    name) != taken.newWebProjects.end();
        if (!made && !order.webOptions.Any()) {
            continue;
        }
        // A new project starts from the options of a new one, never from one of that name
        // before it; a reused one keeps what the order does not set.
        WebProjectOptions options =
            made ? NewWebProjectOptions(settings_) : LoadWebProjectOptions(workingDirectory_, name);
        order.webOptions.ApplyTo(options);
        stored = StoreWebProjectOptions(workingDirectory_, name, options) && stored;
    }
    if (!stored) {
        state_.ui.ShowMessage("Error saving the web project options");
    }
    if (order.fileOptions != FileRequestOptions{} &&
        !KeepFileOptions(state_, workingDirectory_, taken.targets.files, order.fileOptions)) {
        state_.ui.ShowMessage(kFileOptionsNotSaved);
    }
}

template <typename Record>
void DownloadControl::StartByKey(const std::string& key) {
    const std::optional<Located<Record>> target = LocateAgain<Record>(-1, key);
    if (!target) {
        return;
    }
    if (target->gate) {
        ResumeJob(*target);
    } else {
        StartJob(*target);
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

template <typename Record, typename Visit>
void DownloadControl::ForEachSelectedEntry(Visit visit) {
    const int rowCount = state_.ui.RowCount();
    for (int row = 0; row < rowCount; ++row) {
        if (!state_.ui.IsRowSelected(row)) {
            continue;
        }
        const std::optional<Located<Record>> target = LocateRow<Record>(row);
        if (target && !visit(*target)) {
            return;
        }
    }
}

template <typename Record>
void DownloadControl::DownloadSelected() {
    if (state_.ui.SelectedCount() == 0) {
        return;
    }
    ForEachSelectedEntry<Record>([this](const Located<Record>& target) {
        if (target.gate) {
            ResumeJob(target);
            return false;  // a resume ends the command: later rows are not looked at
        }
        StartJob(target);
        return true;
    });
}

template <typename Record>
void DownloadControl::StopSelected() {
    if (state_.ui.SelectedCount() == 0) {
        return;
    }
    ForEachSelectedEntry<Record>([this](const Located<Record>& target) {
        if (target.gate) {
            SuspendJob(target);
        }
        return true;
    });
    std::lock_guard lock(state_.mutex);
    state_.BusyAnimationRunning = 0;
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
    const auto due =
        DueProjects(state_, JobKind<Record>::List(state_), IsDueToStart<Record>, hour, minute);
    for (const auto& [index, key] : due) {
        const std::optional<Located<Record>> target = LocateAgain<Record>(index, key);
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
    const auto due =
        DueProjects(state_, JobKind<Record>::List(state_), IsDueToStop<Record>, hour, minute);
    for (const auto& [index, key] : due) {
        const std::optional<Located<Record>> target = LocateAgain<Record>(index, key);
        if (target && target->gate) {
            SuspendJob(*target);
        }
    }
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
        Kind::Jobs(state_).Append(RunningJob{gate, KeyOf(target.entry), target.row});
        if constexpr (std::is_same_v<Record, WebProject>) {
            SetEntryStatus(target, kDownloading);
        }
        if (queued) {
            SetEntryStatus(target, kQueued);
        }
        if constexpr (!std::is_same_v<Record, SearchProject>) {
            state_.SelectedRow = target.row;
        }
    }
    // Shown before the worker runs, so that its own first reports are not overwritten.
    if constexpr (std::is_same_v<Record, FileEntry>) {
        ShowRowStatus<Record>(target.row, queued ? kQueued : kDownloading);
        state_.ui.SetCurrentProjectText("None");
        state_.ui.SetLastActionText(target.entry.url);
        state_.ui.SetStatusText(kNoErrors);
    } else if constexpr (std::is_same_v<Record, WebProject>) {
        ShowRowStatus<Record>(target.row, kDownloading);
        state_.ui.SetCurrentProjectText(target.entry.name);
        state_.ui.SetLastActionText("Finding Web Site...");
        state_.ui.SetStatusText(kNoErrors);
    }
    try {
        threads_.Start(gate, WorkerBody(target.entry, gate, queued));
    } catch (const std::system_error&) {
        if constexpr (std::is_same_v<Record, FileEntry>) {
            slots_.Leave(gate);
        }
        ReportStartFailure(target, gate);
        return;
    }
    pauseAfterStart_();
    if constexpr (std::is_same_v<Record, SearchProject>) {
        SetSelectedRow(target.row);
    }
}

template <typename Record>
void DownloadControl::ResumeJob(const Located<Record>& target) {
    target.gate->Resume();
    ShowRowStatus<Record>(target.row, slots_.IsWaiting(target.gate) ? kQueued : kDownloading);
    state_.ui.SetCurrentProjectText("None");
    state_.ui.SetLastActionText(KeyOf(target.entry));
    state_.ui.SetStatusText(kNoErrors);
    {
        std::lock_guard lock(state_.mutex);
        state_.SelectedRow = target.row;
        state_.BusyAnimationRunning = 1;
    }
    state_.ui.PlayBusyAnimation();
}

template <typename Record>
void DownloadControl::SuspendJob(const Located<Record>& target) {
    target.gate->Pause();
    state_.ui.StopBusyAnimation();
    {
        std::lock_guard lock(state_.mutex);
        SetEntryStatus(target, kStopped);
    }
    ShowRowStatus<Record>(target.row, kStopped);
    state_.ui.ShowTransferHeld(KeyOf(target.entry));
    state_.ui.SetStatusText("Download Stopped");
}

template <typename Record>
void DownloadControl::ReportStartFailure(const Located<Record>& target,
                                         const std::shared_ptr<JobGate>& gate) {
    {
        std::lock_guard lock(state_.mutex);
        RunningJobTable& jobs = JobKind<Record>::Jobs(state_);
        for (int index = 0; index < jobs.GetCount(); ++index) {
            if (jobs.GetAt(index)->thread == gate) {
                jobs.RemoveAt(index);
                break;
            }
        }
        SetEntryStatus(target, kErrorStarting);
    }
    ShowRowStatus<Record>(target.row, kErrorStarting);
    state_.ui.SetStatusText(kErrorStarting);
}

template <typename Record>
std::function<void()> DownloadControl::WorkerBody(Record entry, std::shared_ptr<JobGate> gate,
                                                  bool queued) {
    auto worker = WorkerFor(workers_, entry);
    if constexpr (std::is_same_v<Record, FileEntry>) {
        return [this, context = ContextFor(entry, gate), worker = std::move(worker),
                entry = std::move(entry), queued]() mutable {
            const std::string url = entry.url;
            if (!queued || slots_.WaitForTurn(context.gate)) {
                if (queued) {
                    ShowTurnCame(url);
                }
                worker(context, std::move(entry));
                slots_.Leave(context.gate);
            } else {
                RemoveRunningJob(state_, state_.RunningFileJobs, url, context.gate);
            }
            if (context.gate->IsDiscarded()) {
                DiscardPartialOfEnded(url);
            }
        };
    } else {
        return [&state = state_, directory = workingDirectory_, gate = std::move(gate),
                worker = std::move(worker), entry = std::move(entry),
                userAgent = settings_.userAgent]() mutable {
            WorkerContext context{state, directory, gate, {}, {}, {}, userAgent};
            worker(context, std::move(entry));
        };
    }
}

WorkerContext DownloadControl::ContextFor(const FileEntry& entry, std::shared_ptr<JobGate> gate) {
    TransferPolicy policy;
    policy.retries = settings_.retries;
    policy.stallTime = std::chrono::seconds{settings_.stallSeconds};
    policy.sharedLimit = sharedLimit_;
    const FileRequestOptionsFile options = LoadFileRequestOptions(workingDirectory_);
    const auto found = options.find(entry.url);
    return WorkerContext{state_,
                         workingDirectory_,
                         std::move(gate),
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

void DownloadControl::ShowTurnCame(const std::string& url) {
    const std::optional<Located<FileEntry>> target = LocateAgain<FileEntry>(-1, url);
    if (!target) {
        return;
    }
    {
        std::lock_guard lock(state_.mutex);
        SetEntryStatus(*target, kDownloading);
    }
    ShowRowStatus<FileEntry>(target->row, kDownloading);
}

template <typename Record>
std::optional<DownloadControl::Located<Record>> DownloadControl::LocateRow(int row) {
    std::lock_guard lock(state_.mutex);
    return LocateAt<Record>(IndexOfRow(JobKind<Record>::List(state_).GetCount(), row));
}

template <typename Record>
std::optional<DownloadControl::Located<Record>> DownloadControl::LocateAgain(
    int index, const std::string& key) {
    std::lock_guard lock(state_.mutex);
    return LocateAt<Record>(IndexOfEntry(JobKind<Record>::List(state_), index, key));
}

template <typename Record>
std::optional<DownloadControl::Located<Record>> DownloadControl::LocateAt(int index) {
    const EntryList<Record>& list = JobKind<Record>::List(state_);
    const Record* entry = list.GetAt(index);
    if (entry == nullptr) {
        return std::nullopt;
    }
    RunningJobTable& jobs = JobKind<Record>::Jobs(state_);
    const RunningJob* job = jobs.GetAt(jobs.FindByName(KeyOf(*entry)));
    return Located<Record>{*entry, RowOfIndex(list.GetCount(), index),
                           job != nullptr ? job->thread : nullptr};
}

template <typename Record>
Record* DownloadControl::EntryFor(const Located<Record>& target) {
    EntryList<Record>& list = JobKind<Record>::List(state_);
    return list.GetAt(
        IndexOfEntry(list, IndexOfRow(list.GetCount(), target.row), KeyOf(target.entry)));
}

template <typename Record>
void DownloadControl::SetEntryStatus(const Located<Record>& target, const char* status) {
    if (Record* entry = EntryFor(target)) {
        entry->status = status;
    }
}

template <typename Record>
void DownloadControl::ShowRowStatus(int row, const std::string& status) {
    if (CurrentCategory() == JobKind<Record>::category) {
        state_.ui.SetRowStatus(row, status);
    }
}

ListCategory DownloadControl::CurrentCategory() {
    std::lock_guard lock(state_.mutex);
    return state_.CurrentCategory;
}

void DownloadControl::SetSelectedRow(int row) {
    std::lock_guard lock(state_.mutex);
    state_.SelectedRow = row;
}

}  // namespace tarnwick
