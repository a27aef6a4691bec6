// Loading and saving large lists, and looking an entry up by key.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

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
        list.AppendUrl("http://mirror.example.net/pub/releases/" + std::to_string(i) + "/file.tar.gz");
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

void BM_SaveThenLoadMillionFileEntries(benchmark::State& run) {
    const auto folder = ScratchFolder();
    for (auto _ : run) {
        SharedState state;
        FillFiles(state.RequestedFiles, 1'000'000);
        SaveAllLists(state, folder);
        SharedState loaded;
        LoadAllLists(loaded, folder);
        benchmark::DoNotOptimize(loaded.RequestedFiles.GetCount());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveThenLoadMillionFileEntries)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveThenLoadHundredThousandWebProjects(benchmark::State& run) {
    const auto folder = ScratchFolder();
    for (auto _ : run) {
        SharedState state;
        FillWebs(state.RequestedWebSites, 100'000);
        SaveAllLists(state, folder);
        SharedState loaded;
        LoadAllLists(loaded, folder);
        benchmark::DoNotOptimize(loaded.RequestedWebSites.GetCount());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveThenLoadHundredThousandWebProjects)->Unit(benchmark::kMillisecond)->Iterations(3);

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

}  // namespace

BENCHMARK_MAIN();
