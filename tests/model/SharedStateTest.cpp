#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "model/JobGate.h"
#include "model/ListFiles.h"
#include "model/SharedState.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using testing::RecordingUi;

TEST(SharedState, ThreadsAppendLookUpEditAndRemoveUnderTheLock) {
    SharedState state;
    testing::TempFolder folder;
    constexpr int kThreads = 4;
    constexpr int kPerThread = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&state, t] {
            for (int i = 0; i < kPerThread; ++i) {
                const std::string url = "http://h/" + std::to_string(t) + "/" + std::to_string(i);
                std::lock_guard lock(state.mutex);
                state.RequestedFiles.AppendUrl(url);
                // Look up, then edit: one walk under one lock.
                FileEntry* entry = state.RequestedFiles.GetAt(state.RequestedFiles.FindByName(url));
                ASSERT_NE(entry, nullptr);
                entry->status = "Downloading...";
                if (i % 3 == 0) {
                    state.RequestedFiles.RemoveAt(state.RequestedFiles.FindByName(url));
                }
            }
        });
    }
    // A saver running alongside, as the scheduler's minute tick does.
    std::thread saver([&state, &folder] {
        for (int i = 0; i < 5; ++i) {
            SaveAllLists(state, folder.Path());
        }
    });
    for (auto& thread : threads) {
        thread.join();
    }
    saver.join();
    EXPECT_EQ(state.RequestedFiles.GetCount(), kThreads * (kPerThread - kPerThread / 3));
    SaveAllLists(state, folder.Path());
    SharedState reloaded;
    LoadAllLists(reloaded, folder.Path());
    EXPECT_EQ(reloaded.RequestedFiles.GetCount(), state.RequestedFiles.GetCount());
}

TEST(SharedState, BusyClipPlaysOnlyWhenStoppedAndStopsOnlyWhenPlaying) {
    SharedState state;
    RecordingUi ui;
    ui.AttachTo(state.ui);
    StartBusyAnimation(state);
    StartBusyAnimation(state);
    StopBusyAnimation(state);
    StopBusyAnimation(state);
    StartBusyAnimation(state);
    EXPECT_EQ(ui.Calls(), (std::vector<std::string>{"Play", "Stop", "Play"}));
    EXPECT_EQ(state.BusyAnimationRunning, 1);
}

TEST(SharedState, RemovingAJobTakesOnlyItsOwnRecord) {
    SharedState state;
    RemoveRunningJob(state, state.RunningFileJobs, 42, nullptr);
    // A deleted entry's worker ending after the entry was added and started again.
    auto ended = std::make_shared<JobGate>();
    auto later = std::make_shared<JobGate>();
    const EntryId site = state.RequestedWebSites.Append(WebProject{});
    state.RunningSiteJobs.Adopt(RunningJob{later, "site", 0}, site);
    RemoveRunningJob(state, state.RunningSiteJobs, site, ended);
    ASSERT_EQ(GateOf(state.RunningSiteJobs, site), later);
    RemoveRunningJob(state, state.RunningSiteJobs, site, later);
    EXPECT_EQ(state.RunningSiteJobs.GetCount(), 0);
}

TEST(SharedState, NoTwoEntriesOfItsListsShareAnId) {
    SharedState state;
    std::set<EntryId> ids;
    ids.insert(state.RequestedFiles.AppendUrl("a"));
    ids.insert(state.DownloadedFiles.AppendUrl("a"));
    ids.insert(state.SearchResults.AppendUrl("a"));
    ids.insert(state.RequestedWebSites.Append(WebProject{}));
    ids.insert(state.DownloadedSites.Append(WebProject{}));
    ids.insert(state.SearchProjects.Append(SearchProject{}));
    EXPECT_EQ(ids.size(), 6u);
}

// A subscriber that records what reaches it.
struct EventLog final : EntryEvents {
    void EntryAdded(const EntryView& entry) override { lines.push_back("added " + entry.key); }
    void EntryEnded(const EntryView& entry, const Outcome& outcome) override {
        lines.push_back("ended " + entry.key + " " + outcome.text);
    }
    std::vector<std::string> lines;
};

TEST(UiPort, EverySubscriberHearsEachEventAndClosingSilencesOtherThreads) {
    UiPort port;
    RecordingUi ui;
    EventLog first;
    EventLog second;
    port.SetStatusText("before attach");
    port.Subscribe(&first);
    port.Subscribe(&second);
    ui.AttachTo(port);
    port.EntryAdded({ListCategory::RequestedFiles, 1, "x", "y"});
    port.Unsubscribe(&second);
    port.EntryEnded({ListCategory::RequestedFiles, 1, "x", "y"}, Outcome::Done());
    EXPECT_EQ(first.lines, (std::vector<std::string>{"added x", "ended x Success"}));
    EXPECT_EQ(second.lines, (std::vector<std::string>{"added x"}));
    port.Close();
    std::thread worker([&port] {
        port.SetStatusText("from a worker");
        port.EntryAdded({ListCategory::RequestedFiles, 2, "late", ""});
        EXPECT_FALSE(port.AskYesNo("from a worker?"));
    });
    worker.join();
    port.ShowMessage("at exit");
    EXPECT_EQ(ui.Calls(), (std::vector<std::string>{"InsertRow:x|y", "Message:at exit"}));
    EXPECT_EQ(first.lines.size(), 2u);
}

TEST(JobGate, PausedWaitersBlockUntilResumedAndCancelReleasesThem) {
    JobGate gate;
    EXPECT_TRUE(gate.WaitWhilePaused());
    gate.Pause();
    std::atomic<int> passed{0};
    std::thread waiter([&] {
        if (gate.WaitWhilePaused()) {
            passed = 1;
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(passed, 0);
    gate.Resume();
    waiter.join();
    EXPECT_EQ(passed, 1);

    gate.Pause();
    std::thread cancelled([&] { passed = gate.WaitWhilePaused() ? 2 : 3; });
    gate.Cancel();
    cancelled.join();
    EXPECT_EQ(passed, 3);
    EXPECT_FALSE(gate.WaitWhilePaused());
}

}  // namespace
}  // namespace tarnwick
