// Mirrors one site with the crawl worker for the peer comparison in crawl_peers.py, as the
// program runs a web project with pages and images kept: the windows attached and the
// project's row selected, so every echo the GUI would get is made.
//   bench_crawl <start URL> <working folder>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "engine/crawl/SiteCrawlWorker.h"
#include "engine/net/NetLibrary.h"
#include "model/JobGate.h"
#include "model/SharedState.h"
#include "support/RecordingUi.h"

int main(int argc, char** argv) {
    using namespace tarnwick;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <start URL> <working folder>\n", argv[0]);
        return 2;
    }
    const NetLibrary netLibrary;
    SharedState state;
    testing::RecordingUi ui;
    ui.AttachTo(state.ui);
    auto gate = std::make_shared<JobGate>();
    WebProject project = BlankWebProject();
    project.name = "bench";
    project.startUrl = argv[1];
    project.getHtm = 1;
    project.getGif = 1;
    EntryId id = kNoEntry;
    {
        std::lock_guard lock(state.mutex);
        id = state.RequestedWebSites.Append(project);
        state.RunningSiteJobs.Adopt(RunningJob{gate, project.name, 0}, id);
        state.FollowedEntry = id;
    }
    ui.Show(state, ListCategory::RequestedWebSites);
    WorkerContext context{state, std::filesystem::path(argv[2]), gate, id, {}, {}, {}};
    RunSiteCrawl(context, project);

    std::lock_guard lock(state.mutex);
    if (state.DownloadedSites.FindByName(project.name) < 0) {
        std::fprintf(stderr, "the crawl ended with errors\n");
        return 1;
    }
    std::fprintf(stderr, "%zu window calls\n", ui.Calls().size());
    return 0;
}
