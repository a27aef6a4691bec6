// Time from closing the window to the lists being saved, with twenty file workers in the
// middle of their transfers: some running (stalled by the server), some paused.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "control/DownloadControl.h"
#include "engine/net/NetLibrary.h"
#include "model/ListFiles.h"
#include "support/HttpTestServer.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace {

using namespace tarnwick;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kWorkers = 20;
constexpr int kRounds = 5;

bool AllUnderWay(SharedState& state) {
    std::lock_guard lock(state.mutex);
    return std::all_of(
        state.RequestedFiles.Entries().begin(), state.RequestedFiles.Entries().end(),
        [](const FileEntry& entry) { return entry.status.find("k read") != std::string::npos; });
}

// One exit; returns its duration in milliseconds, or -1 when the workers never got going.
double MeasureExit(int pausedCount) {
    testing::HttpTestServer server;
    SharedState state;
    testing::RecordingUi ui;
    testing::TempFolder folder;
    ui.AttachTo(state.ui);
    for (int i = 0; i < kWorkers; ++i) {
        const std::string path = "/f" + std::to_string(i) + ".bin";
        testing::HttpResponse response;
        response.body.assign(256 * 1024, 'x');
        response.stallAtByte = 16 * 1024;
        response.stallInBody = 60s;
        server.Serve(path, response);
        std::lock_guard lock(state.mutex);
        state.RequestedFiles.AppendUrl(server.Url(path));
    }
    ui.Show(state, ListCategory::RequestedFiles);
    std::vector<int> all(kWorkers);
    std::iota(all.begin(), all.end(), 0);
    ui.SelectRows(all);
    DownloadControl control(state, folder.Path(), RealWorkers());
    control.StartSelected(ListCategory::RequestedFiles, ui.SelectedIds());
    const auto deadline = Clock::now() + 20s;
    while (!AllUnderWay(state)) {
        if (Clock::now() > deadline) {
            return -1;
        }
        std::this_thread::sleep_for(2ms);
    }
    std::vector<int> paused;
    for (int row = 0; row < pausedCount; ++row) {
        paused.push_back(row);
    }
    ui.SelectRows(paused);
    control.StopSelected(ListCategory::RequestedFiles, ui.SelectedIds());

    const auto start = Clock::now();
    state.ui.Close();
    control.Shutdown([] { std::this_thread::sleep_for(1ms); });
    SaveAllLists(state, folder.Path());
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main() {
    const NetLibrary netLibrary;
    std::printf("exit with %d file workers, %d rounds each (ms)\n", kWorkers, kRounds);
    for (const int pausedCount : {0, kWorkers / 2, kWorkers}) {
        std::vector<double> times;
        for (int round = 0; round < kRounds; ++round) {
            times.push_back(MeasureExit(pausedCount));
        }
        std::sort(times.begin(), times.end());
        std::printf("%2d running, %2d paused: min %7.1f  median %7.1f  max %7.1f\n",
                    kWorkers - pausedCount, pausedCount, times.front(), times[kRounds / 2],
                    times.back());
    }
    return 0;
}
