#include <unistd.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/ExitCodes.h"
#include "cli/FolderRun.h"
#include "cli/ListPrinting.h"
#include "cli/TerminalProgress.h"
#include "control/CoreLifetime.h"
#include "control/SearchEngines.h"
#include "model/ListFiles.h"
#include "session/FolderLock.h"
#include "session/HandOverClient.h"
#include "session/StopSignals.h"

using namespace tarnwick;

namespace {

// How long a window that holds the folder may take to accept the connection.
constexpr auto kConnectTimeout = std::chrono::seconds(2);

void PrintError(const std::string& text) {
    std::fprintf(stderr, "tarnwick-cli: %s\n", text.c_str());
}

// Lists are read as saved: the reader needs no lock, since every save replaces a file whole.
int PrintLists(const CommandLine& command) {
    SharedState state;
    LoadAllLists(state, command.folder);
    const std::string text = ListingText(state, command.listed, command.json);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitSuccess : kExitDisk;
}

// The folder is held by someone else: the window takes the order; another command line is
// waited for with --wait, else the user is told. Returns the exit code, or -1 once the lock
// has been taken after waiting.
int WhenFolderHeld(int argc, char** argv, const CommandLine& command, FolderLock& lock,
                   StopSignals& stopSignals) {
    {
        QCoreApplication application(argc, argv);
        // run --schedule sends an empty order: the window, if it answers, keeps the schedule.
        const auto answer = HandOverToWindow(
            command.folder, command.schedule ? WorkOrder{} : command.order, kConnectTimeout);
        if (answer && command.schedule) {
            PrintError("the window working in " + command.folder.string() +
                       " runs the schedule itself");
            return kExitFolderInUse;
        }
        if (answer && (command.maxConcurrent || command.limitBytesPerSecond)) {
            PrintError("the window keeps its own concurrency and speed limit");
        }
        if (answer) {
            const bool carriedOut = answer->verdict == HandOverAnswer::Verdict::CarriedOut;
            if (!carriedOut || command.verbosity != Verbosity::Quiet) {
                std::fprintf(carriedOut ? stdout : stderr,
                             "tarnwick-cli: handed to the window: %s\n", answer->text.c_str());
            }
            return ExitCodeOf(answer->verdict);
        }
    }
    if (!command.waitForFolder) {
        const std::string holder =
            lock.HolderPid() > 0 ? " (process " + std::to_string(lock.HolderPid()) + ")" : "";
        PrintError("the folder " + command.folder.string() + " is in use by another Tarnwick" +
                   holder + "; try again later, or use --wait");
        return kExitFolderInUse;
    }
    if (command.verbosity != Verbosity::Quiet) {
        PrintError("waiting for the Tarnwick working in " + command.folder.string() + "...");
    }
    // flock tells no one when it is released: the lock is tried again ten times a second,
    // and a stop signal ends the wait at once.
    while (!lock.TryAcquire(command.folder)) {
        if (stopSignals.CaughtWithin(std::chrono::milliseconds(100))) {
            return StopSignals::ExitCodeFor(stopSignals.Caught());
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    ParsedCommandLine parsed = ParseCommandLine(arguments);
    if (!parsed.command) {
        std::fputs(parsed.text.c_str(), parsed.usageError ? stderr : stdout);
        return parsed.usageError ? kExitUsage : kExitSuccess;
    }
    CommandLine& command = *parsed.command;
    if (command.folder.empty()) {
        command.folder = std::filesystem::current_path();
    }
    std::error_code error;
    if (!std::filesystem::is_directory(command.folder, error)) {
        PrintError("no such folder: " + command.folder.string());
        return kExitUsage;
    }
    if (command.verb == Verb::List) {
        return PrintLists(command);
    }
    if (const std::string unknown = UnknownEngineOf(command.folder, command.order.searchProjects);
        !unknown.empty()) {
        PrintError("unknown engine " + unknown + ": searchengines.conf in " +
                   command.folder.string() + " has no such section");
        return kExitUsage;
    }

    StopSignals stopSignals(StopSignals::SecondInterrupt::EndsAtOnce);
    FolderLock lock;
    if (!lock.TryAcquire(command.folder)) {
        if (!lock.InUse()) {
            PrintError(lock.ErrorText());
            return kExitDisk;
        }
        const int code = WhenFolderHeld(argc, argv, command, lock, stopSignals);
        if (code >= 0) {
            return code;
        }
    }
    const CoreLifetime core;
    TerminalProgress terminal(command.verbosity, stdout, stderr, ::isatty(STDOUT_FILENO) == 1);
    return RunInFolder(command, terminal, stopSignals);
}
