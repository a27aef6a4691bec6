#include <gtest/gtest.h>

#include "control/FinishedEntries.h"

namespace tarnwick {
namespace {

void AddJob(RunningJobTable& jobs, const std::string& key) {
    RunningJob job;
    job.name = key;
    jobs.Append(job);
}

TEST(FinishedEntriesTest, ReportsEachEndingOnceAndNothingFromBefore) {
    SharedState state;
    state.DownloadedFiles.AppendUrl("http://h/old.zip");
    FileEntry failing{"http://h/bad.zip", "Error 404"};
    state.RequestedFiles.Append(failing);
    state.RequestedFiles.AppendUrl("http://h/paused.zip");
    AddJob(state.RunningFileJobs, "http://h/bad.zip");
    AddJob(state.RunningFileJobs, "http://h/paused.zip");
    FinishedEntries finished;
    EXPECT_TRUE(finished.Poll(state).empty());
    EXPECT_EQ(finished.Running().files.size(), 2u);

    // One ended in failure; a file done too quickly to be seen running still counts.
    state.RunningFileJobs.RemoveAt(state.RunningFileJobs.FindByName("http://h/bad.zip"));
    state.DownloadedFiles.AppendUrl("http://h/quick.zip");
    WebProject site;
    site.name = "Site";
    state.DownloadedSites.Append(site);
    const std::vector<EntryOutcome> ended = finished.Poll(state);
    ASSERT_EQ(ended.size(), 3u);
    EXPECT_EQ(ended[0].key, "http://h/quick.zip");
    EXPECT_EQ(ended[0].outcome, Outcome::Done);
    EXPECT_EQ(ended[1].key, "Site");
    EXPECT_EQ(ended[2].key, "http://h/bad.zip");
    EXPECT_NE(ended[2].outcome, Outcome::Done);
    EXPECT_EQ(ended[2].text, "Error 404");
    EXPECT_TRUE(finished.Poll(state).empty());

    // The lists emptied, then one more done: counted from the new start.
    state.DownloadedFiles.RemoveAt(1);
    state.DownloadedFiles.RemoveAt(0);
    EXPECT_TRUE(finished.Poll(state).empty());
    state.DownloadedFiles.AppendUrl("http://h/next.zip");
    ASSERT_EQ(finished.Poll(state).size(), 1u);
}

}  // namespace
}  // namespace tarnwick
