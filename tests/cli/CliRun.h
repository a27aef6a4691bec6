#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace tarnwick::testing {

// tarnwick-cli in the folder, its standard error merged into its output. setUp: shell
// commands run before it, in the shell that becomes it (a ulimit, a trap).
inline std::vector<std::string> Cli(const TempFolder& folder, std::vector<std::string> arguments,
                                    const std::string& setUp = {}) {
    std::vector<std::string> argv{"sh",
                                  "-c",
                                  setUp + (setUp.empty() ? "" : "; ") + "exec \"$0\" \"$@\" 2>&1",
                                  TARNWICK_CLI_PATH,
                                  "--dir",
                                  folder.Path().string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

struct Finished {
    int code = -1;
    std::string output;
};

inline Finished Collect(ChildProcess& process) {
    using namespace std::chrono_literals;
    Finished finished;
    while (const auto line = process.ReadLine(30s)) {
        finished.output += *line + "\n";
    }
    finished.code = process.Wait();
    return finished;
}

inline Finished RunCli(const TempFolder& folder, std::vector<std::string> arguments,
                       const std::string& setUp = {}) {
    ChildProcess process(Cli(folder, std::move(arguments), setUp));
    return Collect(process);
}

inline bool Eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace tarnwick::testing
