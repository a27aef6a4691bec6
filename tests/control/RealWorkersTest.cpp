#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ScriptedEditors.h"
#include "control/DownloadControl.h"
#include "control/EntryCommands.h"
#include "engine/net/NetLibrary.h"
#include "model/ListFiles.h"
#include "support/HttpTestServer.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace tarnwick::testing {
namespace {

using namespace std::chrono_literals;

const NetLibrary netLibrary;

// Bytes that differ from block to block, so a lost or repeated block shows.
std::string Body(std::size_t size, int variant) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] =
            static_cast<char>((i / 1000 + i * 31 + static_cast<std::size_t>(variant)) & 0xff);
    }
    return bytes;
}

template <typename Condition>
bool PollUntil(Condition condition, std::chrono::seconds patience = 20s) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// The real file workers run by the control against the tests' own HTTP server. Bodies
// stall part way, so that a worker is surely in the middle of its transfer when paused.
class RealWorkers : public ::testing::Test {
protected:
    RealWorkers() {
        ui.AttachTo(state.ui);
        Settings everyoneAtOnce;
        everyoneAtOnce.maxConcurrent = 20;
        control.ApplySettings(everyoneAtOnce);
    }

    void SetUp() override {
        if (!server.Started()) {
            GTEST_SKIP() << "the local HTTP server could not start";
        }
    }

    // Serves count files and requests them; row r shows file count - 1 - r.
    void RequestFiles(int count, std::size_t size, std::size_t stallAt,
                      std::chrono::milliseconds stall) {
        for (int i = 0; i < count; ++i) {
            const std::string path = "/f" + std::to_string(i) + ".bin";
            HttpResponse response;
            response.body = Body(size, i);
            response.stallAtByte = stallAt;
            response.stallInBody = stall;
            server.Serve(path, response);
            urls.push_back(server.Url(path));
            std::lock_guard lock(state.mutex);
            state.RequestedFiles.AppendUrl(urls.back());
        }
        ui.Show(state, ListCategory::RequestedFiles);
    }

    void SelectAll() {
        std::vector<int> rows;
        for (int row = 0; row < static_cast<int>(ui.Rows().size()); ++row) {
            rows.push_back(row);
        }
        ui.SelectRows(rows);
    }

    // True once every requested file has reported bytes read.
    bool AllUnderWay() {
        std::lock_guard lock(state.mutex);
        for (const FileEntry& entry : state.RequestedFiles.Entries()) {
            if (entry.status.find("k read") == std::string::npos) {
                return false;
            }
        }
        return true;
    }

    // What Files/ holds besides finished files: partial downloads and their metadata.
    std::vector<std::string> PartialFiles() const {
        std::vector<std::string> partial;
        for (const std::string& name : folder.Tree()) {
            if (name.find(".part") != std::string::npos) {
                partial.push_back(name);
            }
        }
        return partial;
    }

    std::vector<std::uintmax_t> LocalSizes() {
        std::vector<std::uintmax_t> sizes;
        for (std::size_t i = 0; i < urls.size(); ++i) {
            std::error_code error;
            const auto size = std::filesystem::file_size(
                folder.Path() / "Files" / ("f" + std::to_string(i) + ".bin"), error);
            sizes.push_back(error ? 0 : size);
        }
        return sizes;
    }

    int Count(const EntryList<FileEntry>& list) {
        std::lock_guard lock(state.mutex);
        return list.GetCount();
    }

    int Count(const RunningJobTable& jobs) {
        std::lock_guard lock(state.mutex);
        return jobs.GetCount();
    }

    // Checks that no paused worker writes a byte, also after the server ends its stall.
    void ExpectNoProgressUntil(std::chrono::steady_clock::time_point stallEnded,
                               std::size_t fullSize) {
        std::this_thread::sleep_for(100ms);
        const std::vector<std::uintmax_t> paused = LocalSizes();
        std::this_thread::sleep_until(stallEnded + 300ms);
        EXPECT_EQ(LocalSizes(), paused);
        for (std::uintmax_t size : paused) {
            EXPECT_LT(size, fullSize);
        }
    }

    HttpTestServer server;
    SharedState state;
    RecordingUi ui;
    TempFolder folder;
    std::vector<std::string> urls;
    DownloadControl control{state, folder.Path(), tarnwick::RealWorkers(), [] {}};

    void DownloadSelected() { control.StartSelected(ui.Shown(), ui.SelectedIds()); }
    void StopSelected() { control.StopSelected(ui.Shown(), ui.SelectedIds()); }
};

TEST_F(RealWorkers, PauseStopsAllProgressAndResumeGoesOnOverTheSameConnection) {
    constexpr std::size_t kSize = 2 * 1024 * 1024;
    RequestFiles(1, kSize, 128 * 1024, 1500ms);
    const auto started = std::chrono::steady_clock::now();
    SelectAll();
    DownloadSelected();
    ASSERT_TRUE(PollUntil([&] { return AllUnderWay(); }));

    StopSelected();
    ExpectNoProgressUntil(started + 1500ms, kSize);
    EXPECT_EQ(ui.RowText(0, 1), "Stopped");

    DownloadSelected();
    ASSERT_TRUE(PollUntil([&] { return Count(state.DownloadedFiles) == 1; }));
    EXPECT_EQ(ReadFileBytes(folder.Path() / "Files" / "f0.bin"), Body(kSize, 0));
    EXPECT_EQ(server.ConnectionCount(), 1);
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(PollUntil([&] { return Count(state.RunningFileJobs) == 0; }));
}

TEST_F(RealWorkers, TwentyWorkersPauseTogetherAndEachResumesToItsEnd) {
    constexpr int kWorkers = 20;
    constexpr std::size_t kSize = 256 * 1024;
    // Twenty starts take over a second under the thread checker; the stall outlasts them.
    RequestFiles(kWorkers, kSize, 32 * 1024, 4000ms);
    const auto started = std::chrono::steady_clock::now();
    SelectAll();
    DownloadSelected();
    ASSERT_TRUE(PollUntil([&] { return AllUnderWay(); }));

    StopSelected();
    ExpectNoProgressUntil(started + 4000ms, kSize);

    // Selected Projects resumes one paused entry per command. Finished entries leave their
    // rows, so going from the bottom up keeps the rows still to be resumed where they are.
    for (int row = kWorkers - 1; row >= 0; --row) {
        ui.SelectRows({row});
        DownloadSelected();
    }
    ASSERT_TRUE(PollUntil([&] { return Count(state.DownloadedFiles) == kWorkers; }));
    for (int i = 0; i < kWorkers; ++i) {
        EXPECT_EQ(ReadFileBytes(folder.Path() / "Files" / ("f" + std::to_string(i) + ".bin")),
                  Body(kSize, i));
    }
    EXPECT_EQ(server.ConnectionCount(), kWorkers);
    EXPECT_EQ(control.Threads().ThreadCount(), static_cast<std::size_t>(kWorkers));
}

TEST_F(RealWorkers, DeletingEntriesWhileTheirWorkersRunOrPauseMovesNothing) {
    constexpr int kWorkers = 6;
    RequestFiles(kWorkers, 256 * 1024, 16 * 1024, 400ms);
    SelectAll();
    DownloadSelected();
    ASSERT_TRUE(PollUntil([&] { return AllUnderWay(); }));
    ui.SelectRows({0, 1, 2});
    StopSelected();

    // As the list panel's Delete does: the entries go while their workers still hold them.
    {
        std::lock_guard lock(state.mutex);
        while (state.RequestedFiles.GetCount() > 0) {
            state.RequestedFiles.RemoveAt(state.RequestedFiles.GetCount() - 1);
        }
    }

    // The running ones notice at their next block and end; the paused ones wait for exit.
    ASSERT_TRUE(PollUntil([&] { return Count(state.RunningFileJobs) == 3; }));
    state.ui.Close();
    control.Shutdown([] { std::this_thread::sleep_for(1ms); });
    EXPECT_EQ(Count(state.RunningFileJobs), 0);
    EXPECT_EQ(Count(state.DownloadedFiles), 0);
    EXPECT_EQ(Count(state.RequestedFiles), 0);
}

TEST_F(RealWorkers, DeletingAnEntryDiscardsItsPartialDownloadOncePauseAndExitKeepTheirs) {
    RequestFiles(4, 256 * 1024, 16 * 1024, 60s);  // row r shows f(3 - r)
    SelectAll();
    DownloadSelected();
    ASSERT_TRUE(PollUntil([&] { return PartialFiles().size() == 8; }));
    ui.SelectRows({0, 2});
    StopSelected();  // f3 and f1 paused

    ScriptedEditors editors;
    EntryCommands commands(state, editors, folder.Path());
    ui.SetYesNoAnswer(true);
    ui.SelectRows({2, 3});
    // f1 paused, f0 running: their workers end first.
    commands.OnDeleteEntry(ListCategory::RequestedFiles, ui.SelectedIds());
    const std::vector<std::string> stillHeld = {"Files/f2.bin.part", "Files/f2.bin.part.meta",
                                                "Files/f3.bin.part", "Files/f3.bin.part.meta"};
    EXPECT_TRUE(PollUntil([&] { return PartialFiles() == stillHeld; })) << PartialFiles().size();

    // Exit keeps what the running f2 and the paused f3 hold; deleting f2 afterwards, when no
    // worker holds it, removes its partial download at once.
    control.Shutdown([] { std::this_thread::sleep_for(1ms); });
    EXPECT_EQ(PartialFiles(), stillHeld);
    ui.SelectRows({1});
    commands.OnDeleteEntry(ListCategory::RequestedFiles, ui.SelectedIds());
    EXPECT_EQ(PartialFiles(),
              (std::vector<std::string>{"Files/f3.bin.part", "Files/f3.bin.part.meta"}));
    EXPECT_EQ(Count(state.RequestedFiles), 1);
}

TEST_F(RealWorkers, ExitEndsRunningAndPausedWorkersBeforeTheListsAreSaved) {
    constexpr int kWorkers = 20;
    RequestFiles(kWorkers, 256 * 1024, 16 * 1024, 60s);
    SelectAll();
    DownloadSelected();
    ASSERT_TRUE(PollUntil([&] { return AllUnderWay(); }));
    ui.SelectRows({0, 2, 4, 6, 8, 10, 12, 14, 16, 18});
    StopSelected();
    const std::size_t callsBeforeExit = ui.Calls().size();

    state.ui.Close();
    control.Shutdown([] { std::this_thread::sleep_for(1ms); });
    SaveAllLists(state, folder.Path());

    EXPECT_EQ(control.Threads().ThreadCount(), 0u);
    EXPECT_EQ(Count(state.RunningFileJobs), 0);
    EXPECT_EQ(ui.Calls().size(), callsBeforeExit);
    // Cancelled workers end quietly: paused entries still say so, the others show progress.
    for (const FileEntry& entry : state.RequestedFiles.Entries()) {
        EXPECT_TRUE(entry.status == "Stopped" || entry.status.find("k read") != std::string::npos)
            << entry.status;
    }
    SharedState saved;
    LoadAllLists(saved, folder.Path());
    EXPECT_EQ(saved.RequestedFiles.GetCount(), kWorkers);
    EXPECT_EQ(saved.DownloadedFiles.GetCount(), 0);
}

}  // namespace
}  // namespace tarnwick::testing
