// The real program in a process of its own, ended by a signal while its start dialog is open.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// True once the process catches the signal: from then on it ends as Exit does.
bool Catches(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0) {
            return ((std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1) != 0;
        }
    }
    return false;
}

TEST(Program, EndsPromptlyWithTheSignalsCodeAndLeavesTheListsAsTheyWere) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        testing::TempFolder folder;
        // Read with LF line ends and unchanged: a save would rewrite it with CR LF.
        testing::WriteFileBytes(folder.Path() / "reqfiles.data", "http://h/a.zip\n");
        std::filesystem::current_path(folder.Path());
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        testing::ChildProcess program({TARNWICK_PROGRAM});
        ASSERT_TRUE(program.Started());
        const auto deadline = Clock::now() + 20s;
        while (!Catches(program.Pid(), signal)) {
            ASSERT_LT(Clock::now(), deadline) << "the program never took over the signal";
            std::this_thread::sleep_for(10ms);
        }
        std::this_thread::sleep_for(500ms);  // time for the start dialog to open
        const auto signalled = Clock::now();
        ::kill(program.Pid(), signal);
        EXPECT_EQ(program.Wait(10s), 128 + signal);
        EXPECT_LT(Clock::now() - signalled, 2s);
        EXPECT_EQ(folder.Tree(), (std::vector<std::string>{".tarnwick.lock", "reqfiles.data",
                                                           "searchengines.conf"}));
        EXPECT_EQ(testing::ReadFileBytes(folder.Path() / "reqfiles.data"), "http://h/a.zip\n");
        std::filesystem::current_path("/");
    }
}

}  // namespace
}  // namespace tarnwick
