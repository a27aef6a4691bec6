#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/Verb.h"
#include "control/WorkOrder.h"
#include "model/ListCategory.h"

namespace tarnwick {

enum class Verbosity { Quiet, Normal, Verbose };

// One invocation of tarnwick-cli, as read from its arguments.
struct CommandLine {
    Verb verb = Verb::List;
    std::filesystem::path folder;  // where the lists are: --dir, else the current folder
    Verbosity verbosity = Verbosity::Normal;
    bool waitForFolder = false;  // --wait: queue behind another command line in the folder
    // This run's own concurrency and global speed limit, over the settings file's.
    std::optional<int> maxConcurrent;
    std::optional<std::uint64_t> limitBytesPerSecond;
    bool schedule = false;             // run --schedule: stay up and start projects on time
    WorkOrder order;                   // what add, get, mirror, search and run ask for
    std::vector<ListCategory> listed;  // list: the lists to print, in order
    bool json = false;
};

// Either a command line to carry out, or a text to print and the exit code to end with
// (help is printed to stdout with success, usage errors to stderr).
struct ParsedCommandLine {
    std::optional<CommandLine> command;
    std::string text;
    bool usageError = false;
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace tarnwick
