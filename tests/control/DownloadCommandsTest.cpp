#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "ControlFixture.h"
#include "engine/job/EntryReporter.h"

namespace tarnwick::testing {
namespace {

using Commands = ControlFixture;

std::set<std::pair<std::string, std::string>> AsSet(const std::vector<FakeWorkers::Start>& starts) {
    std::set<std::pair<std::string, std::string>> set;
    for (const auto& start : starts) {
        set.emplace(start.procedure, start.key);
    }
    return set;
}

TEST_F(Commands, SelectedFilesEachStartTheirOwnWorker) {
    state.RequestedFiles.AppendUrl("http://h/a.zip");
    state.RequestedFiles.AppendUrl("http://h/get?from=ftp://x/y");
    state.RequestedFiles.AppendUrl("FTP://h/b.zip");
    state.RequestedFiles.AppendUrl("ftp://h/c.zip");
    Show(ListCategory::RequestedFiles);
    ui.SelectRows({0, 1, 2});

    DownloadSelected();

    ASSERT_TRUE(fakes.WaitForStarts(3));
    // "ftp://" is looked for anywhere in the URL, letter case included.
    EXPECT_EQ(AsSet(fakes.Starts()), (std::set<std::pair<std::string, std::string>>{
                                         {"ftp", "ftp://h/c.zip"},
                                         {"file", "FTP://h/b.zip"},
                                         {"ftp", "http://h/get?from=ftp://x/y"}}));
    EXPECT_EQ(pauses, 3);
    EXPECT_EQ(RowStatus(0), "Downloading...");
    EXPECT_EQ(RowStatus(2), "Downloading...");
    EXPECT_EQ(RowStatus(3), "Ready for download");
    EXPECT_EQ(StatusOf(state.RequestedFiles, 1), "Ready for download");
    EXPECT_EQ(JobCount(state.RunningFileJobs), 3);
    EXPECT_EQ(Followed(), ui.IdOfRow(2));
    ASSERT_TRUE(state.CurrentFileEntry.has_value());
    EXPECT_EQ(state.CurrentFileEntry->url, "http://h/get?from=ftp://x/y");
    EXPECT_EQ(ui.CurrentProjectText(), "None");
    EXPECT_EQ(ui.LastActionText(), "http://h/get?from=ftp://x/y");
    EXPECT_EQ(ui.StatusText(), "No errors");
}

TEST_F(Commands, SiteStartMarksTheProjectAndSearchStartLeavesTheTextsToItsWorker) {
    WebProject site = BlankWebProject();
    site.name = "Alpha";
    site.status = "Ready";
    state.RequestedWebSites.Append(site);
    Show(ListCategory::RequestedWebSites);
    ui.SelectRows({0});
    DownloadSelected();
    EXPECT_EQ(StatusOf(state.RequestedWebSites, 0), "Downloading...");
    EXPECT_EQ(RowStatus(0), "Downloading...");
    EXPECT_EQ(ui.CurrentProjectText(), "Alpha");
    EXPECT_EQ(ui.LastActionText(), "Finding Web Site...");
    EXPECT_EQ(ui.StatusText(), "No errors");

    state.SearchProjects.Append(OnRequestSearch("Q1"));
    state.SearchProjects.Append(OnRequestSearch("Q2"));
    Show(ListCategory::SearchProjects);
    ui.SelectRows({1});
    ui.ClearCalls();
    DownloadSelected();
    EXPECT_EQ(ui.Calls(), std::vector<std::string>{});
    EXPECT_EQ(StatusOf(state.SearchProjects, 0), "Ready");
    EXPECT_EQ(Followed(), ui.IdOfRow(1));
    EXPECT_EQ(pauses, 2);
    ASSERT_TRUE(fakes.WaitForStarts(2));
    EXPECT_EQ(AsSet(fakes.Starts()),
              (std::set<std::pair<std::string, std::string>>{{"site", "Alpha"}, {"search", "Q1"}}));
}

TEST_F(Commands, DoNothingOutsideTheRequestedListsOrWithoutASelection) {
    state.RequestedFiles.AppendUrl("http://h/a.zip");
    state.DownloadedFiles.Append(FileEntry{"http://h/done.zip", "Success"});
    state.SearchResults.Append(FileEntry{"http://h/found.htm", "Q"});
    for (ListCategory shown : {ListCategory::DownloadedFiles, ListCategory::SearchResults}) {
        Show(shown);
        ui.SelectRows({0});
        DownloadSelected();
        StopSelected();
    }
    Show(ListCategory::RequestedFiles);
    DownloadSelected();
    EXPECT_EQ(ui.Calls(), std::vector<std::string>{});
    EXPECT_EQ(pauses, 0);

    ui.SelectRows({0});
    DownloadSelected();
    EXPECT_EQ(pauses, 1);
    EXPECT_NE(GateOf(state.RunningFileJobs, "http://h/a.zip"), nullptr);
}

TEST_F(Commands, StopThenSelectedLetsTheSameWorkerGoOn) {
    state.RequestedFiles.AppendUrl("http://h/a.zip");
    Show(ListCategory::RequestedFiles);
    ui.SelectRows({0});
    DownloadSelected();
    const auto gate = GateOf(state.RunningFileJobs, "http://h/a.zip");
    ASSERT_NE(gate, nullptr);
    state.BusyAnimationRunning = 1;

    StopSelected();
    EXPECT_TRUE(gate->IsPaused());
    EXPECT_EQ(StatusOf(state.RequestedFiles, 0), "Stopped");
    EXPECT_EQ(RowStatus(0), "Stopped");
    EXPECT_EQ(ui.StatusText(), "Download Stopped");
    EXPECT_EQ(ui.CallsStartingWith("Stop"), std::vector<std::string>{"Stop"});
    EXPECT_EQ(state.BusyAnimationRunning, 0);

    DownloadSelected();
    EXPECT_FALSE(gate->IsPaused());
    EXPECT_EQ(GateOf(state.RunningFileJobs, "http://h/a.zip"), gate);
    EXPECT_EQ(pauses, 1);
    EXPECT_EQ(RowStatus(0), "Downloading...");
    EXPECT_EQ(StatusOf(state.RequestedFiles, 0), "Stopped");
    EXPECT_EQ(ui.StatusText(), "No errors");
    EXPECT_EQ(ui.LastActionText(), "http://h/a.zip");
    EXPECT_TRUE(ui.BusyAnimationPlaying());
    EXPECT_EQ(state.BusyAnimationRunning, 1);
    ASSERT_TRUE(fakes.WaitForStarts(1));
    EXPECT_EQ(fakes.Starts().size(), 1u);
}

TEST_F(Commands, AResumeEndsTheCommandSoRowsAfterItAreNotLookedAt) {
    for (const char* url : {"http://h/a", "http://h/b", "http://h/c"}) {
        state.RequestedFiles.AppendUrl(url);
    }
    Show(ListCategory::RequestedFiles);  // rows c, b, a
    ui.SelectRows({1});
    DownloadSelected();
    StopSelected();

    ui.SelectRows({0, 1, 2});
    DownloadSelected();

    EXPECT_NE(GateOf(state.RunningFileJobs, "http://h/c"), nullptr);
    EXPECT_FALSE(GateOf(state.RunningFileJobs, "http://h/b")->IsPaused());
    EXPECT_EQ(GateOf(state.RunningFileJobs, "http://h/a"), nullptr);
    EXPECT_EQ(RowStatus(2), "Ready for download");
    EXPECT_EQ(Followed(), ui.IdOfRow(1));
    EXPECT_EQ(pauses, 2);
}

TEST_F(Commands, StopOnAnEntryWithoutAJobChangesNothing) {
    state.RequestedFiles.AppendUrl("http://h/idle");
    state.RequestedFiles.AppendUrl("http://h/busy");
    Show(ListCategory::RequestedFiles);  // rows busy, idle
    ui.SelectRows({0});
    DownloadSelected();
    ui.SelectRows({1});
    ui.ClearCalls();
    StopSelected();
    EXPECT_EQ(ui.Calls(), std::vector<std::string>{});
    EXPECT_EQ(StatusOf(state.RequestedFiles, 0), "Ready for download");

    ui.SelectRows({0, 1});
    StopSelected();
    EXPECT_TRUE(GateOf(state.RunningFileJobs, "http://h/busy")->IsPaused());
    EXPECT_EQ(RowStatus(0), "Stopped");
    EXPECT_EQ(RowStatus(1), "Ready for download");
}

TEST_F(Commands, AFinishedSearchProjectStartsAgainWithANewWorker) {
    state.SearchProjects.Append(OnRequestSearch("Q"));
    Show(ListCategory::SearchProjects);
    ui.SelectRows({0});
    DownloadSelected();
    ASSERT_TRUE(fakes.WaitForStarts(1));
    fakes.Finish("Q");
    ASSERT_TRUE(fakes.WaitForEnded(1));
    EXPECT_EQ(GateOf(state.RunningSearchJobs, "Q"), nullptr);

    DownloadSelected();
    ASSERT_TRUE(fakes.WaitForStarts(2));
    EXPECT_EQ(fakes.StartedKeys(), (std::vector<std::string>{"Q", "Q"}));
    EXPECT_NE(GateOf(state.RunningSearchJobs, "Q"), nullptr);
}

TEST_F(Commands, EntriesSharingANameEachGetAJobOfTheirOwn) {
    const EntryId upper = state.RequestedFiles.AppendUrl("http://h/A");
    const EntryId lower = state.RequestedFiles.AppendUrl("http://h/a");
    Show(ListCategory::RequestedFiles);  // rows a, A
    ui.SelectRows({0, 1});
    DownloadSelected();
    EXPECT_EQ(pauses, 2);
    EXPECT_EQ(JobCount(state.RunningFileJobs), 2);

    ui.SelectRows({0});
    StopSelected();
    std::lock_guard lock(state.mutex);
    EXPECT_TRUE(tarnwick::GateOf(state.RunningFileJobs, lower)->IsPaused());
    EXPECT_FALSE(tarnwick::GateOf(state.RunningFileJobs, upper)->IsPaused());
    EXPECT_EQ(state.RequestedFiles.Find(lower)->status, "Stopped");
    EXPECT_EQ(state.RequestedFiles.Find(upper)->status, "Ready for download");
}

TEST_F(Commands, AThreadThatCannotBeCreatedLeavesAnErrorAndNoJob) {
    int attempts = 0;
    DownloadControl refusing(
        state, folder.Path(), fakes.Functions(), [] {},
        [&attempts](std::function<void()> body) {
            if (++attempts == 1) {
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            }
            return std::thread(std::move(body));
        });
    state.RequestedFiles.AppendUrl("http://h/second");
    state.RequestedFiles.AppendUrl("http://h/first");
    Show(ListCategory::RequestedFiles);
    ui.SelectRows({0, 1});

    refusing.StartSelected(ui.Shown(), ui.SelectedIds());

    EXPECT_EQ(RowStatus(0), "Error starting download");
    EXPECT_EQ(StatusOf(state.RequestedFiles, 1), "Error starting download");
    EXPECT_EQ(GateOf(state.RunningFileJobs, "http://h/first"), nullptr);
    // The next row still starts.
    EXPECT_EQ(RowStatus(1), "Downloading...");
    EXPECT_NE(GateOf(state.RunningFileJobs, "http://h/second"), nullptr);
    EXPECT_EQ(JobCount(state.RunningFileJobs), 1);
}

TEST_F(Commands, AWorkerThatEndsAtOnceKeepsItsReportAndLeavesNoJob) {
    // The worker runs to its end before the control goes on, as a fast failure may.
    DownloadControl eager(
        state, folder.Path(), fakes.Functions(), [] {},
        [](std::function<void()> body) {
            auto ended = std::make_shared<std::promise<void>>();
            std::future<void> done = ended->get_future();
            std::thread thread([ended, body = std::move(body)] {
                body();
                ended->set_value();
            });
            done.wait();
            return thread;
        });
    fakes.SetFirstStep([](WorkerContext& context, const std::string&) {
        // As a file worker reports a failure, the panel following the entry.
        EntryReporter(context.state, ListCategory::RequestedFiles, context.entry)
            .Report({.status = "Host not found",
                     .kept = "Host not found",
                     .save = true,
                     .panelStatus = "Host not found"});
        return false;
    });
    state.RequestedFiles.AppendUrl("http://nowhere/a.zip");
    Show(ListCategory::RequestedFiles);
    ui.SelectRows({0});

    eager.StartSelected(ui.Shown(), ui.SelectedIds());

    EXPECT_EQ(RowStatus(0), "Host not found");
    EXPECT_EQ(ui.StatusText(), "Host not found");
    EXPECT_EQ(JobCount(state.RunningFileJobs), 0);
    // With no job left behind, the entry can be started again.
    fakes.SetFirstStep([](WorkerContext&, const std::string&) { return false; });
    eager.StartSelected(ui.Shown(), ui.SelectedIds());
    EXPECT_EQ(fakes.Starts().size(), 2u);
}

}  // namespace
}  // namespace tarnwick::testing
