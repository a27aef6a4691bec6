// Drives the file worker for the peer comparison in file_download.sh, and measures any
// program the same way (wall time, CPU seconds, peak memory of the child process).
//   bench_file_download worker <url> <working folder> [checksum, e.g. sha256=HEX]
//   bench_file_download measure <label> <program> [arguments...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "engine/files/FileWorkers.h"
#include "engine/net/NetLibrary.h"
#include "model/SharedState.h"
#include "support/RecordingUi.h"

namespace {

using namespace tarnwick;

// One download as the program runs it: the windows attached, the row selected, so every
// progress echo the GUI would get is made.
int RunWorker(const std::string& url, const std::string& workingDirectory,
              const std::string& checksum) {
    const NetLibrary netLibrary;
    SharedState state;
    testing::RecordingUi ui;
    ui.AttachTo(state.ui);
    auto gate = std::make_shared<JobGate>();
    EntryId id = kNoEntry;
    {
        std::lock_guard lock(state.mutex);
        id = state.RequestedFiles.Append(FileEntry{url, "Downloading..."});
        state.RunningFileJobs.Adopt(RunningJob{gate, url, 0}, id);
        state.FollowedEntry = id;
    }
    ui.Show(state, ListCategory::RequestedFiles);
    WorkerContext context{state, workingDirectory, gate, id, {}, {}, {}};
    context.fileOptions.checksum = checksum;
    const FileEntry entry{url, "Downloading..."};
    if (url.find("ftp://") != std::string::npos) {
        RunFtpDownload(context, entry);
    } else {
        RunFileDownload(context, entry);
    }
    std::lock_guard lock(state.mutex);
    if (state.DownloadedFiles.GetCount() != 1) {
        const FileEntry* left = state.RequestedFiles.GetAt(0);
        std::fprintf(stderr, "download failed: %s\n", left != nullptr ? left->status.c_str() : "?");
        return 1;
    }
    std::fprintf(stderr, "%zu status echoes\n", ui.CallsStartingWith("Status:").size());
    return 0;
}

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

int Measure(const char* label, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp(argv[0], argv);
        std::perror(argv[0]);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) < 0) {
        return 1;
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s %.3f %.3f %ld %d\n", label, wall,
                Seconds(usage.ru_utime) + Seconds(usage.ru_stime), usage.ru_maxrss,
                WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "worker") == 0) {
        return RunWorker(argv[2], argv[3], argc == 5 ? argv[4] : "");
    }
    if (argc >= 4 && std::strcmp(argv[1], "measure") == 0) {
        return Measure(argv[2], argv + 3);
    }
    std::fprintf(
        stderr,
        "usage: %s worker <url> <folder> [checksum] | measure <label> <program> [args...]\n",
        argv[0]);
    return 2;
}
