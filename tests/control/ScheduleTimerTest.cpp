#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "ControlFixture.h"
#include "control/ScheduleClock.h"

namespace tarnwick::testing {
namespace {

using namespace std::chrono;
using Scheduler = ControlFixture;

LocalMinute At(int hour, int minute, int day = 1) {
    return local_days{year{2024} / March / day} + hours{hour} + minutes{minute};
}

WebProject Site(const std::string& name, int startHour, int startMinute) {
    WebProject project = BlankWebProject();
    project.name = name;
    project.status = "Ready";
    project.runWhenRequested = 0;
    project.startHour = startHour;
    project.startMinute = startMinute;
    return project;
}

WebProject SiteStoppingAt(const std::string& name, int stopHour, int stopMinute) {
    WebProject project = BlankWebProject();
    project.name = name;
    project.stopWhenRequested = 0;
    project.stopHour = stopHour;
    project.stopMinute = stopMinute;
    return project;
}

TEST(ScheduleClock, ExaminesEveryMinuteSinceTheLastButNoMoreThanADay) {
    struct Case {
        const char* what;
        std::optional<LocalMinute> last;
        LocalMinute now;
        LocalMinute firstDue;
    };
    const Case cases[] = {
        {"first tick", std::nullopt, At(9, 30), At(9, 30)},
        {"second tick in the minute", At(9, 30), At(9, 30), At(9, 30)},
        {"next minute", At(9, 29), At(9, 30), At(9, 30)},
        {"skipped minutes", At(9, 27), At(9, 30), At(9, 28)},
        {"over midnight", At(23, 58, 1), At(0, 2, 2), At(23, 59, 1)},
        {"days asleep", At(9, 0, 1), At(9, 30, 4), At(9, 31, 3)},
        {"clock set back", At(9, 30), At(8, 45), At(8, 45)},
    };
    for (const Case& c : cases) {
        ScheduleClock clock;
        if (c.last) {
            clock.MarkExamined(*c.last);
        }
        EXPECT_EQ(clock.FirstDue(c.now), c.firstDue) << c.what;
    }
    EXPECT_EQ(HourOf(At(23, 59, 2)), 23);
    EXPECT_EQ(MinuteOf(At(23, 59, 2)), 59);
}

TEST_F(Scheduler, TheFirstTickWithinTheMinuteStartsTheProjectAndTheSecondResumesIt) {
    WebProject alpha = Site("Alpha", 9, 30);
    alpha.stopWhenRequested = 1;
    state.RequestedWebSites.Append(alpha);
    state.RequestedFiles.AppendUrl("http://h/a.zip");
    Show(ListCategory::RequestedFiles);

    control.OnScheduleTimer(At(9, 29));
    EXPECT_EQ(pauses, 0);

    control.OnScheduleTimer(At(9, 30));
    EXPECT_EQ(pauses, 1);
    ASSERT_TRUE(fakes.WaitForStarts(1));
    EXPECT_EQ(fakes.Starts()[0].procedure, "site");
    EXPECT_EQ(StatusOf(state.RequestedWebSites, 0), "Downloading...");
    EXPECT_EQ(ui.CurrentProjectText(), "Alpha");
    EXPECT_EQ(ui.LastActionText(), "Finding Web Site...");
    // The entry list shows the files, so no row is written.
    EXPECT_EQ(ui.CallsStartingWith("RowStatus"), std::vector<std::string>{});
    EXPECT_EQ(RowStatus(0), "Ready for download");

    Show(ListCategory::RequestedWebSites);
    control.OnScheduleTimer(At(9, 30, 1));
    EXPECT_EQ(pauses, 1);
    EXPECT_EQ(control.Threads().ThreadCount(), 1u);
    EXPECT_EQ(ui.LastActionText(), "Alpha");
    EXPECT_EQ(ui.CallsStartingWith("RowStatus"),
              std::vector<std::string>{"RowStatus:0|Downloading..."});
    EXPECT_TRUE(ui.BusyAnimationPlaying());
    EXPECT_EQ(state.BusyAnimationRunning, 1);
}

TEST_F(Scheduler, AResumedProjectEndsTheTickButTheListsAreStillSaved) {
    state.RequestedWebSites.Append(Site("Paused", 9, 30));
    state.RequestedWebSites.Append(Site("Idle", 9, 30));
    state.RequestedWebSites.Append(SiteStoppingAt("Running", 9, 30));
    SearchProject search = OnRequestSearch("Q");
    search.runWhenRequested = 0;
    search.startHour = 9;
    search.startMinute = 30;
    state.SearchProjects.Append(search);
    Show(ListCategory::RequestedWebSites);  // rows Running, Idle, Paused
    ui.SelectRows({0, 2});
    DownloadSelected();
    ui.SelectRows({2});
    StopSelected();
    ASSERT_TRUE(GateOf(state.RunningSiteJobs, "Paused")->IsPaused());
    ASSERT_FALSE(std::filesystem::exists(folder.Path() / "reqwebs.data"));

    control.OnScheduleTimer(At(9, 30));

    EXPECT_FALSE(GateOf(state.RunningSiteJobs, "Paused")->IsPaused());
    EXPECT_EQ(GateOf(state.RunningSiteJobs, "Idle"), nullptr);
    EXPECT_EQ(GateOf(state.RunningSearchJobs, "Q"), nullptr);
    EXPECT_FALSE(GateOf(state.RunningSiteJobs, "Running")->IsPaused());
    EXPECT_EQ(pauses, 2);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "reqwebs.data"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "reqsearch.data"));
}

TEST_F(Scheduler, RunAndStopWhenRequestedKeepTheTimerAway) {
    WebProject onRequest = Site("OnRequest", 10, 0);
    onRequest.runWhenRequested = 1;
    WebProject keepsRunning = SiteStoppingAt("KeepsRunning", 10, 0);
    keepsRunning.stopWhenRequested = 1;
    state.RequestedWebSites.Append(onRequest);
    state.RequestedWebSites.Append(keepsRunning);
    state.RequestedWebSites.Append(SiteStoppingAt("Stops", 10, 0));
    state.RequestedWebSites.Append(Site("Timed", 10, 0));
    SearchProject search = OnRequestSearch("Q");
    search.stopWhenRequested = 0;
    search.stopHour = 10;
    search.stopMinute = 0;
    state.SearchProjects.Append(search);
    Show(ListCategory::SearchProjects);
    ui.SelectRows({0});
    DownloadSelected();
    Show(ListCategory::RequestedWebSites);  // Timed, Stops, Keeps, OnReq
    ui.SelectRows({1, 2});
    DownloadSelected();
    ui.ClearCalls();

    control.OnScheduleTimer(At(10, 0));

    EXPECT_EQ(GateOf(state.RunningSiteJobs, "OnRequest"), nullptr);
    EXPECT_NE(GateOf(state.RunningSiteJobs, "Timed"), nullptr);
    EXPECT_FALSE(GateOf(state.RunningSiteJobs, "KeepsRunning")->IsPaused());
    EXPECT_EQ(StatusOf(state.RequestedWebSites, 1), "Downloading...");
    EXPECT_TRUE(GateOf(state.RunningSiteJobs, "Stops")->IsPaused());
    EXPECT_EQ(StatusOf(state.RequestedWebSites, 2), "Stopped");
    EXPECT_EQ(RowStatus(1), "Stopped");
    EXPECT_TRUE(GateOf(state.RunningSearchJobs, "Q")->IsPaused());
    EXPECT_EQ(StatusOf(state.SearchProjects, 0), "Stopped");
    EXPECT_EQ(ui.StatusText(), "Download Stopped");
    // The search projects are not shown, so only site rows were written.
    EXPECT_EQ(ui.CallsStartingWith("RowStatus"),
              (std::vector<std::string>{"RowStatus:0|Downloading...", "RowStatus:1|Stopped"}));
}

TEST_F(Scheduler, SkippedMinutesStillStartAndStopInOrder) {
    WebProject early = Site("Early", 9, 30);
    early.stopWhenRequested = 1;
    WebProject brief = Site("Brief", 9, 31);
    brief.stopWhenRequested = 0;
    brief.stopHour = 9;
    brief.stopMinute = 32;
    state.RequestedWebSites.Append(early);
    state.RequestedWebSites.Append(brief);
    Show(ListCategory::RequestedWebSites);

    control.OnScheduleTimer(At(9, 29));
    control.OnScheduleTimer(At(9, 33));

    EXPECT_EQ(pauses, 2);
    EXPECT_FALSE(GateOf(state.RunningSiteJobs, "Early")->IsPaused());
    EXPECT_TRUE(GateOf(state.RunningSiteJobs, "Brief")->IsPaused());
    EXPECT_EQ(StatusOf(state.RequestedWebSites, 1), "Stopped");

    // Minutes already examined are not examined again.
    control.OnScheduleTimer(At(9, 34));
    EXPECT_EQ(pauses, 2);
    EXPECT_TRUE(GateOf(state.RunningSiteJobs, "Brief")->IsPaused());
}

}  // namespace
}  // namespace tarnwick::testing
