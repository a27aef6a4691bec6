// Loading and saving large lists, looking an entry up by key, and the cost of one entry's
// report and of one entry finishing as the lists grow.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/job/EntryReporter.h"
#include "model/ListFiles.h"

namespace {

using namespace tarnwick;

std::filesystem::path ScratchFolder() {
    auto folder = std::filesystem::temp_directory_path() / "tarnwick-bench-lists";
    std::filesystem::create_directories(folder);
    return folder;
}

void FillFiles(FileEntryList& list, int count) {
    list.Reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        list.AppendUrl("http://mirror.example.net/pub/releases/" + std::to_string(i) +
                       "/file.tar.gz");
    }
}

void FillWebs(WebProjectList& list, int count) {
    for (int i = 0; i < count; ++i) {
        WebProject project = BlankWebProject();
        project.name = "Project number " + std::to_string(i);
        project.startUrl = "http://site" + std::to_string(i) + ".example.net/index.htm";
        project.getZip = 1;
        project.stopHour = 18;
        list.Append(project);
    }
}

// Filling the list in memory is not timed: only the save (with its fsync) and the load are.
template <typename Fill>
void SaveThenLoad(benchmark::State& run, Fill fill) {
    const auto folder = ScratchFolder();
    for (auto _ : run) {
        run.PauseTiming();
        auto state = std::make_unique<SharedState>();
        fill(*state);
        auto loaded = std::make_unique<SharedState>();
        run.ResumeTiming();
        SaveAllLists(*state, folder);
        LoadAllLists(*loaded, folder);
        benchmark::DoNotOptimize(loaded.get());
        run.PauseTiming();
        state.reset();
        loaded.reset();
        run.ResumeTiming();
    }
    std::filesystem::remove_all(folder);
}

void BM_SaveThenLoadMillionFileEntries(benchmark::State& run) {
    SaveThenLoad(run, [](SharedState& state) { FillFiles(state.RequestedFiles, 1'000'000); });
}
BENCHMARK(BM_SaveThenLoadMillionFileEntries)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SaveThenLoadHundredThousandWebProjects(benchmark::State& run) {
    SaveThenLoad(run, [](SharedState& state) { FillWebs(state.RequestedWebSites, 100'000); });
}
BENCHMARK(BM_SaveThenLoadHundredThousandWebProjects)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FindByNameInHundredThousandEntries(benchmark::State& run) {
    FileEntryList list;
    FillFiles(list, 100'000);
    // The worst case: the last entry, in other letter case.
    const std::string key = "HTTP://MIRROR.EXAMPLE.NET/PUB/RELEASES/99999/FILE.TAR.GZ";
    for (auto _ : run) {
        benchmark::DoNotOptimize(list.FindByName(key));
    }
}
BENCHMARK(BM_FindByNameInHundredThousandEntries)->Unit(benchmark::kMicrosecond);

// A worker's progress report on one entry of a list of n: found by id, its status kept, the
// front ends told (none subscribed here, so only the core's part is timed).
void BM_ProgressReportOfOneEntry(benchmark::State& run) {
    SharedState state;
    FillFiles(state.RequestedFiles, static_cast<int>(run.range(0)));
    const EntryReporter reporter(state, ListCategory::RequestedFiles,
                                 state.RequestedFiles.IdAt(static_cast<int>(run.range(0) / 2)));
    TransferSnapshot progress;
    progress.total = 1 << 30;
    for (auto _ : run) {
        progress.done += 1024;
        benchmark::DoNotOptimize(reporter.Report(
            {.status = "Downloading", .kept = "Downloading...1.00k read", .progress = progress}));
    }
}
BENCHMARK(BM_ProgressReportOfOneEntry)->Arg(10)->Arg(100'000);

// The oldest of n requested files finishes and moves to the downloaded files, and a new one
// is requested, so the list keeps its length.
void BM_AnEntryFinishes(benchmark::State& run) {
    SharedState state;
    FillFiles(state.RequestedFiles, static_cast<int>(run.range(0)));
    int next = 0;
    for (auto _ : run) {
        const EntryReporter reporter(state, ListCategory::RequestedFiles,
                                     state.RequestedFiles.IdAt(0));
        benchmark::DoNotOptimize(reporter.MoveTo(ListCategory::DownloadedFiles, "Success", {}));
        state.RequestedFiles.AppendUrl("http://mirror.example.net/new/" + std::to_string(next++));
    }
}
BENCHMARK(BM_AnEntryFinishes)->Arg(10)->Arg(100'000);

}  // namespace

BENCHMARK_MAIN();
