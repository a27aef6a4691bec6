#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "ControlFixture.h"
#include "control/EntryCommands.h"
#include "control/ScriptedEditors.h"
#include "control/TransferSlots.h"
#include "engine/files/PartialProgress.h"
#include "engine/transfer/TransferMetadata.h"
#include "model/FileRequestOptions.h"

namespace tarnwick::testing {
namespace {

class TransferQueue : public ControlFixture {
protected:
    // The requested files of these URLs, to start.
    RunTargets FilesTarget(const std::vector<std::string>& urls) {
        RunTargets targets;
        std::lock_guard lock(state.mutex);
        for (const std::string& url : urls) {
            targets.files.push_back(state.RequestedFiles.FindIdByName(url));
        }
        return targets;
    }
};

TEST_F(TransferQueue, StartsBeyondTheLimitWaitAsQueuedAndBeginInOrder) {
    Settings settings;
    settings.maxConcurrent = 2;
    control.ApplySettings(settings);
    const std::vector<std::string> urls{"http://h/1", "http://h/2", "http://h/3", "http://h/4"};
    for (const std::string& url : urls) {
        state.RequestedFiles.AppendUrl(url);
    }
    Show(ListCategory::RequestedFiles);

    control.StartTargets(FilesTarget(urls));
    ASSERT_TRUE(fakes.WaitForStarts(2));
    std::this_thread::sleep_for(std::chrono::milliseconds{300});
    std::vector<std::string> first = fakes.StartedKeys();
    std::sort(first.begin(), first.end());  // the two run at once, in either order
    EXPECT_EQ(first, (std::vector<std::string>{"http://h/1", "http://h/2"}));
    EXPECT_EQ(StatusOf(state.RequestedFiles, 2), "Queued");
    EXPECT_EQ(RowStatus(0), "Queued");  // the newest entry is the top row
    EXPECT_EQ(RowStatus(3), "Downloading...");
    EXPECT_EQ(JobCount(state.RunningFileJobs), 4);  // a queued entry can be stopped or deleted

    fakes.Finish("http://h/2");
    ASSERT_TRUE(fakes.WaitForStarts(3));
    EXPECT_EQ(fakes.StartedKeys().back(), "http://h/3");
    EXPECT_EQ(StatusOf(state.RequestedFiles, 2), "Downloading...");
    EXPECT_EQ(RowStatus(1), "Downloading...");

    settings.maxConcurrent = 3;  // a wider limit starts the next waiter at once
    control.ApplySettings(settings);
    ASSERT_TRUE(fakes.WaitForStarts(4));
}

TEST_F(TransferQueue, DeletingAnEntryEndsItsWorkerSoTheSameUrlStartsAfresh) {
    ScriptedEditors editors;
    EntryCommands commands{state, editors, folder.Path()};
    Settings settings;
    settings.maxConcurrent = 1;
    control.ApplySettings(settings);
    state.RequestedFiles.AppendUrl("http://h/running");
    state.RequestedFiles.AppendUrl("http://h/queued");
    Show(ListCategory::RequestedFiles);
    control.StartTargets(FilesTarget({"http://h/running", "http://h/queued"}));
    ASSERT_TRUE(fakes.WaitForStarts(1));
    const auto running = GateOf(state.RunningFileJobs, "http://h/running");
    const auto queued = GateOf(state.RunningFileJobs, "http://h/queued");
    ASSERT_TRUE(running && queued);
    running->Pause();

    ui.SetYesNoAnswer(true);
    ui.SelectRows({0, 1});
    commands.OnDeleteEntry(ListCategory::RequestedFiles, ui.SelectedIds());
    EXPECT_TRUE(running->IsCancelled());
    EXPECT_TRUE(queued->IsCancelled());
    EXPECT_EQ(JobCount(state.RunningFileJobs), 0);
    ASSERT_TRUE(fakes.WaitForEnded(1));

    // Added again, the URL gets a worker of its own rather than the deleted one's.
    state.RequestedFiles.AppendUrl("http://h/running");
    Show(ListCategory::RequestedFiles);
    control.StartTargets(FilesTarget({"http://h/running"}));
    ASSERT_TRUE(fakes.WaitForStarts(2));
    const auto again = GateOf(state.RunningFileJobs, "http://h/running");
    ASSERT_TRUE(again);
    EXPECT_NE(again, running);
    EXPECT_FALSE(again->IsCancelled());
    EXPECT_EQ(fakes.StartedKeys(),
              (std::vector<std::string>{"http://h/running", "http://h/running"}));
}

TEST_F(TransferQueue, AnOrdersFileOptionsAndTheSettingsReachItsWorkers) {
    Settings settings;
    settings.retries = 2;
    settings.limitBytesPerSecond = 4096;
    control.ApplySettings(settings);
    state.RequestedFiles.AppendUrl("http://h/gone");
    ASSERT_TRUE(StoreFileRequestOptions(folder.Path(), {{"http://h/gone", {"", 1}}}));
    state.RequestedFiles.RemoveAt(0);

    std::mutex mutex;
    WorkerContext seen{state, {}, nullptr, {}, {}, {}, {}};
    fakes.SetFirstStep([&](WorkerContext& context, const std::string&) {
        std::lock_guard lock(mutex);
        seen.transfer = context.transfer;
        seen.fileOptions = context.fileOptions;
        return false;
    });
    WorkOrder order;
    order.start = true;
    order.fileUrls = {"h/iso"};
    order.fileOptions = {"md5=" + std::string(32, 'e'), 0};
    control.CarryOut(order);
    ASSERT_TRUE(fakes.WaitForEnded(1));

    std::lock_guard lock(mutex);
    EXPECT_EQ(seen.fileOptions, order.fileOptions);
    EXPECT_EQ(seen.transfer.retries, 2);
    ASSERT_TRUE(seen.transfer.sharedLimit);
    EXPECT_EQ(seen.transfer.sharedLimit->BytesPerSecond(), 4096u);
    // Kept under the entry's own key; the options of an entry no longer requested are gone.
    EXPECT_EQ(LoadFileRequestOptions(folder.Path()),
              (FileRequestOptionsFile{{"http://h/iso", order.fileOptions}}));
}

TEST_F(TransferQueue, ARestartShowsHowFarTheHeldPartialDownloadsGot) {
    struct Seen : EntryEvents {
        void EntryChanged(const EntryChange& change) override {
            shown.emplace_back(change.key, change.progress->done, change.progress->total);
        }
        std::vector<std::tuple<std::string, std::uint64_t, std::int64_t>> shown;
    } seen;
    state.ui.Subscribe(&seen);
    const std::string url = "http://h/big.iso";
    state.RequestedFiles.AppendUrl(url);
    state.RequestedFiles.AppendUrl("http://h/never-started.iso");
    const auto files = folder.Path() / "Files";
    std::filesystem::create_directories(files);
    WriteFileBytes(files / (LocalFileNameFor(url) + ".part"), std::string(50, 'x'));
    WriteFileBytes(files / (LocalFileNameFor(url) + ".part.meta"),
                   FormatTransferMetadata(TransferMetadata{url, "\"v1\"", "", -1, 200, 50, ""}));

    control.ShowHeldPartials();
    EXPECT_EQ(seen.shown,
              (std::vector<std::tuple<std::string, std::uint64_t, std::int64_t>>{{url, 50u, 200}}));
    state.ui.Unsubscribe(&seen);
}

TEST(TransferSlots, APausedWaiterLetsTheNextGoAndACancelledOneLeavesTheLine) {
    TransferSlots slots(1);
    auto first = std::make_shared<JobGate>();
    auto paused = std::make_shared<JobGate>();
    auto cancelled = std::make_shared<JobGate>();
    auto last = std::make_shared<JobGate>();
    ASSERT_TRUE(slots.Reserve(first));
    EXPECT_FALSE(slots.Reserve(paused));
    EXPECT_FALSE(slots.Reserve(cancelled));
    EXPECT_FALSE(slots.Reserve(last));
    paused->Pause();
    cancelled->Cancel();

    std::thread cancelledWaiter([&] { EXPECT_FALSE(slots.WaitForTurn(cancelled)); });
    cancelledWaiter.join();
    EXPECT_FALSE(slots.IsWaiting(cancelled));
    std::thread lastWaiter([&] { EXPECT_TRUE(slots.WaitForTurn(last)); });
    slots.Leave(first);
    lastWaiter.join();
    EXPECT_TRUE(slots.IsWaiting(paused));

    paused->Resume();
    std::thread resumedWaiter([&] { EXPECT_TRUE(slots.WaitForTurn(paused)); });
    slots.Leave(last);
    resumedWaiter.join();
    EXPECT_FALSE(slots.IsWaiting(paused));
}

}  // namespace
}  // namespace tarnwick::testing
